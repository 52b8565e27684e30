#pragma once
// The entry points through which a program (or a tool that draws layouts)
// makes the custom controls of this library known to the UI layer:
// RegisterControls registers every control class this library provides
// under the class names layouts use; LayoutOfControlClass names the panel
// layout that a layout-built class ("LightSetControlUI", ...) stands for,
// which the window's builder callback builds in its place.

#include <QString>

namespace ui {
class CControlFactory;
}

namespace controls {

void RegisterControls(ui::CControlFactory& factory);

// The skin layout a layout-built control class stands for
// ("XML\\CustomControlXML\\LightControl.xml" for "LightSetControlUI"), or an
// empty string. Class names are compared without regard to case.
QString LayoutOfControlClass(const QString& className);

}  // namespace controls
