#pragma once
// What every main-window benchmark sets up first: private runtime, data and
// settings folders, the install folder of the build, the skin and the custom
// controls, and a private settings store.

#include <cstdlib>

#include <QTemporaryDir>

#include "app/ControlRegistry.h"
#include "platform/Settings.h"
#include "ui/UILib.h"

namespace benchapp {

class ProgramSetup {
 public:
  ProgramSetup() {
    setenv("VX27_INSTALL_DIR", VX27_BENCH_BIN_DIR, 1);
    setenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit().constData(), 1);
    setenv("XDG_DATA_HOME", data_.path().toLocal8Bit().constData(), 1);
    ui::CPaintManagerUI::SetInstancePath(QStringLiteral(VX27_BENCH_BIN_DIR "/"));
    ui::CPaintManagerUI::SetResourcePath(QStringLiteral(VX27_BENCH_BIN_DIR "/skin/"));
    ui::CResourceManager::GetInstance().LoadResource(QStringLiteral("res.xml"));
    app::RegisterCustomControls();
  }
  platform::SettingsStore& Store() { return store_; }

 private:
  QTemporaryDir runtime_, data_, root_;
  platform::SettingsStore store_{(root_.path() + "/registry.ini").toStdString()};
};

}  // namespace benchapp
