#include "controls/ControlRegistry.h"

#include "controls/CDeviceKeyButtonUI.h"
#include "controls/CDeviceOptionUI.h"
#include "controls/CMpDevicePowerUI.h"
#include "controls/CSelectPanelUI.h"
#include "ui/UIBuilder.h"

namespace controls {

void RegisterControls(ui::CControlFactory& factory) {
  // New controls are owned by the tree the builder adds them to.
  factory.RegistControl(QStringLiteral("DeviceKeyButton"), [] { return new CDeviceKeyButtonUI; });
  factory.RegistControl(QStringLiteral("SelectPanel"), [] { return new CSelectPanelUI; });
  factory.RegistControl(QStringLiteral("DeviceOption"), [] { return new CDeviceOptionUI; });
  factory.RegistControl(QStringLiteral("MpDevicePower"), [] { return new CMpDevicePowerUI; });
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
