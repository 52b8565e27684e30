#pragma once
// Shared fixture of the UI tests: the test skin (tests/ui/skin), a window
// built from a layout that records every notification and message, and
// input helpers that deliver mouse and key events to controls.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <gtest/gtest.h>

#include "tests/support/EventLoop.h"

#include "platform/Trace.h"
#include "ui/UILib.h"

namespace uitest {

inline QString SkinFolder() { return QStringLiteral(VX27_UI_TEST_SKIN); }

// Points the layer at the test skin with the English texts.
inline void UseTestSkin() {
  ui::CPaintManagerUI::SetResourcePath(SkinFolder());
  ui::CResourceManager::GetInstance().ResetResourceMap();
  ASSERT_TRUE(ui::CResourceManager::GetInstance().LoadResource(QStringLiteral("res.xml")));
  ASSERT_TRUE(ui::CResourceManager::GetInstance().LoadLanguage(QStringLiteral("lan_en.xml")));
}

// Runs the event loop until `done` or `ms` pass; true when done.
inline bool WaitFor(const std::function<bool()>& done, int ms = 2000) {
  return testsupport::WaitFor(done, ms);
}

inline void Pump() { QApplication::processEvents(); }

struct Note {
  std::string type;
  std::string sender;
  uint64_t wParam = 0;
  int64_t lParam = 0;
};

class TestWindow : public ui::WindowImplBase {
 public:
  explicit TestWindow(QString layout) : layout_(std::move(layout)) {}
  QString GetWindowClassName() const override { return QStringLiteral("TestWnd"); }
  QString GetSkinFile() override { return layout_; }
  void InitWindow() override { initWindowCalls++; }
  void Notify(ui::TNotifyUI& msg) override {
    notes.push_back({msg.sType.toStdString(), msg.pSender ? msg.pSender->GetName().toStdString() : std::string(),
                     msg.wParam, msg.lParam});
    ui::WindowImplBase::Notify(msg);
  }
  int64_t HandleCustomMessage(const platform::Message& msg, bool& handled) override {
    messages.push_back(msg);
    if (hook) return hook(msg, handled);
    handled = false;
    return 0;
  }
  void OnFinalMessage() override { finalMessages++; }

  // Notifications other than the window's own ("windowinit", "windowsize").
  std::vector<Note> ControlNotes() const {
    std::vector<Note> out;
    for (const Note& n : notes)
      if (n.type != "windowinit" && n.type != "windowsize") out.push_back(n);
    return out;
  }
  std::vector<std::pair<std::string, std::string>> Pairs() const {
    std::vector<std::pair<std::string, std::string>> out;
    for (const Note& n : ControlNotes()) out.emplace_back(n.type, n.sender);
    return out;
  }
  template <typename T = ui::CControlUI>
  T* Find(const char* name) {
    return qobject_cast<T*>(FindControl(QString::fromUtf8(name)));
  }

  std::vector<Note> notes;
  std::vector<platform::Message> messages;
  std::function<int64_t(const platform::Message&, bool&)> hook;
  int initWindowCalls = 0;
  int finalMessages = 0;

 private:
  QString layout_;
};

// Creates and shows a window and lets "windowinit" arrive.
inline std::unique_ptr<TestWindow> OpenWindow(const QString& layout) {
  auto w = std::make_unique<TestWindow>(layout);
  if (!w->Create(nullptr, QStringLiteral("test"))) return nullptr;
  w->ShowWindow(true, true);
  w->PaintManager().UpdateLayout();
  WaitFor([&] { return !w->notes.empty(); }, 1000);
  return w;
}

inline void Mouse(QWidget* w, QEvent::Type type, QPoint local, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers mods = Qt::NoModifier) {
  const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
  QMouseEvent e(type, QPointF(local), QPointF(w->mapToGlobal(local)),
                type == QEvent::MouseMove ? Qt::NoButton : button, buttons, mods);
  QApplication::sendEvent(w, &e);
}

inline void Click(QWidget* w, QPoint local, Qt::MouseButton button = Qt::LeftButton) {
  Mouse(w, QEvent::MouseButtonPress, local, button);
  Mouse(w, QEvent::MouseButtonRelease, local, button);
}

inline void Click(QWidget* w, Qt::MouseButton button = Qt::LeftButton) { Click(w, w->rect().center(), button); }

inline void DoubleClick(QWidget* w) {
  const QPoint p = w->rect().center();
  Click(w, p);
  Mouse(w, QEvent::MouseButtonDblClick, p);
  Mouse(w, QEvent::MouseButtonRelease, p);
}

inline void Key(QWidget* w, int key, const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(w, &release);
}

inline void Type(QWidget* w, const QString& text) {
  for (QChar c : text) Key(w, c.isDigit() ? Qt::Key_0 + c.digitValue() : Qt::Key_A + (c.toUpper().unicode() - 'A'), c);
}

// Collects trace lines while alive.
class TraceLines {
 public:
  TraceLines() : sink_([this](std::string_view line) { lines.emplace_back(line); }) {}
  bool Contains(const std::string& fragment) const {
    for (const auto& l : lines)
      if (l.find(fragment) != std::string::npos) return true;
    return false;
  }
  std::vector<std::string> lines;

 private:
  platform::ScopedTraceSink sink_;
};

}  // namespace uitest
