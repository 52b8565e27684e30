#include "ui/UIBuilder.h"

#include <QRegularExpression>

#include "platform/Trace.h"
#include "ui/UIButton.h"
#include "ui/UIColorPalette.h"
#include "ui/UIContainer.h"
#include "ui/UIEdit.h"
#include "ui/UIList.h"
#include "ui/UIManager.h"
#include "ui/UIMenu.h"
#include "ui/UIResource.h"
#include "ui/UIRender.h"
#include "ui/UISlider.h"
#include "ui/UIXml.h"

namespace ui {

namespace {
// Includes deeper than this are a cycle (a layout including itself).
constexpr int kMaxIncludeDepth = 16;
// Elements nested deeper than this are not built (the builder recurses).
constexpr int kMaxElementDepth = 200;

void TraceLine(const QString& text) { Trace(text.toStdString()); }

bool Is(const QString& a, const char* b) { return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0; }

// A text that is meant as a text id: letters, digits and underscores with
// at least one underscore ("message_text_3"), not a plain word or number.
bool LooksLikeTextId(const QString& text) {
  static const QRegularExpression id(QStringLiteral("^[A-Za-z][A-Za-z0-9]*(_[A-Za-z0-9]+)+$"));
  return id.match(text).hasMatch();
}
}  // namespace

struct CDialogBuilder::Origins {
  QHash<const CControlUI*, std::pair<QString, int>> where;  // file and line
};

void CDialogBuilder::Warn(const XmlNode& node, const QString& what) const {
  TraceLine(QStringLiteral("ui: %1:%2: %3").arg(label_).arg(node.line).arg(what));
}

void CDialogBuilder::ApplyAttributes(CControlUI* control, const XmlNode& node, CPaintManagerUI* manager) {
  if (manager) {
    const QString defaults = manager->GetDefaultAttributeList(control->GetClass());
    if (!defaults.isEmpty()) control->ApplyAttributeList(defaults);
  }
  control->TakeUnknownAttribute();
  for (const auto& [key, value] : node.attributes) {
    if (Is(key, "style") && manager) control->ApplyAttributeList(manager->GetStyle(value));
    else control->SetAttribute(key, value);
    if (control->TakeUnknownAttribute())
      Warn(node, QStringLiteral("unknown attribute \"%1\" on %2 \"%3\"").arg(key, node.name, control->GetName()));
  }
  const CResourceManager& res = CResourceManager::GetInstance();
  for (const char* key : {"text", "tooltip"}) {
    const QString id = node.Attr(QLatin1String(key));
    if (control->IsResourceText() && LooksLikeTextId(id) && res.IsMissingText(id))
      Warn(node, QStringLiteral("text id \"%1\" (%2 of \"%3\") is not in the language file")
                     .arg(id, QLatin1String(key), control->GetName()));
  }
}

// Names must be unique inside one page: a look-up by name would find only
// the first. A page root inside the tree starts a page of its own. Controls
// of one class at one depth of the tree that share a name are a family
// routed by that name (a grid of image buttons) and pass.
void CDialogBuilder::CheckNames(CControlUI* root) const {
  if (!origins_) return;
  struct First {
    const CControlUI* control;
    size_t depth;
  };
  struct Todo {
    CControlUI* control;
    size_t page;
    size_t depth;
  };
  std::vector<QHash<QString, First>> pages(1);
  std::vector<Todo> todo{{root, 0, 0}};
  while (!todo.empty()) {
    auto [control, page, depth] = todo.back();
    todo.pop_back();
    if (control != root && control->IsPageRoot()) {
      pages.emplace_back();
      page = pages.size() - 1;
    }
    const QString name = control->GetName();
    auto here = origins_->where.constFind(control);
    if (!name.isEmpty() && here != origins_->where.cend()) {
      auto first = pages[page].constFind(name);
      if (first == pages[page].cend()) {
        pages[page].insert(name, {control, depth});
      } else if (first->control->GetClass() != control->GetClass() || first->depth != depth) {
        const auto there = origins_->where.value(first->control);
        TraceLine(QStringLiteral("ui: %1:%2: name \"%3\" is used twice in one page (first at %4:%5)")
                      .arg(here->first).arg(here->second).arg(name, there.first).arg(there.second));
      }
    }
    if (auto* box = qobject_cast<CContainerUI*>(control))
      for (int i = box->GetCount() - 1; i >= 0; --i) todo.push_back({box->GetItemAt(i), page, depth + 1});
  }
}

CControlFactory& CControlFactory::GetInstance() {
  static CControlFactory factory;
  return factory;
}

void CControlFactory::RegistControl(const QString& className, Creator creator) {
  creators_[className.toLower()] = std::move(creator);
}

CControlUI* CControlFactory::CreateControl(const QString& className) const {
  auto it = creators_.find(className.toLower());
  return it == creators_.end() ? nullptr : it->second();
}

// Every control of the layer by its class name. Controls are created without
// a parent and handed to their container (Qt parenthood) right away.
CControlUI* CDialogBuilder::CreateBuiltIn(const QString& c) {
  const QString n = c.toLower();
  if (n == QLatin1String("control")) return new CControlUI;
  if (n == QLatin1String("container")) return new CContainerUI;
  if (n == QLatin1String("verticallayout")) return new CVerticalLayoutUI;
  if (n == QLatin1String("horizontallayout")) return new CHorizontalLayoutUI;
  if (n == QLatin1String("tablayout")) return new CTabLayoutUI;
  if (n == QLatin1String("tilelayout")) return new CTileLayoutUI;
  if (n == QLatin1String("label") || n == QLatin1String("text")) return new CLabelUI;
  if (n == QLatin1String("button")) return new CButtonUI;
  if (n == QLatin1String("option")) return new COptionUI;
  if (n == QLatin1String("checkbox")) return new CCheckBoxUI;
  if (n == QLatin1String("progress")) return new CProgressUI;
  if (n == QLatin1String("slider")) return new CSliderUI;
  if (n == QLatin1String("edit")) return new CEditUI;
  if (n == QLatin1String("richedit")) return new CRichEditUI;
  if (n == QLatin1String("combo")) return new CComboUI;
  if (n == QLatin1String("list")) return new CListUI;
  if (n == QLatin1String("listlabelelement") || n == QLatin1String("listelement")) return new CListLabelElementUI;
  if (n == QLatin1String("listcontainerelement")) return new CListContainerElementUI;
  if (n == QLatin1String("colorpalette")) return new CColorPaletteUI;
  if (n == QLatin1String("menu")) return new CMenuUI;
  if (n == QLatin1String("menuelement")) return new CMenuElementUI;
  return nullptr;
}

QString CDialogBuilder::GetWindowAttribute(const QString& name) const {
  for (const auto& [k, v] : windowAttributes_)
    if (k.compare(name, Qt::CaseInsensitive) == 0) return v;
  return {};
}

CControlUI* CDialogBuilder::Create(const QString& layout, const QString&, IDialogBuilderCallback* callback,
                                   CPaintManagerUI* manager, CControlUI* parent) {
  callback_ = callback;
  windowSize_ = {};
  windowAttributes_.clear();
  std::optional<XmlNode> root;
  QString label = layout;
  if (layout.trimmed().startsWith('<')) {
    QString error;
    root = ParseXml(layout.toUtf8(), &error);
    label = QStringLiteral("(layout text)");
    if (!root) TraceLine(QStringLiteral("ui: malformed layout text: %1").arg(error));
  } else {
    QString name = layout;
    const QString indexed = CResourceManager::GetInstance().GetXmlPath(layout);
    if (!indexed.isEmpty()) name = indexed;
    name.replace('\\', '/');
    label = name;
    root = LoadSkinXml(name);
  }
  if (!root) return nullptr;
  label_ = label;
  const bool outermost = !origins_;
  if (outermost) origins_ = std::make_shared<Origins>();
  struct ForgetOrigins {
    std::shared_ptr<Origins>& origins;
    bool on;
    ~ForgetOrigins() {
      if (on) origins.reset();
    }
  } forget{origins_, outermost};

  const XmlNode* top = &*root;
  if (Is(root->name, "Window")) {
    ApplyWindowElement(*root, manager);
    top = nullptr;
    for (const XmlNode& child : root->children) {
      if (Is(child.name, "Font") || Is(child.name, "Default") || Is(child.name, "Style") || Is(child.name, "Image"))
        continue;
      top = &child;
      break;
    }
    if (!top) {
      TraceLine(QStringLiteral("ui: layout %1 has no control").arg(label));
      return nullptr;
    }
  }
  auto* container = qobject_cast<CContainerUI*>(parent);
  CControlUI* control = nullptr;
  if (Is(top->name, "Include")) {
    control = Include(*top, container, manager, 0);  // adds to the container itself
  } else {
    control = BuildNode(*top, container, manager, 0);
    if (control && container) container->Add(control);
  }
  if (!control) {
    TraceLine(QStringLiteral("ui: layout %1 built no control").arg(label));
    return nullptr;
  }
  if (outermost) CheckNames(control);
  if (manager && !container) manager->InitControls(control, parent);
  return control;
}

void CDialogBuilder::ApplyWindowElement(const XmlNode& node, CPaintManagerUI* manager) {
  windowAttributes_ = node.attributes;
  const QString size = node.Attr(QStringLiteral("size"));
  if (!size.isEmpty()) windowSize_ = ParseSize(size);
  if (manager && windowSize_.isValid() && !windowSize_.isEmpty())
    manager->SetInitSize(windowSize_.width(), windowSize_.height());
  if (!manager) return;
  for (const XmlNode& child : node.children) {
    if (Is(child.name, "Font")) {
      const bool shared = ParseBool(child.Attr(QStringLiteral("shared")));
      const QString face = child.Attr(QStringLiteral("name"));
      const int size = child.HasAttr(QStringLiteral("size")) ? child.Attr(QStringLiteral("size")).toInt() : 12;
      const bool bold = ParseBool(child.Attr(QStringLiteral("bold")));
      const bool underline = ParseBool(child.Attr(QStringLiteral("underline")));
      const bool italic = ParseBool(child.Attr(QStringLiteral("italic")));
      if (child.HasAttr(QStringLiteral("id")))
        manager->AddFont(child.Attr(QStringLiteral("id")).toInt(), face, size, bold, underline, italic, shared);
      if (ParseBool(child.Attr(QStringLiteral("default"))))
        manager->SetDefaultFont(face, size, bold, underline, italic, shared);
    } else if (Is(child.name, "Default")) {
      manager->AddDefaultAttributeList(child.Attr(QStringLiteral("name")), child.Attr(QStringLiteral("value")),
                                       ParseBool(child.Attr(QStringLiteral("shared"))));
    } else if (Is(child.name, "Style")) {
      manager->AddStyle(child.Attr(QStringLiteral("name")), child.Attr(QStringLiteral("value")),
                        ParseBool(child.Attr(QStringLiteral("shared"))));
    }
  }
}

CControlUI* CDialogBuilder::Include(const XmlNode& node, CContainerUI* parent, CPaintManagerUI* manager, int depth) {
  const QString source = node.Attr(QStringLiteral("source"));
  if (depth + includeDepth_ >= kMaxIncludeDepth) {
    TraceLine(QStringLiteral("ui: include of %1 nested too deep (a layout includes itself?)").arg(source));
    return nullptr;
  }
  const int count = node.HasAttr(QStringLiteral("count")) ? std::max(1, node.Attr(QStringLiteral("count")).toInt()) : 1;
  CControlUI* last = nullptr;
  for (int i = 0; i < count; ++i) {
    CDialogBuilder inner;
    inner.includeDepth_ = includeDepth_ + depth + 1;
    inner.origins_ = origins_;
    CControlUI* built = inner.Create(source, {}, callback_, manager, parent);
    if (!built) return last;
    if (parent) parent->Add(built);
    last = built;
  }
  return last;
}

CControlUI* CDialogBuilder::BuildNode(const XmlNode& node, CContainerUI* parent, CPaintManagerUI* manager, int depth) {
  if (depth > kMaxElementDepth) {
    TraceLine(QStringLiteral("ui: layout nested deeper than %1 elements; the rest is skipped").arg(kMaxElementDepth));
    return nullptr;
  }
  CControlUI* control = CreateBuiltIn(node.name);
  if (!control && callback_) control = callback_->CreateControl(node.name);
  if (!control) control = CControlFactory::GetInstance().CreateControl(node.name);
  if (!control) {
    Warn(node, QStringLiteral("unknown control class \"%1\" (name \"%2\") skipped")
                   .arg(node.name, node.Attr(QStringLiteral("name"))));
    return nullptr;
  }
  if (origins_) origins_->where.insert(control, {label_, node.line});
  // The manager is known before attributes so styles, fonts and groups work.
  if (manager) control->SetManager(manager, parent, false);
  ApplyAttributes(control, node, manager);
  if (auto* box = qobject_cast<CContainerUI*>(control)) {
    for (const XmlNode& child : node.children) {
      if (Is(child.name, "Include")) {
        Include(child, box, manager, depth + 1);
        continue;
      }
      if (CControlUI* c = BuildNode(child, box, manager, depth + 1)) box->Add(c);
    }
  } else if (!node.children.empty()) {
    Warn(node, QStringLiteral("\"%1\" is no container; its children are skipped").arg(node.name));
  }
  return control;
}

}  // namespace ui
