#include "app/ControlRegistry.h"

#include <cstring>

#include "app/DeviceBar.h"

#include "controls/Controls.h"
#include "controls/ControlRegistry.h"
#include "controls/CSelectPanelUI.h"
#include "devices/DeviceProfileUI.h"
#include "headset/HeadsetPanels.h"
#include "macros/editor/CMacroControlUI.h"
#include "recoil/editor/CShootControlUI.h"

namespace app {
namespace {

ui::CControlFactory::Creator RealCreator(const char* className) {
  if (std::strcmp(className, "CSelectPanelUI") == 0) return [] { return new CSelectPanelUI; };
  if (std::strcmp(className, "CDeviceKeyButtonUI") == 0) return [] { return new CDeviceKeyButtonUI; };
  if (std::strcmp(className, "CDeviceOptionUI") == 0) return [] { return new CDeviceOptionUI; };
  if (std::strcmp(className, "CMpDevicePowerUI") == 0) return [] { return new CMpDevicePowerUI; };
  if (std::strcmp(className, "CDeviceProfileUI") == 0) return [] { return new devices::CDeviceProfileUI; };
  if (std::strcmp(className, "CMagicControlUI") == 0) return [] { return new CMagicControlUI; };
  if (std::strcmp(className, "CVoice6533ControlUI") == 0) return [] { return new CVoice6533ControlUI; };
  if (std::strcmp(className, "CRedioMacroButtonUI") == 0)
    return [] { return new macros::editor::CRedioMacroButtonUI; };
  if (std::strcmp(className, "CMacroControlUI") == 0) return [] { return new macros::editor::CMacroControlUI; };
  if (std::strcmp(className, "CShootControlUI") == 0) return [] { return new recoil::editor::CShootControlUI; };
  if (std::strcmp(className, "CCircleProgressUI") == 0) return [] { return new CCircleProgressUI; };
  if (std::strcmp(className, "CChartViewUI") == 0) return [] { return new CChartViewUI; };
  if (std::strcmp(className, "CWndUI") == 0) return [] { return new CWndUI; };
  if (std::strcmp(className, "CUpdateInfoListItemUI") == 0) return [] { return new CUpdateInfoListItemUI; };
  if (std::strcmp(className, "CComboEditContainerElementUI") == 0)
    return [] { return new CComboEditContainerElementUI; };
  if (std::strcmp(className, "CHandImgButtonUI") == 0) return [] { return new CHandImgButtonUI; };
  if (std::strcmp(className, "CHandImgSelectButtonUI") == 0) return [] { return new CHandImgSelectButtonUI; };
  if (std::strcmp(className, "CAudioRecordUI") == 0) return [] { return new CAudioRecordUI; };
  return {};
}

}  // namespace

void RegisterCustomControls() {
  ui::CControlFactory& factory = ui::CControlFactory::GetInstance();
  for (const char* className : kCustomControlClasses) {
    ui::CControlFactory::Creator creator = RealCreator(className);
    if (!creator) {
      const QString name = QString::fromLatin1(className);
      // The new control is owned by the tree the builder adds it to.
      creator = [name]() -> ui::CControlUI* { return new CPlaceholderControlUI(name); };
    }
    factory.RegistControl(QString::fromLatin1(className), std::move(creator));
  }
  // Layouts name the library's controls by their short classes.
  controls::RegisterControls(factory);
}

bool IsRealControlClass(const char* className) { return bool(RealCreator(className)); }

}  // namespace app
