#pragma once
// The program's custom controls, registered with the control factory by
// class name in a fixed order. Classes that are not built yet register a
// placeholder container that remembers the class it stands for, so layouts
// naming them still build.

#include <array>

#include "ui/UILib.h"

namespace app {

inline constexpr std::array<const char*, 24> kCustomControlClasses{
    "CCircleProgressUI",     "CChartViewUI",        "CWndUI",
    "CSelectPanelUI",        "CDeviceKeyButtonUI",  "CCloudShareListItemUI",
    "CUpdateInfoListItemUI", "CDeviceOptionUI",     "CMpDevicePowerUI",
    "CComboEditContainerElementUI", "CHandImgButtonUI", "CHandImgSelectButtonUI",
    "CRedioMacroButtonUI",   "CAudioRecordUI",      "CLightControlUI",
    "CMacroControlUI",       "CKeySetControlUI",    "CDeviceProfileUI",
    "CShootControlUI",       "CMagicControlUI",     "CVoice6533ControlUI",
    "CGesterinUSBDevice",    "CGesterinMousePadDevice", "CGesterinRU6533Device",
};

// Stands in for a custom control class that a later part of the program
// provides.
class CPlaceholderControlUI : public ui::CContainerUI {
  Q_OBJECT
 public:
  explicit CPlaceholderControlUI(QString standsFor) : standsFor_(std::move(standsFor)) {}
  QString GetClass() const override { return QStringLiteral("PlaceholderControl"); }
  const QString& StandsFor() const { return standsFor_; }

 private:
  QString standsFor_;
};

// Registers every class of kCustomControlClasses, in order.
void RegisterCustomControls();
// True when `className` is registered with its real class, false when only
// a placeholder stands for it.
bool IsRealControlClass(const char* className);

}  // namespace app
