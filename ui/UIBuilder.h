#pragma once
// CDialogBuilder turns a layout into a control tree; CControlFactory holds
// the control classes registered by name (the custom controls).
//
// A layout is a file of the skin (a name of the resource index, or a path
// relative to the resource folder; backslashes allowed) or XML text starting
// with '<'. Its top element is either <Window size="w,h" ...> holding
// <Font>, <Default>, <Style>, <Include> and one root control, or a control
// itself. Elements are control class names ("VerticalLayout", "Button", ...)
// compared without regard to case; attributes go to SetAttribute. A class
// the layer does not know goes to the builder callback, then to the factory;
// when neither makes it, the element and its children are skipped (traced).
// <Include source="file.xml" count="n"/> builds another layout in place.
//
// Layout typos are traced with the file and line: an unknown element or
// attribute, a name used twice inside one page (a page root starts a new
// page), and a text or tooltip that looks like a text id ("word_word") but
// is missing from the loaded language.

#include <functional>
#include <map>
#include <memory>
#include <optional>

#include <QSize>
#include <QString>

#include "ui/UIDefs.h"

namespace ui {

class CControlUI;
class CContainerUI;
class CPaintManagerUI;
struct XmlNode;

class CControlFactory {
 public:
  using Creator = std::function<CControlUI*()>;
  static CControlFactory& GetInstance();
  // Registers (or replaces) the creator of a class name (case-insensitive).
  void RegistControl(const QString& className, Creator creator);
  // A new control of that class, or null when none is registered.
  CControlUI* CreateControl(const QString& className) const;

 private:
  CControlFactory() = default;
  std::map<QString, Creator> creators_;  // lower-case name
};

class CDialogBuilder {
 public:
  // Builds the layout; with a manager the tree is initialised with it and,
  // with a parent, added to the parent. Returns the root control, or null
  // when the layout is missing or malformed (traced). A tree without parent
  // belongs to the caller until it is attached to a window or container.
  CControlUI* Create(const QString& layout, const QString& type = {},
                     IDialogBuilderCallback* callback = nullptr, CPaintManagerUI* manager = nullptr,
                     CControlUI* parent = nullptr);
  // The <Window> element's "size" of the last layout built (96-DPI).
  QSize GetWindowSize() const { return windowSize_; }
  QString GetWindowAttribute(const QString& name) const;
  // The class names the layer makes itself.
  static CControlUI* CreateBuiltIn(const QString& className);

 private:
  struct Origins;  // where each built control came from, shared with includes

  CControlUI* BuildNode(const XmlNode& node, CContainerUI* parent, CPaintManagerUI* manager, int depth);
  void ApplyAttributes(CControlUI* control, const XmlNode& node, CPaintManagerUI* manager);
  void ApplyWindowElement(const XmlNode& node, CPaintManagerUI* manager);
  CControlUI* Include(const XmlNode& node, CContainerUI* parent, CPaintManagerUI* manager, int depth);
  void Warn(const XmlNode& node, const QString& what) const;
  void CheckNames(CControlUI* root) const;

  IDialogBuilderCallback* callback_ = nullptr;
  QSize windowSize_;
  std::vector<std::pair<QString, QString>> windowAttributes_;
  int includeDepth_ = 0;
  QString label_;  // the file being built, for traces
  std::shared_ptr<Origins> origins_;
};

}  // namespace ui
