#pragma once
// CResourceManager: the skin's resource index ("res.xml": names of layouts
// and images) and the language table (text id -> text). Controls whose text
// or tooltip holds a text id show the current language's text; an id the
// language does not have shows the id itself.
//
// Resource index:  <Res> <Xml name="XML_MAIN" path="main.xml"/>
//                        <Image name="logo" path="common/logo.png"/> </Res>
// Language file:   <Language name="English">
//                    <Text id="about_title" value="About"/> ... </Language>
// (a <Text> may also hold its text as content). UI thread only.

#include <QHash>
#include <QString>

#include "ui/UIDefs.h"

namespace ui {

class CResourceManager {
 public:
  static CResourceManager& GetInstance();

  // Reads the resource index (a path relative to the resource folder).
  bool LoadResource(const QString& file, const QString& type = {});
  void ResetResourceMap();
  QString GetXmlPath(const QString& name) const;    // empty when not indexed
  QString GetImagePath(const QString& name) const;  // empty when not indexed

  void SetLanguage(const QString& name) { language_ = name; }
  QString GetLanguage() const { return language_; }
  // Replaces the language table with the file's texts; false (table kept)
  // when the file is missing or malformed.
  bool LoadLanguage(const QString& file);
  void ResetLanguage() { texts_.clear(); }
  // Re-reads every text and tooltip of every window.
  void ReloadText();

  // The text of `id`, or a null string when no language text has that id.
  QString GetText(const QString& id, const QString& type = {}) const;
  // True when a language is loaded and has no text for `id`.
  bool IsMissingText(const QString& id) const;
  // The text to show for a control's text: the language's text, or the
  // text itself.
  QString ResolveText(const QString& text) const;
  void SetTextQueryInterface(IQueryControlText* query) { query_ = query; }

 private:
  CResourceManager() = default;
  QHash<QString, QString> xmls_;
  QHash<QString, QString> images_;
  QHash<QString, QString> texts_;
  QString language_;
  IQueryControlText* query_ = nullptr;
};

}  // namespace ui
