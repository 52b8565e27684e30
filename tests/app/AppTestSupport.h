#pragma once
// Shared fixture of the app tests: the program's own skin from the install
// folder, a private user data folder, and helpers to reach the modal
// windows and click their controls.

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include "tests/support/EventLoop.h"

#include "app/Environment.h"
#include "app/Language.h"
#include "emulator/Emulator.h"
#include "ui/UILib.h"

namespace apptest {

// The build's install folder, as the test was started with (tests may point
// VX27_INSTALL_DIR elsewhere later).
inline std::string InstallDir() {
  static const std::string dir = std::getenv("VX27_INSTALL_DIR");
  return dir;
}
inline QString SkinDir() { return QString::fromStdString(InstallDir() + "/skin/"); }

// A device backend with nothing attached.
inline std::shared_ptr<hid::HidBackend> NoDevices() { return std::make_shared<emulator::Emulator>(); }

// The main window's exit asks the program's loop to end; in a test, where
// no such loop runs, that request would end every later modal loop at once.
// This runs the loop briefly so the request is taken.
inline void TakeQuitRequest() {
  QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
  QApplication::exec();
}

// Runs the event loop until `done` or `ms` pass; true when done.
inline bool WaitFor(const std::function<bool()>& done, int ms = 3000) {
  return testsupport::WaitFor(done, ms);
}

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* v = std::getenv(name)) old_ = v;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) setenv(name_.c_str(), old_->c_str(), 1);
    else unsetenv(name_.c_str());
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// The program's skin in `lang` ("en", "cn", "th", ...), the shared font table
// the font rule gives the language, and a private user data folder.
class SkinTest : public ::testing::Test {
 protected:
  SkinTest() { (void)InstallDir(); }
  void SetUp() override {
    ui::CPaintManagerUI::SetInstancePath(QString::fromStdString(InstallDir()));
    ui::CPaintManagerUI::SetResourcePath(SkinDir());
    ui::CResourceManager::GetInstance().ResetResourceMap();
    ASSERT_TRUE(ui::CResourceManager::GetInstance().LoadResource(QStringLiteral("res.xml")));
    UseLanguage("en");
  }
  void UseLanguage(const char* lang) {
    ASSERT_TRUE(ui::CResourceManager::GetInstance().LoadLanguage(QStringLiteral("lan_%1.xml").arg(lang)));
    const std::string face = app::LanguageFontFace(LanguageIndex(lang));
    app::LanguageSwitcher::RebuildFonts(fontHolder_, QString::fromStdString(face));
  }
  // The position of `lang` ("en", "th", ...) in the installed "Language.config"; -1 when absent.
  static int LanguageIndex(const char* lang) {
    const std::vector<app::LanguageEntry> list = app::ReadLanguageList();
    for (size_t i = 0; i < list.size(); ++i)
      if (list[i].name == lang) return int(i);
    return -1;
  }

  QTemporaryDir data_;
  ScopedEnv xdgData_{"XDG_DATA_HOME", data_.path().toStdString()};
  ui::CPaintManagerUI fontHolder_;
};

// The first visible top-level window of a window class.
inline QWidget* TopLevel(const char* className) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == QLatin1String(className) && w->isVisible()) return w;
  return nullptr;
}

template <typename T = ui::CControlUI>
T* Control(QWidget* window, const char* name) {
  return window ? window->findChild<T*>(QString::fromUtf8(name)) : nullptr;
}

inline void Click(QWidget* w) {
  const QPointF p = QRectF(w->rect()).center();
  QMouseEvent press(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(w, &release);
}

// Runs `step` once a visible window of `className` exists (bounded), from
// inside whatever modal loop is running.
inline void WhenWindowShows(const char* className, std::function<void(QWidget*)> step) {
  auto tries = std::make_shared<int>(0);
  auto poll = std::make_shared<std::function<void()>>();
  // Only the pending timer holds the poll, so it goes when the polling ends.
  std::weak_ptr<std::function<void()>> self = poll;
  *poll = [className, step, tries, self] {
    if (QWidget* w = TopLevel(className)) return step(w);
    if (++*tries > 300) {
      ADD_FAILURE() << className << " never showed";
      return;
    }
    if (auto next = self.lock()) QTimer::singleShot(10, [next] { (*next)(); });
  };
  QTimer::singleShot(0, [poll] { (*poll)(); });
}

}  // namespace apptest
