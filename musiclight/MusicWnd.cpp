#include "musiclight/MusicWnd.h"

#include "platform/Trace.h"
#include "ui/UIAuxWindow.h"

namespace musiclight {
namespace {

constexpr uint32_t kPopupVisible = 0x90000000;  // WS_POPUP | WS_VISIBLE
constexpr uint32_t kToolWindow = 0x00000080;    // WS_EX_TOOLWINDOW
constexpr int kWidth = 369, kHeight = 276;
constexpr int kComponentMax = 9;
constexpr const char* kDpiError = "SET_WND DPI SET ERROR";
constexpr const char* kMissingControl = "GetAudioLightInfo control is NULL";
constexpr const char* kSliderNames[3] = {"audio_r_slider", "audio_g_slider", "audio_b_slider"};
constexpr const char* kOptionPrefix = "audio_select_tab";
constexpr const char* kNamePrefix = "audio_edit_name";
// What an emptied group name becomes.
constexpr const char* kDefaultNames[kGroupCount] = {"第一组", "第二组", "第三组", "第四组"};

// The group number N (1..4) at the end of `name` after `prefix`, or 0.
int GroupNumber(const QString& name, const char* prefix) {
  const QString p = QString::fromLatin1(prefix);
  if (!name.startsWith(p)) return 0;
  bool ok = false;
  const int n = name.mid(p.size()).toInt(&ok);
  return ok && n >= 1 && n <= int(kGroupCount) ? n : 0;
}

}  // namespace

bool MusicWnd::Open(QWidget* owner, int dpi) {
  ui::ApplyWindowDpi(m_pm, dpi, kDpiError);
  if (!Create(owner, QStringLiteral("  "), kPopupVisible, kToolWindow)) return false;
  ResizeClient(m_pm.Scale(kWidth), m_pm.Scale(kHeight));
  CenterWindow();
  return true;
}

ui::CSliderUI* MusicWnd::Slider(int component) {
  return qobject_cast<ui::CSliderUI*>(FindControl(QString::fromLatin1(kSliderNames[component])));
}

int MusicWnd::SelectedGroup() {
  int selected = -1;
  bool complete = true;
  for (int g = 0; g < int(kGroupCount); ++g) {
    auto* option = qobject_cast<ui::COptionUI*>(FindControl(kOptionPrefix + QString::number(g + 1)));
    if (!option) complete = false;
    else if (selected < 0 && option->IsSelected()) selected = g;
  }
  for (int c = 0; c < 3; ++c) complete = complete && Slider(c);
  if (!complete) {
    Trace(kMissingControl);
    Close(0);
    return -1;
  }
  return selected;
}

void MusicWnd::Initialise() {
  for (int c = 0; c < 3; ++c) {
    if (ui::CSliderUI* s = Slider(c)) {
      s->SetMinValue(0);
      s->SetMaxValue(kComponentMax);
    }
  }
  info_.style = std::min<uint8_t>(info_.style, kGroupCount - 1);
  if (auto* option = qobject_cast<ui::COptionUI*>(FindControl(kOptionPrefix + QString::number(info_.style + 1))))
    option->Selected(true, false);
  for (size_t g = 0; g < kGroupCount; ++g)
    if (ui::CControlUI* edit = FindControl(kNamePrefix + QString::number(g + 1)))
      edit->SetText(QString::fromStdString(info_.names[g]));
  if (SelectedGroup() >= 0) ShowGroup();
  initialised_ = true;
}

void MusicWnd::ShowGroup() {
  for (int c = 0; c < 3; ++c)
    if (ui::CSliderUI* s = Slider(c)) s->SetValue(info_.colours[info_.style][size_t(c)]);
}

void MusicWnd::Notify(ui::TNotifyUI& msg) {
  namespace n = ui::notify;
  if (msg.sType == n::kWindowInit) return Initialise();
  if (!msg.pSender) return WindowImplBase::Notify(msg);
  const QString name = msg.pSender->GetName();
  if (msg.sType == n::kSelectChanged) {
    const int group = GroupNumber(name, kOptionPrefix);
    auto* option = qobject_cast<ui::COptionUI*>(msg.pSender);
    if (group > 0 && option && option->IsSelected()) {
      info_.style = uint8_t(group - 1);
      ShowGroup();
      return;
    }
  } else if (msg.sType == n::kValueChanged) {
    for (int c = 0; c < 3; ++c) {
      if (name != QLatin1String(kSliderNames[c])) continue;
      const int group = SelectedGroup();
      if (group < 0) return;
      info_.colours[size_t(group)][size_t(c)] = uint8_t(std::clamp(Slider(c)->GetValue(), 0, kComponentMax));
      return;
    }
  } else if (msg.sType == n::kKillFocus) {
    if (const int group = GroupNumber(name, kNamePrefix)) {
      QString text = msg.pSender->GetText();
      if (text.isEmpty()) {
        text = QString::fromUtf8(kDefaultNames[group - 1]);
        msg.pSender->SetText(text);
      }
      info_.names[size_t(group - 1)] = text.toStdString();
      return;
    }
  } else if (msg.sType == n::kClick) {
    if (name == QLatin1String("okbtn")) return Close(1);
    if (ui::HandleTitleButtonClick(*this, msg)) return;
  }
  WindowImplBase::Notify(msg);
}

}  // namespace musiclight
