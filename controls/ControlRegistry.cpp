#include "controls/ControlRegistry.h"

#include "controls/CAudioRecordUI.h"
#include "controls/CChartViewUI.h"
#include "controls/CCircleProgressUI.h"
#include "controls/CComboEditContainerElementUI.h"
#include "controls/CDeviceKeyButtonUI.h"
#include "controls/CDeviceOptionUI.h"
#include "controls/CHandImgButtonUI.h"
#include "controls/CHandImgSelectButtonUI.h"
#include "controls/CMpDevicePowerUI.h"
#include "controls/CSelectPanelUI.h"
#include "controls/CUpdateInfoListItemUI.h"
#include "controls/CWndUI.h"
#include "ui/UIBuilder.h"

namespace controls {

void RegisterControls(ui::CControlFactory& factory) {
  // New controls are owned by the tree the builder adds them to.
  factory.RegistControl(QStringLiteral("DeviceKeyButton"), [] { return new CDeviceKeyButtonUI; });
  factory.RegistControl(QStringLiteral("SelectPanel"), [] { return new CSelectPanelUI; });
  factory.RegistControl(QStringLiteral("DeviceOption"), [] { return new CDeviceOptionUI; });
  factory.RegistControl(QStringLiteral("MpDevicePower"), [] { return new CMpDevicePowerUI; });
  factory.RegistControl(QStringLiteral("HandImgButton"), [] { return new CHandImgButtonUI; });
  factory.RegistControl(QStringLiteral("HandImgSelectButton"), [] { return new CHandImgSelectButtonUI; });
  factory.RegistControl(QStringLiteral("CircleProgress"), [] { return new CCircleProgressUI; });
  factory.RegistControl(QStringLiteral("AudioRecord"), [] { return new CAudioRecordUI; });
  factory.RegistControl(QStringLiteral("ChartView"), [] { return new CChartViewUI; });
  factory.RegistControl(QStringLiteral("Wnd"), [] { return new CWndUI; });
  factory.RegistControl(QStringLiteral("ComboEditContainerElement"), [] { return new CComboEditContainerElementUI; });
  factory.RegistControl(QStringLiteral("UpdateInfoListItem"), [] { return new CUpdateInfoListItemUI; });
}

QString LayoutOfControlClass(const QString& className) {
  static const char* const kLayouts[][2] = {
      {"DeviceProfileUI", "XML\\CustomControlXML\\DeviceProfile.xml"},
      {"LightSetControlUI", "XML\\CustomControlXML\\LightControl.xml"},
      {"Voice6533SetControlUI", "XML\\CustomControlXML\\Voice6533Control.xml"},
      {"MagicSetControlUI", "XML\\CustomControlXML\\MagicControl.xml"},
      {"KeySetControlUI", "XML\\CustomControlXML\\KeySetControl.xml"},
      {"MacroSetControlUI", "XML\\CustomControlXML\\MacroControl.xml"},
      {"ShootKeySetControlUI", "XML\\CustomControlXML\\ShootControl.xml"},
      {"VirtualSetControlUI", "XML\\CustomControlXML\\VirtualSet.xml"},
  };
  for (const auto& row : kLayouts)
    if (className.compare(QLatin1String(row[0]), Qt::CaseInsensitive) == 0) return QString::fromLatin1(row[1]);
  return {};
}

}  // namespace controls
