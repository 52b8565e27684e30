#pragma once
// The main window: the program's one top-level window (layout "XML_MAIN").
// So far it carries the title buttons, the tray icon with its menu, the
// identity message of a second start (restore and raise), the language, the
// skin frame and the about window; device pages join it later.

#include <memory>

#include "app/AboutWnd.h"
#include "app/Environment.h"
#include "app/Language.h"
#include "app/SkinFrame.h"
#include "app/SkinObserver.h"
#include "platform/Settings.h"
#include "platform/WindowBus.h"
#include "ui/UILib.h"

namespace app {

inline constexpr int kMainWndWidth = 800;
inline constexpr int kMainWndHeight = 572;
inline constexpr int kTrayIconId = 107;
inline constexpr uint32_t kTrayMenuTimer = 1032;

class CMainWnd : public ui::WindowImplBase, public SkinReceiver {
 public:
  CMainWnd(platform::SettingsStore& store, const ProgramMessages& messages);
  ~CMainWnd() override;

  QString GetWindowClassName() const override { return QStringLiteral("MainWnd"); }
  QString GetSkinFile() override { return QStringLiteral("XML_MAIN"); }
  void InitWindow() override;
  void Notify(ui::TNotifyUI& msg) override;
  int64_t HandleCustomMessage(const platform::Message& msg, bool& handled) override;
  int64_t OnDestroy(const platform::Message& msg, bool& handled) override;
  int Receive(const SkinChangedParam& param) override;

  // Creates the window (title "VX27 MOUSE", 800 x 572) and centres it.
  bool CreateMain();
  void ApplyLanguage(int index);
  int CurrentLanguage() const { return language_.Current(); }
  // Restores the window and brings it to the front.
  void UpdateOverlayAndRaise();
  // The tray menu's "exit": closes the auxiliary windows, then this window,
  // which ends the message loop.
  void Exit();
  void CloseAuxWindows();

  CAboutWnd* AboutWindow() const { return about_.get(); }
  CSkinFrame* SkinFrame() const { return skinFrame_.get(); }
  void OpenAbout();
  void OpenSkinFrame();

 private:
  void OnBusMessage(const platform::BusMessage& message);
  void OnTrayClick(int64_t mouseMessage);
  void OpenTrayMenu();
  void OnMenuCommand(uint64_t token);

  platform::SettingsStore& store_;
  ProgramMessages messages_;
  LanguageSwitcher language_;
  ui::CTrayIcon tray_;
  std::unique_ptr<ui::CMenuWnd> menu_;
  std::unique_ptr<CAboutWnd> about_;
  std::unique_ptr<CSkinFrame> skinFrame_;
  std::unique_ptr<platform::BusWindow> bus_;
  bool registered_ = false;
};

}  // namespace app
