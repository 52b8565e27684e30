#pragma once
// The fixture of the tests that run the main window over emulated devices:
// trace lines collected from any thread, the process's thread count, and a
// window created and initialised over a backend.

#include <algorithm>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/ControlRegistry.h"
#include "app/MainWnd.h"
#include "emulator/EmulateList.h"
#include "emulator/firmware/Firmware.h"
#include "platform/Trace.h"
#include "tests/app/AppTestSupport.h"

namespace apptest {

// Trace lines, collected from any thread.
class TraceLines {
 public:
  TraceLines()
      : sink_([this](std::string_view l) {
          std::lock_guard guard(lock_);
          lines_.emplace_back(l);
        }) {}
  std::vector<std::string> Lines() {
    std::lock_guard guard(lock_);
    return lines_;
  }
  int Count(const std::string& text) {
    const auto all = Lines();
    return int(std::count(all.begin(), all.end(), text));
  }

 private:
  std::mutex lock_;
  std::vector<std::string> lines_;
  platform::ScopedTraceSink sink_;
};

inline size_t ThreadCount() {
  return size_t(std::distance(std::filesystem::directory_iterator("/proc/self/task"), std::filesystem::directory_iterator()));
}

// The main window over emulated devices, with the program's skin, private
// runtime and data folders and a private settings store.
class MainWndFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string install = apptest::InstallDir();
    ui::CPaintManagerUI::SetInstancePath(QString::fromStdString(install + "/"));
    ui::CPaintManagerUI::SetResourcePath(QString::fromStdString(install + "/skin/"));
    ui::CResourceManager::GetInstance().ResetResourceMap();
    ASSERT_TRUE(ui::CResourceManager::GetInstance().LoadResource(QStringLiteral("res.xml")));
    ASSERT_TRUE(ui::CResourceManager::GetInstance().LoadLanguage(QStringLiteral("lan_en.xml")));
    app::RegisterCustomControls();
  }
  void TearDown() override { ui::CPaintManagerUI::SetAllDPI(96); }

  // A window over `backend`, created and initialised.
  std::unique_ptr<app::CMainWnd> Open(std::shared_ptr<hid::HidBackend> backend) {
    auto main = std::make_unique<app::CMainWnd>(store_, app::RegisterProgramMessages(), std::move(backend));
    EXPECT_TRUE(main->CreateMain());
    EXPECT_TRUE(apptest::WaitFor([&] { return main->SlotFillCount() == 1; }));
    return main;
  }
  // An emulator with the listed devices, their firmware attached.
  std::shared_ptr<emulator::Emulator> Emulate(const char* list) {
    auto emu = std::make_shared<emulator::Emulator>();
    std::string error;
    auto units = emulator::firmware::AddEmulatedUnits(*emu, list, &error);
    EXPECT_TRUE(units) << error;
    if (units) units_.insert(units_.end(), units->begin(), units->end());
    return emu;
  }
  // The emulated unit named `name` (e.g. "mouse:receiver"); fails the test
  // when there is none.
  const emulator::firmware::EmulatedUnit& Unit(const std::string& name) const {
    for (const auto& unit : units_)
      if (unit.device->Name() == name) return unit;
    ADD_FAILURE() << "no emulated " << name;
    return units_.front();
  }
  // The bar entry of the first device of a kind, or null.
  static app::CDeviceOptionUI* EntryFor(app::CMainWnd& main, app::PageKind kind) {
    const auto& pages = main.Devices(kind);
    return pages.empty() ? nullptr : main.EntryOf(pages.front());
  }
  static bool EntryShown(app::CMainWnd& main, app::PageKind kind) {
    app::CDeviceOptionUI* entry = EntryFor(main, kind);
    return entry && entry->IsVisible();
  }
  static bool Overlay(app::CMainWnd& main) {
    return main.FindControl(QStringLiteral("No_device_Link"))->IsVisible();
  }

  std::vector<emulator::firmware::EmulatedUnit> units_;
  QTemporaryDir runtime_;
  apptest::ScopedEnv runtimeEnv_{"XDG_RUNTIME_DIR", runtime_.path().toStdString()};
  QTemporaryDir data_;
  apptest::ScopedEnv dataEnv_{"XDG_DATA_HOME", data_.path().toStdString()};
  QTemporaryDir root_;
  platform::SettingsStore store_{(root_.path() + "/registry.ini").toStdString()};
};

}  // namespace apptest
