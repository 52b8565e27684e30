#pragma once
// Screenshots for people to look at: renders a widget (a window or any
// control) to a PNG in the screens folder: $VX27_SCREENS_DIR, else the
// "screens" folder beside the install folder (build/screens for a build).

#include <QString>

class QWidget;

namespace ui {

QString ScreensFolder();
// Writes <folder>/<name>.png and returns its path; empty on failure (traced).
QString SaveScreenshot(QWidget* widget, const QString& name);

}  // namespace ui
