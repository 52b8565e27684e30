#include "ui/UIMenu.h"

#include <deque>

#include <QGuiApplication>
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

// The pop-up top-level widget of a menu.
class MenuHost : public QWidget {
 public:
  MenuHost() : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_QuitOnClose, false);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor::fromRgba(theme::kPopupBk));
    p.setPen(QColor::fromRgba(theme::kBorder));
    p.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
  }
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

bool CMenuWnd::Init(CWindowWnd* owner, const QString& layout, QPoint screenPoint) {
  return Init(owner ? &owner->Target() : nullptr, layout, screenPoint);
}

bool CMenuWnd::Init(platform::MessageTarget* owner, const QString& layout, QPoint screenPoint) {
  Close();
  // An earlier menu may be the one whose event led here: retire it later.
  if (manager_) manager_->RemoveNotifier(this);
  if (host_) host_.release()->deleteLater();
  owner_ = owner;
  manager_ = std::make_unique<CPaintManagerUI>();
  host_ = std::make_unique<MenuHost>();
  manager_->Init(host_.get(), QStringLiteral("menu"));
  // Menus follow the DPI of the windows.
  const auto& managers = CPaintManagerUI::GetManagers();
  if (managers.size() > 1) manager_->SetDPI(managers.front()->GetDPI());
  CDialogBuilder builder;
  CControlUI* root = builder.Create(layout, {}, nullptr, manager_.get());
  if (!root) {
    Trace(QStringLiteral("ui: menu %1 cannot be built").arg(layout).toStdString());
    host_.reset();
    manager_.reset();
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
  host_->resize(width, height);
  QPoint at = screenPoint;
  if (QScreen* screen = QGuiApplication::screenAt(screenPoint) ? QGuiApplication::screenAt(screenPoint)
                                                                : QGuiApplication::primaryScreen()) {
    const QRect avail = screen->availableGeometry();
    if (at.x() + width > avail.right()) at.setX(std::max(avail.left(), at.x() - width));
    if (at.y() + height > avail.bottom()) at.setY(std::max(avail.top(), at.y() - height));
  }
  host_->move(at);
  manager_->UpdateLayout();
  host_->show();
  return true;
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
  TNotifyUI msg;
  msg.sType = notify::kItemClick;
  msg.pSender = element;
  Notify(msg);
  return true;
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
