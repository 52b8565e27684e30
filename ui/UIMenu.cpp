#include "ui/UIMenu.h"

#include <deque>
#include <functional>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include "platform/Messages.h"
#include "platform/Trace.h"
#include "ui/UIBuilder.h"
#include "ui/UIRender.h"
#include "ui/UITheme.h"
#include "ui/UIWindow.h"

namespace ui {

namespace {
constexpr size_t kMaxPendingCommands = 64;

struct PendingCommands {
  uint64_t next = 1;
  std::deque<std::pair<uint64_t, MenuCmd>> records;
};

PendingCommands& Pending() {
  static PendingCommands pending;
  return pending;
}

uint64_t PushCommand(MenuCmd cmd) {
  auto& p = Pending();
  const uint64_t token = p.next++;
  p.records.emplace_back(token, std::move(cmd));
  while (p.records.size() > kMaxPendingCommands) p.records.pop_front();
  return token;
}
}  // namespace

// The pop-up top-level widget of a menu. It owns the menu's manager, so a
// menu retired while one of its controls is still handling an event keeps a
// live manager until the host (and its control tree) is deleted; the tree
// goes first.
class MenuHost : public QWidget {
 public:
  MenuHost() : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint), manager_(std::make_unique<CPaintManagerUI>()) {
    setAttribute(Qt::WA_QuitOnClose, false);
  }
  ~MenuHost() override {
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) delete child;
  }
  CPaintManagerUI* Manager() const { return manager_.get(); }
  std::function<void(int key)> onKey;

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    if (onKey) onKey(e->key());
    e->accept();
  }
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor::fromRgba(theme::kPopupBk));
    p.setPen(QColor::fromRgba(theme::kBorder));
    p.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
  }

 private:
  std::unique_ptr<CPaintManagerUI> manager_;
};

CMenuUI::CMenuUI() {
  inset_ = QMargins(4, 4, 4, 4);
  EnableScrollBar(false);
}

bool CMenuUI::IsClass(const QString& c) const {
  return c.compare(QLatin1String("Menu"), Qt::CaseInsensitive) == 0 || CListUI::IsClass(c);
}

CMenuElementUI::CMenuElementUI() { textPadding_ = QMargins(28, 0, 12, 0); }

bool CMenuElementUI::IsClass(const QString& c) const {
  return c.compare(QLatin1String("MenuElement"), Qt::CaseInsensitive) == 0 || CListLabelElementUI::IsClass(c);
}

void CMenuElementUI::SetAttribute(const QString& name, const QString& value) {
  if (name.compare(QLatin1String("line"), Qt::CaseInsensitive) == 0) {
    line_ = ParseBool(value);
    if (line_) SetEnabled(false);
  } else if (name.compare(QLatin1String("checked"), Qt::CaseInsensitive) == 0) {
    checked_ = ParseBool(value);
  } else {
    CListLabelElementUI::SetAttribute(name, value);
  }
}

void CMenuElementUI::DoEvent(TEventUI& event) {
  if (line_) return;
  CListLabelElementUI::DoEvent(event);
}

QSize CMenuElementUI::EstimateSize(QSize available) const {
  QSize s = CListLabelElementUI::EstimateSize(available);
  if (fixedHeight_ == 0) s.setHeight(Scale(line_ ? 9 : 32));
  return s;
}

void CMenuElementUI::PaintBkColor(QPainter& painter) {
  if (line_) return;
  if (state_ & UISTATE_HOT) {
    CRenderEngine::DrawColor(painter, GetPos(), theme::kListHot, QSize(6, 6) * (manager_ ? manager_->GetDPIObj().ScaleFactor() : 1.0));
    return;
  }
  CControlUI::PaintBkColor(painter);
}

void CMenuElementUI::PaintText(QPainter& painter) {
  const QRect pos = GetPos();
  if (line_) {
    painter.fillRect(QRect(pos.left() + Scale(8), pos.center().y(), pos.width() - Scale(16), 1), QColor::fromRgba(theme::kBorder));
    return;
  }
  if (checked_) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgba(theme::kAccent));
    painter.drawEllipse(QPointF(pos.left() + Scale(14), pos.center().y() + 0.5), Scale(3), Scale(3));
    painter.restore();
  }
  DrawText(painter, GetText(), IsEnabled() ? TextColorFor(textColor_) : theme::kTextDisabled);
}

CMenuWnd::CMenuWnd() = default;

CMenuWnd::~CMenuWnd() {
  if (manager_) manager_->RemoveNotifier(this);
  host_.reset();
}

CPaintManagerUI* CMenuWnd::GetManager() const { return manager_; }

bool CMenuWnd::Init(CWindowWnd* owner, const QString& layout, QPoint screenPoint) {
  return Init(owner ? &owner->Target() : nullptr, layout, screenPoint);
}

bool CMenuWnd::Init(platform::MessageTarget* owner, const QString& layout, QPoint screenPoint) {
  Close();
  // An earlier menu may be the one whose event led here: retire it later.
  if (manager_) manager_->RemoveNotifier(this);
  if (host_) host_.release()->deleteLater();  // with its manager
  owner_ = owner;
  host_ = std::make_unique<MenuHost>();
  manager_ = host_->Manager();
  manager_->Init(host_.get(), QStringLiteral("menu"));
  // Menus follow the DPI of the windows.
  const auto& managers = CPaintManagerUI::GetManagers();
  if (managers.size() > 1) manager_->SetDPI(managers.front()->GetDPI());
  CDialogBuilder builder;
  CControlUI* root = builder.Create(layout, {}, nullptr, manager_);
  if (!root) {
    Trace(QStringLiteral("ui: menu %1 cannot be built").arg(layout).toStdString());
    host_.reset();
    manager_ = nullptr;
    return false;
  }
  manager_->AttachDialog(root);
  manager_->AddNotifier(this);
  // Size: the menu's width, the height of its rows.
  int height = manager_->Scale(8);
  if (auto* box = qobject_cast<CContainerUI*>(root)) {
    height = manager_->Scale(box->GetInset().top() + box->GetInset().bottom());
    for (int i = 0; i < box->GetCount(); ++i) {
      CControlUI* c = box->GetItemAt(i);
      if (c->IsVisible()) height += c->EstimateSize(QSize()).height();
    }
  }
  const int width = manager_->Scale(root->GetFixedWidth() > 0 ? root->GetFixedWidth() : 180);
  QPoint at = screenPoint;
  if (QScreen* screen = QGuiApplication::screenAt(screenPoint) ? QGuiApplication::screenAt(screenPoint)
                                                                : QGuiApplication::primaryScreen()) {
    const QRect avail = screen->availableGeometry();
    // Taller than the work area: as tall as it, scrolling.
    if (height > avail.height()) {
      height = avail.height();
      if (auto* list = qobject_cast<CContainerUI*>(root)) list->EnableScrollBar(true);
    }
    if (at.x() + width > avail.right()) at.setX(std::max(avail.left(), at.x() - width));
    if (at.y() + height > avail.bottom()) at.setY(std::max(avail.top(), avail.bottom() + 1 - height));
  }
  host_->resize(width, height);
  host_->move(at);
  host_->onKey = [this](int key) { OnKey(key); };
  manager_->UpdateLayout();
  host_->show();
  host_->setFocus(Qt::PopupFocusReason);
  return true;
}

CMenuUI* CMenuWnd::Root() const { return manager_ ? qobject_cast<CMenuUI*>(manager_->GetRoot()) : nullptr; }

bool CMenuWnd::IsChoosable(const CControlUI* control) {
  auto* element = qobject_cast<const CMenuElementUI*>(control);
  return element && !element->IsLine() && element->IsEnabled() && element->IsVisible();
}

// Up and Down move the highlight over the elements that can be chosen (round
// the ends), Enter chooses, Escape closes.
void CMenuWnd::OnKey(int key) {
  CMenuUI* list = Root();
  if (!list) return;
  const int count = list->GetCount();
  if (key == Qt::Key_Up || key == Qt::Key_Down) {
    const int step = key == Qt::Key_Down ? 1 : -1;
    int i = list->GetCurSel();
    for (int tried = 0; tried < count; ++tried) {
      i = i < 0 ? (step > 0 ? 0 : count - 1) : (i + step + count) % count;
      if (IsChoosable(list->GetItemAt(i))) {
        list->SelectItem(i, false, false);
        return;
      }
    }
  } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (auto* element = qobject_cast<CMenuElementUI*>(list->GetItemAt(list->GetCurSel())); IsChoosable(element))
      ChooseElement(element);
  } else if (key == Qt::Key_Escape) {
    Close();
  }
}

void CMenuWnd::Close() {
  if (host_) host_->hide();
}

bool CMenuWnd::IsOpen() const { return host_ && host_->isVisible(); }

QWidget* CMenuWnd::GetHWND() const { return host_.get(); }

bool CMenuWnd::Choose(const QString& elementName) {
  if (!manager_) return false;
  auto* element = qobject_cast<CMenuElementUI*>(manager_->FindControl(elementName));
  if (!element || !element->IsEnabled() || element->IsLine()) return false;
  ChooseElement(element);
  return true;
}

void CMenuWnd::ChooseElement(CMenuElementUI* element) {
  TNotifyUI msg;
  msg.sType = notify::kItemClick;
  msg.pSender = element;
  Notify(msg);
}

void CMenuWnd::Notify(TNotifyUI& msg) {
  if (msg.sType != notify::kItemClick) return;
  auto* element = qobject_cast<CMenuElementUI*>(msg.pSender);
  if (!element || element->IsLine() || !element->IsEnabled()) return;
  MenuCmd cmd{element->GetName(), element->GetUserData(), element->GetText(), element->IsChecked()};
  Close();
  if (owner_) owner_->Post(platform::msg::kMenuCommand, PushCommand(std::move(cmd)), 0);
}

std::optional<MenuCmd> CMenuWnd::TakeCommand(uint64_t token) {
  auto& records = Pending().records;
  for (auto it = records.begin(); it != records.end(); ++it) {
    if (it->first == token) {
      MenuCmd cmd = std::move(it->second);
      records.erase(it);
      return cmd;
    }
  }
  return std::nullopt;
}

}  // namespace ui
