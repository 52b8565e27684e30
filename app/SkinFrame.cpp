#include "app/SkinFrame.h"

#include <QFileDialog>

#include "app/Environment.h"
#include "app/IniFile.h"
#include "app/SkinObserver.h"

namespace app {
namespace {

constexpr uint32_t kPopupVisible = 0x90000000;      // WS_POPUP | WS_VISIBLE
constexpr uint32_t kNoActivateToolTopmost = 0x08000088;

void WriteSkinChoice(const char* flags, const std::string& image) {
  // A failed write changes nothing the user sees; it is traced by the writer.
  const std::filesystem::path file = SkinSettingsFile();
  (void)WriteIniValue(file, "SKINIMAGE", "FLAGS", flags);
  (void)WriteIniValue(file, "SKINIMAGE", "IMAGE", image);
}

void BroadcastImage(const std::string& image) {
  SkinChangedParam p;
  p.isColour = false;
  p.image = image;
  GetSkinObserver().Broadcast(p);
}

QString DefaultAskImage(QWidget* parent) {
  return QFileDialog::getOpenFileName(parent, QString(), QStringLiteral("*.png"),
                                      QStringLiteral("(*.png) (*.png);;(*.*) (*)"));
}

}  // namespace

std::filesystem::path SkinSettingsFile() { return GetUserDataFolder() / "main.ini"; }

CSkinFrame::CSkinFrame() : askImage_(DefaultAskImage) {}

bool CSkinFrame::Open(ui::CWindowWnd& mainWnd, ui::CControlUI* button) {
  QWidget* main = mainWnd.GetHWND();
  if (!Create(main, QStringLiteral("UISkinFrame"), kPopupVisible, kNoActivateToolTopmost)) return false;
  QWidget* host = GetHWND();
  if (main && button) {
    const QRect r = button->GetPos();
    const QPoint corner = main->mapToGlobal(QPoint(r.right() + 1, r.bottom() + 1));
    host->move(corner.x() - host->width(), corner.y());
  }
  ShowWindow(true, true);
  return true;
}

void CSkinFrame::SelectTab(int page) {
  if (auto* tab = qobject_cast<ui::CTabLayoutUI*>(FindControl(QStringLiteral("skin_tab")))) tab->SelectItem(page);
}

void CSkinFrame::Notify(ui::TNotifyUI& msg) {
  if (msg.sType != ui::notify::kClick || !msg.pSender) return WindowImplBase::Notify(msg);
  const QString name = msg.pSender->GetName();
  if (name == QLatin1String("skin_image_btn")) {
    const std::string image = msg.pSender->GetBkImage().toStdString();
    BroadcastImage(image);
    WriteSkinChoice("1", image);
  } else if (name == QLatin1String("skin_color_btn")) {
    SkinChangedParam p;
    p.isColour = true;
    p.colour = msg.pSender->GetBkColor();
    GetSkinObserver().Broadcast(p);
  } else if (name == QLatin1String("skin_color")) {
    SelectTab(1);
  } else if (name == QLatin1String("skin_image")) {
    SelectTab(0);
  } else if (name == QLatin1String("skin_reset")) {
    BroadcastImage(kDefaultSkinImage);
    WriteSkinChoice("0", kDefaultSkinImage);
  } else if (name == QLatin1String("skin_Custom")) {
    // The dialog takes the focus; the frame must outlive it.
    asking_ = true;
    const QString path = askImage_ ? askImage_(GetHWND()) : QString();
    asking_ = false;
    if (!path.isEmpty()) BroadcastImage(path.toStdString());
  } else {
    WindowImplBase::Notify(msg);
  }
}

int64_t CSkinFrame::HandleCustomMessage(const platform::Message& msg, bool& handled) {
  handled = false;
  if (msg.id == ui::wm::WM_KILLFOCUS && !asking_) {
    // A click anywhere else closes the frame without a change.
    Close(0);
    handled = true;
  }
  return 0;
}

void CSkinFrame::OnFinalMessage() {
  if (onFinal_) {
    auto onFinal = std::move(onFinal_);
    onFinal();  // may delete this
  }
}

}  // namespace app
