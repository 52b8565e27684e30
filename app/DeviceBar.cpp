#include "app/DeviceBar.h"

#include "hid/SupportedDevices.h"

namespace app {
namespace {

struct EntryIcons {
  const char* stem;  // file names are common/device_ico/<stem>_device_<state>.png
  const char* text;
};

// nullopt: leave the icons as they are.
std::optional<EntryIcons> IconsFor(int kind, int role) {
  switch (kind) {
    case 1:
      return EntryIcons{"kb", "kb_device_name_text"};
    case 2:
      return EntryIcons{"ms", "ms_device_name_text"};
    case 3:
      if (role == 0) return EntryIcons{"hard_mp", "hard_mp_device_name_text"};
      if (role == 1) return EntryIcons{"soft_mp", "soft_mp_device_name_text"};
      return std::nullopt;
    case 4:
    case 7:
      return EntryIcons{"hd", "hd_device_name_text"};
    case 5:
      return EntryIcons{"hub", "hub_device_name_text"};
    default:
      return EntryIcons{"unknow", "unknow_device_name_text"};
  }
}

QString IconFile(const char* stem, const char* state) {
  return QStringLiteral("common/device_ico/%1_device_%2.png").arg(QLatin1String(stem), QLatin1String(state));
}

}  // namespace

bool CDeviceOptionUI::IsClass(const QString& className) const {
  return className == QLatin1String("DeviceOption") || ui::CHorizontalLayoutUI::IsClass(className);
}

ui::COptionUI* CDeviceOptionUI::SelectOption() {
  if (!select_) select_ = qobject_cast<ui::COptionUI*>(FindSubControl(QStringLiteral("device_select")));
  return select_;
}

ui::COptionUI* CDeviceOptionUI::SynchroOption() {
  if (!synchro_)
    synchro_ = qobject_cast<ui::COptionUI*>(FindSubControl(QStringLiteral("synchro_device_select")));
  return synchro_;
}

void CDeviceOptionUI::SetKind(int kind, int role) {
  kind_ = kind;
  role_ = role;
  const std::optional<EntryIcons> icons = IconsFor(kind, role);
  if (!icons) return;
  if (ui::COptionUI* option = SelectOption()) {
    option->SetNormalImage(IconFile(icons->stem, "normal"));
    option->SetSelectedImage(IconFile(icons->stem, "selected"));
  }
  SetLabel(QString::fromLatin1(icons->text));
}

void CDeviceOptionUI::BindPage(const QString& containerName, int index) {
  if (ui::COptionUI* option = SelectOption()) {
    option->BindTabLayoutName(containerName);
    option->BindTabIndex(index);
  }
}

void CDeviceOptionUI::SetPowerPanel(const QString& containerName, int index) {
  powerContainer_ = containerName;
  powerIndex_ = index;
}

void CDeviceOptionUI::SetGroup(const QString& name) {
  if (ui::COptionUI* option = SelectOption()) option->SetGroup(name);
}

void CDeviceOptionUI::SetLabel(const QString& text) {
  if (ui::CControlUI* label = FindSubControl(QStringLiteral("device_select_name"))) label->SetText(text);
}

void CDeviceOptionUI::SetDevice(devices::CGesterinUSBDevice* page) {
  device_ = page;
  if (page) page->SetDeviceOption(this);
}

bool CDeviceOptionUI::IsSelected() {
  ui::COptionUI* option = SelectOption();
  return option && option->IsSelected();
}

void CDeviceOptionUI::Select(bool selected) {
  if (ui::COptionUI* option = SelectOption()) option->Selected(selected, false);
}

void CDeviceOptionUI::SetVisible(bool visible) { ui::CHorizontalLayoutUI::SetVisible(visible); }

void CDeviceOptionUI::StartInitialLoad() { ArmTimer(devices::bartimer::kFirstLoad, kInitialLoadDelayMs); }

void CDeviceOptionUI::RequestStatus() {
  if (device_ && device_->PowerPanelStyle() != 0 && device_->CommandChannel().IsOpen())
    ArmTimer(devices::bartimer::kStatusPoll, kPromptStatusMs);
}

void CDeviceOptionUI::DoEvent(ui::TEventUI& event) {
  if (event.Type == ui::UIEVENT_TIMER && event.pSender == this) {
    OnTimer(uint32_t(event.wParam));
    return;
  }
  ui::CHorizontalLayoutUI::DoEvent(event);
}

void CDeviceOptionUI::OnTimer(uint32_t id) {
  namespace bt = devices::bartimer;
  if (!device_) {
    DisarmTimer(id);
    return;
  }
  protocol::CCommandChannel& channel = device_->CommandChannel();
  switch (id) {
    case bt::kLightStep:
      if (!channel.IsOpen()) {
        DisarmTimer(id);
        return;
      }
      device_->LightStep();
      return;
    case bt::kFirstLoad:
      DisarmTimer(id);
      if (!channel.IsOpen()) return;
      device_->LoadFromDevice();
      ArmTimer(bt::kLightStep, channel.ReceiverMode() ? kReceiverLightStepMs : kCableLightStepMs);
      return;
    case bt::kReloadSettings:
      DisarmTimer(id);
      device_->ReloadSettings();
      return;
    case bt::kSpareHook1:
      DisarmTimer(id);
      device_->SpareHook1();
      return;
    case bt::kSpareHook2:
      DisarmTimer(id);
      device_->SpareHook2();
      return;
    case bt::kStatusPoll:
      device_->PollStatus();
      if (device_->PowerPanelStyle() != 0) ArmTimer(id, kStatusPollMs);
      else DisarmTimer(id);
      return;
    default:
      DisarmTimer(id);
      return;
  }
}

bool CMpDevicePowerUI::IsClass(const QString& className) const {
  return className == QLatin1String("MpDevicePower") || ui::CHorizontalLayoutUI::IsClass(className);
}

void CMpDevicePowerUI::SetStyle(int style) {
  if (ui::CControlUI* layout = FindSubControl(QStringLiteral("device_power_Layout"))) layout->SetVisible(style == 1);
}

}  // namespace app
