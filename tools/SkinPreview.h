#pragma once
// Building the skin's layouts outside the program (vx27_render, the layout
// checks): a builder callback that makes what the main window's callback
// makes as far as the libraries below the program allow. The custom
// controls come from controls/ (registered with the factory), the panel
// classes ("LightSetControlUI", ...) build their layout in place, and the
// device page and panel classes that live above controls/ stand in as plain
// rows that keep their children (device pages as page roots, as the
// program's are).

#include <QString>
#include <QStringList>

#include "ui/UILib.h"

namespace tools {

// Registers the custom controls with the factory (once per process).
void RegisterPreviewControls();

class SkinPreviewCallback : public ui::IDialogBuilderCallback {
 public:
  explicit SkinPreviewCallback(ui::CPaintManagerUI* manager) : manager_(manager) {}
  ui::CControlUI* CreateControl(const QString& className) override;

  QStringList standIns;     // classes drawn as plain rows
  QStringList failedPanels; // panel layouts that did not build

 private:
  ui::CPaintManagerUI* manager_;
};

}  // namespace tools
