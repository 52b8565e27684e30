// The music lighting rows: the music light window, the host colour sliders
// sent to the capture companion, and the audio lighting background reset.

#include "app/MainWnd.h"
#include "app/Routing.h"
#include "ui/UILib.h"

namespace app {
namespace {

void OpenMusic(CMainWnd& wnd, ui::TNotifyUI&, int) { wnd.OpenMusicWindow(); }

// "R_light_slider", "G_light_slider", "B_light_slider": the host colour
// component to the companion, then "R %d" (and so on) in the label beside.
void HostComponent(CMainWnd& wnd, ui::TNotifyUI& msg, int) {
  auto* slider = qobject_cast<ui::CSliderUI*>(msg.pSender);
  if (!slider) return;
  const QString name = slider->GetName();
  const QChar letter = name.at(0).toUpper();
  const int component = letter == 'R' ? 0 : letter == 'G' ? 1 : 2;
  const int value = slider->GetValue();
  if (musiclight::MusicLink* link = wnd.Music()) link->SendHostComponent(component, value);
  // Every page's lighting editor has the row: the label is the slider's neighbour.
  auto* row = qobject_cast<ui::CContainerUI*>(slider->GetParent());
  if (ui::CControlUI* label = row ? row->FindSubControl(QString(letter) + QStringLiteral("_light_label")) : nullptr)
    label->SetText(QStringLiteral("%1 %2").arg(letter).arg(value));
}

// The selected device's audio lighting background becomes black.
void BackgroundOff(CMainWnd& wnd, ui::TNotifyUI&, int) {
  devices::CGesterinUSBDevice* device = wnd.SelectedDevice();
  if (!device) return;
  profiles::AudioLightRecord record = device->GetColour(true);
  record.bkRed = record.bkGreen = record.bkBlue = 0;
  const auto bytes = record.Encode();
  const auto word = [&](size_t at) {
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
           uint32_t(bytes[at + 3]) << 24;
  };
  device->SetColour(word(0), word(4), bytes[8]);
  device->SaveProfile();
  device->ApplyLightingFromProfile();
}

constexpr Route kMusicRoutes[] = {
    {route::kClick, "music_setting_btn", Match::Name, OpenMusic},
    {route::kValue, "R_light_slider", Match::Name, HostComponent},
    {route::kValue, "G_light_slider", Match::Name, HostComponent},
    {route::kValue, "B_light_slider", Match::Name, HostComponent},
    {route::kClick, "Close_bkColor_btn", Match::Name, BackgroundOff},
};

}  // namespace

std::span<const Route> MusicRoutes() { return kMusicRoutes; }

}  // namespace app
