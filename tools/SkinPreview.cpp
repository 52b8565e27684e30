#include "tools/SkinPreview.h"

#include "controls/ControlRegistry.h"
#include "macros/editor/CMacroControlUI.h"

namespace tools {

namespace {
// Classes of the program above controls/: device objects (pages) and panel
// controls whose layouts name them as their root.
constexpr const char* kDevicePages[] = {"GesterinMouseDevice", "GesterinKeyboardDevice", "GesterinMousePadDevice",
                                        "GesterinRU6533Device"};
constexpr const char* kPanels[] = {"DeviceProfile", "LightControl", "MagicControl", "Voice6533Control",
                                   "KeySetControl", "ShootControl", "CMacroControlUI", "DeviceOption",
                                   "MpDevicePower"};

bool Is(const QString& a, const char* b) { return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0; }
}  // namespace

void RegisterPreviewControls() {
  static const bool once = [] {
    controls::RegisterControls(ui::CControlFactory::GetInstance());
    return true;
  }();
  (void)once;
}

ui::CControlUI* SkinPreviewCallback::CreateControl(const QString& className) {
  if (Is(className, "RedioMacroButton")) return new macros::editor::CRedioMacroButtonUI;
  const QString layout = controls::LayoutOfControlClass(className);
  if (!layout.isEmpty()) {
    ui::CDialogBuilder builder;
    ui::CControlUI* built = builder.Create(layout, {}, this, manager_);
    if (!built) failedPanels << layout;
    return built;
  }
  for (const char* page : kDevicePages) {
    if (!Is(className, page)) continue;
    standIns << className;
    auto* row = new ui::CHorizontalLayoutUI;  // owned by the tree it joins
    row->SetPageRoot(true);
    return row;
  }
  for (const char* panel : kPanels) {
    if (!Is(className, panel)) continue;
    standIns << className;
    return new ui::CHorizontalLayoutUI;  // owned by the tree it joins
  }
  return nullptr;  // the factory (the registered controls) is asked next
}

}  // namespace tools
