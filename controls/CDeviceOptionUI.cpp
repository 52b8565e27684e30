#include "controls/CDeviceOptionUI.h"

namespace controls {
namespace {

EntryIconSet IconSet(const char* stem) {
  const auto file = [stem](const char* state) {
    return QStringLiteral("common/device_ico/%1_device_%2.png").arg(QLatin1String(stem), QLatin1String(state));
  };
  return {file("normal"), file("selected"), file("synchro_selected"), file("synchro_normal"),
          QStringLiteral("%1_device_name_text").arg(QLatin1String(stem))};
}

}  // namespace

EntryIcons IconsForKind(int kind, int role) {
  switch (kind) {
    case 1:
      return {true, IconSet("kb")};
    case 2:
      return {true, IconSet("ms")};
    case 3:
      if (role == 0) return {true, IconSet("hard_mp")};
      if (role == 1) return {true, IconSet("soft_mp")};
      return {};
    case 4:
    case 7:
      return {true, IconSet("hd")};
    case 5:
      return {true, IconSet("hub")};
    default:
      return {true, IconSet("unknow")};
  }
}

CDeviceOptionUI::CDeviceOptionUI() : icons_(IconSet("unknow")) {}

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
  const EntryIcons icons = IconsForKind(kind, role);
  if (!icons.known) return;
  icons_ = icons.set;
  ApplyImages();
  SetLabel(icons_.text);
}

void CDeviceOptionUI::ApplyImages() {
  ui::COptionUI* option = SelectOption();
  if (!option) return;
  const bool synchro = IsSynchroSelected();
  option->SetNormalImage(synchro ? icons_.synchroNormal : icons_.normal);
  option->SetSelectedImage(synchro ? icons_.synchroSelected : icons_.selected);
  option->Invalidate();
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

void CDeviceOptionUI::SetSynchroShown(bool shown) {
  if (ui::COptionUI* synchro = SynchroOption()) synchro->SetVisible(shown);
}

void CDeviceOptionUI::SetSynchroSelected(bool selected) {
  if (ui::COptionUI* synchro = SynchroOption()) synchro->Selected(selected, false);
  ApplyImages();
}

bool CDeviceOptionUI::IsSynchroSelected() {
  ui::COptionUI* synchro = SynchroOption();
  return synchro && synchro->IsSelected();
}

void CDeviceOptionUI::SynchroChanged() { ApplyImages(); }

bool CDeviceOptionUI::IsSelected() {
  ui::COptionUI* option = SelectOption();
  return option && option->IsSelected();
}

void CDeviceOptionUI::Select(bool selected) {
  if (ui::COptionUI* option = SelectOption()) option->Selected(selected, false);
}

void CDeviceOptionUI::DoEvent(ui::TEventUI& event) {
  if (event.Type == ui::UIEVENT_TIMER && event.pSender == this) {
    const auto id = uint32_t(event.wParam);
    if (timerHandler_) timerHandler_(*this, id);
    else DisarmTimer(id);
    return;
  }
  ui::CHorizontalLayoutUI::DoEvent(event);
}

}  // namespace controls
