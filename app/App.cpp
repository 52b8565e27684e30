#include "app/App.h"

#include <cstdlib>
#include <cstdio>
#include <string>

#include <QApplication>
#include <QIcon>

#include "app/ControlRegistry.h"
#include "app/Environment.h"
#include "app/MainWnd.h"
#include "app/TerminationSignals.h"
#include "app/UiScript.h"
#include "emulator/firmware/ProgramEmulation.h"
#include "platform/Paths.h"
#include "platform/Settings.h"
#include "platform/SingleInstance.h"
#include "platform/Trace.h"
#include "platform/WindowBus.h"
#include "ui/UILib.h"

namespace app {
namespace {

// The resource index and the language texts are process-wide; they are let
// go after the main window, as the last users of them.
struct ResourceSetup {
  ResourceSetup() {
    ui::CPaintManagerUI::SetInstancePath(QString::fromStdString(GetInstallFolder().string()));
    ui::CPaintManagerUI::SetResourceType(1);
    ui::CPaintManagerUI::SetResourcePath(QString::fromStdString(GetSkinFolder().string()));
    if (!ui::CResourceManager::GetInstance().LoadResource(QStringLiteral("res.xml")))
      Trace("res.xml not loaded");
  }
  ~ResourceSetup() {
    ui::CResourceManager::GetInstance().ResetLanguage();
    ui::CResourceManager::GetInstance().ResetResourceMap();
  }
  ResourceSetup(const ResourceSetup&) = delete;
  ResourceSetup& operator=(const ResourceSetup&) = delete;
};

}  // namespace

int RunProgram(int argc, char** argv) {
  QApplication application(argc, argv);  // the command line is ignored
  QApplication::setApplicationName(QString::fromLatin1(kProductIdentity));
  QApplication::setQuitOnLastWindowClosed(false);  // the tray keeps the program

  // From here on SIGTERM and SIGINT wait in a socket until the loop runs;
  // then they end the program through the main window's exit.
  CMainWnd* running = nullptr;
  TerminationSignals termination([&running] {
    if (running) running->Exit();
  });

  PrivateFonts fonts(GetFontFolder());

  const platform::MessageId identity = RegisterIdentityMessage();
  Trace(QStringLiteral("软件标示：%1").arg(identity).toStdString());
  if (identity < platform::kFirstRegisteredMessage || identity > platform::kLastRegisteredMessage) return 0;

  // Without a private runtime folder neither the instance lock nor the window
  // bus can be trusted.
  if (std::string problem; platform::RuntimeFolder(&problem).empty()) {
    std::fprintf(stderr, "vx27mouse: %s\n", problem.c_str());
    return 1;
  }
  platform::InstanceLock instance;
  if (!instance.TryAcquire(kProductIdentity) && platform::InstanceLock::IsHeld(kProductIdentity)) {
    // Another instance runs: it restores and raises its window.
    platform::BusWindow::Broadcast(platform::BusMessage::Registered(kProductIdentity, 0, 1));
    return 0;
  }
  // When the lock cannot be taken for another reason this start still runs.

  ResourceSetup resources;
  QApplication::setWindowIcon(QIcon(QString::fromStdString((GetSkinFolder() / "common/logo.png").string())));
  RegisterCustomControls();
  const ProgramMessages messages = RegisterProgramMessages();

  platform::SettingsStore store;
  platform::EnsureInstallKeys(store, VX27_VERSION_TEXT);
  (void)GetUserDataFolder();  // created on the first start

  // The devices: real ones, joined by emulated ones when VX27_EMULATE names
  // some (their memory kept in VX27_EMULATOR_STATE, their requests logged to
  // VX27_EMULATOR_LOG). It outlives the window, whose devices use it.
  emulator::firmware::ProgramEmulation emulation;
  // Other processes (vx27ctl, the updater) reach the emulated devices with
  // "--emulate attach".
  emulation.Serve();
  int exitCode = 0;
  {
    CMainWnd mainWnd(store, messages, emulation.Backend());
    std::unique_ptr<UiScript> script;
    if (const char* path = std::getenv(kUiScriptEnv); path && *path) {
      script = UiScript::Load(path, mainWnd, &emulation);
      if (!script) {
        Trace(std::string("script ") + path + " -> not readable");
        return kScriptFailedExitCode;
      }
      mainWnd.SetFirstShownHook([&script] { script->Start(); });
    }
    if (!mainWnd.CreateMain()) return 0;  // shown once set up
    running = &mainWnd;
    ui::CPaintManagerUI::MessageLoop();
    running = nullptr;
    if (script && script->Failed()) exitCode = kScriptFailedExitCode;
  }
  return exitCode;
}

}  // namespace app
