#include "ui/UIManager.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QWidget>
#include <QWindow>

#include "ui/UIEdit.h"

#include "platform/MessageTarget.h"
#include "platform/Paths.h"
#include "platform/Trace.h"
#include "ui/UIButton.h"
#include "ui/UIContainer.h"
#include "ui/UIControl.h"
#include "ui/UIRender.h"

namespace ui {

namespace {
struct Shared {
  QString instancePath;
  QString resourcePath;
  std::vector<CPaintManagerUI*> managers;
  std::map<int, TFontInfo> fonts;
  std::unique_ptr<TFontInfo> defaultFont;
  QHash<QString, QString> defaults;
  QHash<QString, QString> styles;
};

Shared& S() {
  static Shared shared;
  return shared;
}

QString WithSlash(QString folder) {
  folder.replace('\\', '/');
  if (!folder.isEmpty() && !folder.endsWith('/')) folder += '/';
  return folder;
}

// Depth-first, document order.
CControlUI* FindIn(CControlUI* control, const QString& name) {
  if (!control) return nullptr;
  if (control->GetName() == name) return control;
  if (auto* box = qobject_cast<CContainerUI*>(control)) return box->FindSubControl(name);
  return nullptr;
}
}  // namespace

CPaintManagerUI::CPaintManagerUI() { S().managers.push_back(this); }

CPaintManagerUI::~CPaintManagerUI() {
  auto& all = S().managers;
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

void CPaintManagerUI::SetInstancePath(const QString& folder) { S().instancePath = WithSlash(folder); }

QString CPaintManagerUI::GetInstancePath() {
  if (S().instancePath.isEmpty())
    S().instancePath = WithSlash(QString::fromStdString(platform::InstallFolder().string()));
  return S().instancePath;
}

void CPaintManagerUI::SetResourcePath(const QString& folder) {
  S().resourcePath = WithSlash(folder);
  CRenderEngine::ClearImageCache();
}

QString CPaintManagerUI::GetResourcePath() {
  if (S().resourcePath.isEmpty()) return GetInstancePath() + QStringLiteral("skin/");
  return S().resourcePath;
}

int CPaintManagerUI::MessageLoop() { return QApplication::exec(); }

void CPaintManagerUI::PostQuitMessage(int code) { QCoreApplication::exit(code); }

void CPaintManagerUI::SetAllDPI(int dpi) {
  const auto managers = S().managers;
  for (CPaintManagerUI* m : managers) m->SetDPI(dpi);
}

const std::vector<CPaintManagerUI*>& CPaintManagerUI::GetManagers() { return S().managers; }

void CPaintManagerUI::Init(QWidget* host, const QString& name) {
  host_ = host;
  name_ = name;
}

bool CPaintManagerUI::AttachDialog(CControlUI* root) {
  if (!root) return false;
  root_ = root;
  if (host_) {
    root->setParent(host_);
    root->setGeometry(host_->rect());
    root->show();
  }
  InitControls(root, nullptr);
  UpdateLayout();
  return true;
}

CControlUI* CPaintManagerUI::GetRoot() const { return root_.data(); }

void CPaintManagerUI::InitControls(CControlUI* control, CControlUI* parent) {
  if (!control) return;
  control->SetManager(this, parent ? parent : control->GetParent(), true);
}

void CPaintManagerUI::UpdateLayout() {
  if (!root_) return;
  if (host_ && root_->parentWidget() == host_) root_->setGeometry(host_->rect());
  // Parents first, so children are placed inside their final rectangles.
  std::vector<CContainerUI*> boxes;
  if (auto* box = qobject_cast<CContainerUI*>(root_.data())) boxes.push_back(box);
  for (size_t i = 0; i < boxes.size(); ++i) {
    boxes[i]->LayoutNow();
    for (int k = 0; k < boxes[i]->GetCount(); ++k)
      if (auto* child = qobject_cast<CContainerUI*>(boxes[i]->GetItemAt(k))) boxes.push_back(child);
  }
}

void CPaintManagerUI::SetInitSize(int cx, int cy) {
  initSize_ = QSize(cx, cy);
  if (host_) host_->resize(Scale(cx), Scale(cy));
}

QSize CPaintManagerUI::GetClientSize() const { return host_ ? host_->size() : QSize(); }

CControlUI* CPaintManagerUI::FindControl(const QString& name) const {
  VX27_ASSERT_UI_THREAD();
  if (name.isEmpty()) return nullptr;
  return FindIn(root_.data(), name);
}

CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI* parent, const QString& name) const {
  if (!parent || name.isEmpty()) return nullptr;
  if (auto* box = qobject_cast<CContainerUI*>(parent)) return box->FindSubControl(name);
  return nullptr;
}

CControlUI* CPaintManagerUI::FindControl(QPoint windowPoint) const {
  if (!host_) return nullptr;
  QWidget* w = host_->childAt(windowPoint);
  while (w && !qobject_cast<CControlUI*>(w)) w = w->parentWidget();
  return qobject_cast<CControlUI*>(w);
}

bool CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
  if (!notifier || std::find(notifiers_.begin(), notifiers_.end(), notifier) != notifiers_.end()) return false;
  notifiers_.push_back(notifier);
  return true;
}

bool CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) {
  auto it = std::find(notifiers_.begin(), notifiers_.end(), notifier);
  if (it == notifiers_.end()) return false;
  notifiers_.erase(it);
  return true;
}

void CPaintManagerUI::SendNotify(CControlUI* control, const QString& type, uint64_t wParam, int64_t lParam,
                                 bool async) {
  TNotifyUI msg;
  msg.pSender = control;
  msg.sType = type;
  msg.wParam = wParam;
  msg.lParam = lParam;
  SendNotify(msg, async);
}

void CPaintManagerUI::SendNotify(TNotifyUI& msg, bool async) {
  VX27_ASSERT_UI_THREAD();
  msg.dwTimestamp = uint64_t(QDateTime::currentMSecsSinceEpoch());
  if (msg.pSender) {
    msg.sVirtualWnd = msg.pSender->GetVirtualWnd();
    if (host_) msg.ptMouse = host_->mapFromGlobal(QCursor::pos());
  }
  if (!async) {
    DeliverNotify(msg);
    return;
  }
  // Delivered on a later turn of the event loop, and only while the sender
  // still exists.
  QPointer<CControlUI> sender = msg.pSender;
  const bool hadSender = msg.pSender != nullptr;
  TNotifyUI copy = msg;
  QObject* context = host_ ? static_cast<QObject*>(host_) : static_cast<QObject*>(qApp);
  QMetaObject::invokeMethod(context, [this, sender, hadSender, copy]() mutable {
    if (hadSender && !sender) return;
    DeliverNotify(copy);
  }, Qt::QueuedConnection);
}

void CPaintManagerUI::DeliverNotify(TNotifyUI& msg) {
  // A notifier may remove itself (or another) while being notified.
  const auto notifiers = notifiers_;
  for (INotifyUI* n : notifiers) {
    if (std::find(notifiers_.begin(), notifiers_.end(), n) == notifiers_.end()) continue;
    n->Notify(msg);
  }
}

bool CPaintManagerUI::SetTimer(CControlUI* control, uint32_t id, uint32_t elapseMs) {
  if (!control) return false;
  control->ArmTimer(id, elapseMs);
  return true;
}

bool CPaintManagerUI::KillTimer(CControlUI* control, uint32_t id) {
  if (!control) return false;
  // From another thread the kill is queued behind any set still on its way,
  // so it cannot be dropped for a timer that is not armed yet.
  if (!platform::OnUiThread()) {
    control->DisarmTimer(id);
    return true;
  }
  if (!control->IsTimerArmed(id)) return false;
  control->DisarmTimer(id);
  return true;
}

void CPaintManagerUI::KillTimer(CControlUI* control) {
  if (control) control->DisarmAllTimers();
}

bool CPaintManagerUI::AddOptionGroup(const QString& group, COptionUI* option) {
  VX27_ASSERT_UI_THREAD();
  auto& members = optionGroups_[group];
  for (const auto& m : members)
    if (m == option) return false;
  members.emplace_back(option);
  return true;
}

std::vector<COptionUI*> CPaintManagerUI::GetOptionGroup(const QString& group) const {
  std::vector<COptionUI*> out;
  auto it = optionGroups_.find(group);
  if (it == optionGroups_.end()) return out;
  for (const auto& m : it->second)
    if (m) out.push_back(m.data());
  return out;
}

std::vector<COptionUI*> CPaintManagerUI::GetOptionGroup(const QString& group, const CControlUI* pageRoot) const {
  std::vector<COptionUI*> out = GetOptionGroup(group);
  out.erase(std::remove_if(out.begin(), out.end(), [pageRoot](COptionUI* o) { return o->GetPageRoot() != pageRoot; }),
            out.end());
  return out;
}

void CPaintManagerUI::RemoveOptionGroup(const QString& group, COptionUI* option) {
  auto it = optionGroups_.find(group);
  if (it == optionGroups_.end()) return;
  auto& v = it->second;
  v.erase(std::remove_if(v.begin(), v.end(), [option](const QPointer<COptionUI>& p) { return !p || p == option; }),
          v.end());
}

void CPaintManagerUI::SetDPI(int dpi) {
  if (dpi <= 0 || dpi == dpi_.GetDPI()) return;
  dpi_.SetDPI(dpi);
  ResetDPIAssets();
  if (host_ && !initSize_.isEmpty()) host_->resize(Scale(initSize_.width()), Scale(initSize_.height()));
  UpdateLayout();
  if (root_) {
    root_->ReloadText();  // repaints with the scaled fonts
    for (CEditUI* e : root_->findChildren<CEditUI*>()) e->DoInit();
  }
}

void CPaintManagerUI::ResetDPIAssets() {
  if (root_) root_->update();
}

void CPaintManagerUI::AddFont(int id, const QString& face, int size, bool bold, bool underline, bool italic,
                              bool shared) {
  TFontInfo info{face, size, bold, underline, italic};
  if (shared) S().fonts[id] = info;
  else fonts_[id] = info;
}

void CPaintManagerUI::SetDefaultFont(const QString& face, int size, bool bold, bool underline, bool italic,
                                     bool shared) {
  auto info = std::make_unique<TFontInfo>(TFontInfo{face, size, bold, underline, italic});
  if (shared) S().defaultFont = std::move(info);
  else defaultFont_ = std::move(info);
}

void CPaintManagerUI::RemoveAllFonts(bool shared) {
  if (shared) {
    S().fonts.clear();
    S().defaultFont.reset();
  } else {
    fonts_.clear();
    defaultFont_.reset();
  }
}

const TFontInfo* CPaintManagerUI::GetFontInfo(int id) const {
  if (auto it = fonts_.find(id); it != fonts_.end()) return &it->second;
  if (auto it = S().fonts.find(id); it != S().fonts.end()) return &it->second;
  return nullptr;
}

bool CPaintManagerUI::HasFont(int id) const { return GetFontInfo(id) != nullptr; }

QFont CPaintManagerUI::MakeFont(const TFontInfo& info) const {
  QFont font;
  if (!info.face.isEmpty()) font.setFamilies({info.face, QStringLiteral("Liberation Sans"),
                                              QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Garuda")});
  font.setPixelSize(std::max(1, Scale(info.size)));
  font.setBold(info.bold);
  font.setUnderline(info.underline);
  font.setItalic(info.italic);
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

QFont CPaintManagerUI::GetDefaultFont() const {
  if (defaultFont_) return MakeFont(*defaultFont_);
  if (S().defaultFont) return MakeFont(*S().defaultFont);
  return MakeFont(TFontInfo{QStringLiteral("Liberation Sans"), 13, false, false, false});
}

QFont CPaintManagerUI::GetFont(int id) const {
  if (const TFontInfo* info = GetFontInfo(id)) return MakeFont(*info);
  return GetDefaultFont();
}

void CPaintManagerUI::AddDefaultAttributeList(const QString& className, const QString& list, bool shared) {
  if (shared) S().defaults.insert(className.toLower(), list);
  else defaults_.insert(className.toLower(), list);
}

QString CPaintManagerUI::GetDefaultAttributeList(const QString& className) const {
  const QString key = className.toLower();
  auto it = defaults_.find(key);
  if (it != defaults_.end()) return it.value();
  return S().defaults.value(key);
}

void CPaintManagerUI::AddStyle(const QString& name, const QString& list, bool shared) {
  if (shared) S().styles.insert(name, list);
  else styles_.insert(name, list);
}

QString CPaintManagerUI::GetStyle(const QString& name) const {
  auto it = styles_.find(name);
  if (it != styles_.end()) return it.value();
  return S().styles.value(name);
}

QString CPaintManagerUI::FindStyle(const CPaintManagerUI* manager, const QString& name) {
  if (manager) return manager->GetStyle(name);
  if (S().styles.contains(name)) return S().styles.value(name);
  for (const CPaintManagerUI* m : S().managers)
    if (m->styles_.contains(name)) return m->styles_.value(name);
  return {};
}

const TImageInfo* CPaintManagerUI::GetImageEx(const QString& name) const { return CRenderEngine::GetImage(name); }

bool CPaintManagerUI::StartCaptionDrag(QPoint p) {
  if (!host_ || caption_.isNull()) return false;
  const int w = host_->width();
  const bool inside = p.x() >= Scale(caption_.left()) && p.x() < w - Scale(caption_.right()) &&
                      p.y() >= Scale(caption_.top()) && p.y() < Scale(caption_.bottom());
  if (!inside || !host_->windowHandle()) return false;
  return host_->windowHandle()->startSystemMove();
}

void CPaintManagerUI::ReapObject(CControlUI* control) {
  if (focus_ == control) focus_ = nullptr;
}

void CPaintManagerUI::SetFocus(CControlUI* control) { focus_ = control; }

CControlUI* CPaintManagerUI::GetFocus() const { return focus_.data(); }

}  // namespace ui
