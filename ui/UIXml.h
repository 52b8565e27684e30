#pragma once
// A small element tree read with QXmlStreamReader, for layouts, menus,
// language files and the resource index.

#include <optional>
#include <utility>
#include <vector>

#include <QString>

namespace ui {

struct XmlNode {
  QString name;
  std::vector<std::pair<QString, QString>> attributes;  // in document order
  std::vector<XmlNode> children;
  QString text;
  int line = 0;  // where the element starts in its file

  QString Attr(const QString& key) const;  // case-insensitive; empty when absent
  bool HasAttr(const QString& key) const;
};

// Parses a document; on failure returns nothing and sets `error` (with the
// line number).
std::optional<XmlNode> ParseXml(const QByteArray& data, QString* error);

// Reads and parses a skin file (see ResolveSkinPath); on failure returns
// nothing and traces why.
std::optional<XmlNode> LoadSkinXml(const QString& name, QString* resolvedPath = nullptr);

}  // namespace ui
