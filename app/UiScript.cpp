#include "app/UiScript.h"

#include <fstream>
#include <sstream>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMouseEvent>

#include "app/MainWnd.h"
#include "emulator/firmware/Power.h"
#include "emulator/firmware/ProgramEmulation.h"
#include "platform/Trace.h"
#include "ui/UILib.h"

namespace app {
namespace {

constexpr int kTracePollMs = 10;
constexpr int kAnswerPollMs = 10;
constexpr int kDefaultAnswerSeconds = 10;
// How long a modal window no answer was armed for stays open.
constexpr int kUnansweredSeconds = 5;
constexpr std::string_view kReportPrefix = "script ";

std::pair<std::string, std::string> SplitFirst(const std::string& text) {
  const size_t space = text.find(' ');
  if (space == std::string::npos) return {text, {}};
  size_t rest = text.find_first_not_of(' ', space);
  return {text.substr(0, space), rest == std::string::npos ? std::string() : text.substr(rest)};
}

std::pair<std::string, std::string> SplitLast(const std::string& text) {
  const size_t space = text.rfind(' ');
  if (space == std::string::npos) return {text, {}};
  return {text.substr(0, text.find_last_not_of(' ', space) + 1), text.substr(space + 1)};
}

std::optional<int> ToInt(const std::string& text) {
  try {
    size_t used = 0;
    const int v = std::stoi(text, &used);
    if (used != text.size()) return std::nullopt;
    return v;
  } catch (...) {
    return std::nullopt;
  }
}

// The name a step failure gives a widget: that of the nearest named control
// it belongs to, else its class.
std::string NameOf(QWidget* w) {
  for (QWidget* at = w; at; at = at->parentWidget())
    if (auto* c = qobject_cast<ui::CControlUI*>(at); c && !c->GetName().isEmpty()) return c->GetName().toStdString();
  return w ? w->metaObject()->className() : "nothing";
}

// What a click at `local` in `w` (its centre by default) reaches: the widget
// the window shows there and the point in it, if that widget is `w` or
// inside it; else no target and why.
struct Hit {
  QWidget* target = nullptr;
  QPoint at;
  std::string why;
};
Hit HitAt(QWidget* w, std::optional<QPoint> local = std::nullopt) {
  QWidget* window = w->window();
  const QPoint inWindow = w->mapTo(window, local.value_or(w->rect().center()));
  QWidget* target = window->childAt(inWindow);
  if (!target && w == window) target = window;
  if (target && (target == w || w->isAncestorOf(target))) return {target, target->mapFrom(window, inWindow), {}};
  return {nullptr, {}, "covered by " + NameOf(target ? target : window)};
}

// The events of a left click (and of a double click) where HitAt says, as a
// hand's click would send them; when that is not `w` nor inside it, nothing
// is sent and the reason is returned.
std::optional<std::string> Click(QWidget* w, bool twice, std::optional<QPoint> local = std::nullopt) {
  const Hit hit = HitAt(w, local);
  if (!hit.target) return hit.why;
  const QPointF p = hit.at;
  const QPointF g = hit.target->mapToGlobal(p);
  // A user's click lands in the active window; without that the focus moves
  // silently and edits never hear that they lost it.
  if (QWidget* window = hit.target->window(); window && !window->isActiveWindow())
    QApplication::setActiveWindow(window);
  // Events sent by hand are not spontaneous, so Qt gives no click focus
  // itself: the widget under the pointer that takes click focus gets it.
  for (QWidget* f = hit.target; f; f = f->isWindow() ? nullptr : f->parentWidget())
    if (f->focusPolicy() & Qt::ClickFocus) {
      f->setFocus(Qt::MouseFocusReason);
      break;
    }
  auto send = [&](QEvent::Type type, Qt::MouseButtons buttons) {
    QMouseEvent e(type, p, g, Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(hit.target, &e);
  };
  send(QEvent::MouseButtonPress, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, Qt::NoButton);
  if (twice) {
    send(QEvent::MouseButtonDblClick, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
  }
  return std::nullopt;
}

void PressKey(QWidget* w, QKeyCombination key, const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key.key(), key.keyboardModifiers(), text);
  QApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, key.key(), key.keyboardModifiers(), text);
  QApplication::sendEvent(w, &release);
}

// Keys go where the keyboard focus is, as for a user; a control that took
// no focus gets them itself.
QWidget* KeyTarget(ui::CControlUI* control) {
  QWidget* focus = QApplication::focusWidget();
  if (focus && (focus == control || control->isAncestorOf(focus))) return focus;
  if (auto* edit = qobject_cast<ui::CEditUI*>(control); edit && edit->NativeEdit()) return edit->NativeEdit();
  return control;
}

// The button an answer clicks in a message box.
std::string ButtonFor(const std::string& word) {
  if (word == "yes" || word == "ok") return "confirm_btn";
  if (word == "no" || word == "cancel") return "cancel_btn";
  return word;
}

// The named control inside a top-level window (a modal window is no page).
ui::CControlUI* ControlIn(QWidget* window, const std::string& name) {
  const QString n = QString::fromStdString(name);
  for (auto* c : window->findChildren<ui::CControlUI*>())
    if (c->GetName() == n) return c;
  return nullptr;
}

// What a report says of a modal window: a message box's text id, else its class.
std::string Describe(QWidget* window) {
  if (const ui::CControlUI* text = ControlIn(window, "MessageText")) return text->GetRawText().toStdString();
  return window->metaObject()->className();
}

int PageRow(const std::string& name) {
  if (name == "mouse") return 0;
  if (name == "keyboard") return 1;
  if (name == "pad") return 2;
  if (name == "headset") return 3;
  return -1;
}

}  // namespace

std::unique_ptr<UiScript> UiScript::Load(const std::string& path, CMainWnd& window,
                                         emulator::firmware::ProgramEmulation* emulation) {
  std::ifstream in(path);
  if (!in) return nullptr;
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    const size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos || line[start] == '#') continue;
    lines.push_back(line.substr(start));
  }
  return std::make_unique<UiScript>(std::move(lines), window, emulation);
}

UiScript::UiScript(std::vector<std::string> lines, CMainWnd& window,
                   emulator::firmware::ProgramEmulation* emulation)
    : lines_(std::move(lines)), window_(window), emulation_(emulation) {
  std::weak_ptr<Seen> seen = seen_;
  platform::SetTraceObserver([seen](std::string_view line) {
    // The script's own step reports name the texts it waits for: they are
    // never what a wait-trace waits for.
    if (line.starts_with(kReportPrefix)) return;
    if (auto s = seen.lock()) {
      std::lock_guard guard(s->lock);
      s->lines.emplace_back(line);
    }
  });
  waitTimer_.setInterval(kTracePollMs);
  connect(&waitTimer_, &QTimer::timeout, this, &UiScript::PollTrace);
  answerTimer_.setInterval(kAnswerPollMs);
  connect(&answerTimer_, &QTimer::timeout, this, &UiScript::PollAnswers);
}

UiScript::~UiScript() { platform::SetTraceObserver({}); }

void UiScript::Start() {
  QTimer::singleShot(0, this, &UiScript::RunNext);
  answerTimer_.start();
}

void UiScript::Report(const std::string& line, const Outcome& outcome) {
  const bool plainOk = outcome.result == Result::Ok && outcome.why.empty();
  Trace(std::string(kReportPrefix) + line + " -> " + (plainOk ? std::string("ok") : outcome.why));
}

void UiScript::RunNext() {
  if (finished_) return;
  if (next_ >= lines_.size()) {
    finished_ = true;
    answerTimer_.stop();
    return;
  }
  const std::string line = lines_[next_++];
  const auto [verb, rest] = SplitFirst(line);
  const Outcome outcome = Execute(verb, rest);
  if (outcome.result == Result::Pending) return;  // the step reports when it ends
  Report(line, outcome);
  if (outcome.result == Result::Stop) return Quit(kScriptFailedExitCode);
  if (outcome.result == Result::Failed) failed_ = true;
  if (verb == "quit") {
    // An answer nobody asked for means the script expected a window that never came.
    for (; !answers_.empty(); answers_.pop_front()) {
      Report(answers_.front().line, {Result::Failed, "never used"});
      failed_ = true;
    }
    return Quit(failed_ ? kScriptFailedExitCode : 0);
  }
  if (verb == "sleep") {
    QTimer::singleShot(ToInt(rest).value_or(0), this, &UiScript::RunNext);
    return;
  }
  QTimer::singleShot(0, this, &UiScript::RunNext);
}

void UiScript::Quit(int code) {
  finished_ = true;
  answerTimer_.stop();
  if (code != 0) failed_ = true;
  window_.Exit();
}

ui::CControlUI* UiScript::Find(const std::string& name) const {
  const QString n = QString::fromStdString(name);
  if (auto* pages = qobject_cast<ui::CTabLayoutUI*>(window_.FindControl(QStringLiteral("device_switch")))) {
    if (auto* page = qobject_cast<ui::CContainerUI*>(pages->GetItemAt(pages->GetCurSel())))
      if (ui::CControlUI* c = page->FindSubControl(n)) return c;
  }
  return window_.FindControl(n);
}

UiScript::Outcome UiScript::WithControl(const std::string& name, ui::CControlUI** control) const {
  *control = Find(name);
  if (!*control) return {Result::Stop, "no control " + name};
  if (!(*control)->isVisible()) return {Result::Failed, name + " is not visible"};
  if (!(*control)->IsEnabled()) return {Result::Failed, name + " is disabled"};
  return {Result::Ok, {}};
}

UiScript::Outcome UiScript::Execute(const std::string& verb, const std::string& rest) {
  ui::CControlUI* control = nullptr;
  if (verb == "quit") return {Result::Ok, {}};
  if (verb == "sleep") {
    if (!ToInt(rest) || *ToInt(rest) < 0) return {Result::Stop, "sleep needs milliseconds"};
    return {Result::Ok, {}};
  }
  if (verb == "wait-trace") {
    const auto [text, seconds] = SplitLast(rest);
    const std::optional<int> s = ToInt(seconds);
    if (text.empty() || !s || *s < 0) return {Result::Stop, "wait-trace needs a text and seconds"};
    waitText_ = text;
    waitLine_ = "wait-trace " + rest;
    waitDeadline_ = QDateTime::currentMSecsSinceEpoch() + qint64(*s) * 1000;
    waitTimer_.start();
    PollTrace();
    return {Result::Pending, {}};
  }
  if (verb == "page") {
    const int row = PageRow(rest);
    if (row < 0) return {Result::Stop, "no page " + rest};
    const auto& list = window_.Devices(PageKind(row));
    CDeviceOptionUI* entry = nullptr;
    for (const auto& e : window_.Entries())
      if (e && !list.empty() && e->Device() == list.front()) entry = e;
    if (!entry || !entry->SelectOption()) return {Result::Stop, "no bar entry for " + rest};
    if (!entry->isVisible()) return {Result::Failed, rest + " is not connected"};
    if (auto covered = Click(entry->SelectOption(), false)) return {Result::Failed, *covered};
    return {Result::Ok, {}};
  }
  if (verb == "click" || verb == "dbclick") {
    if (Outcome o = WithControl(rest, &control); o.result != Result::Ok) return o;
    if (auto covered = Click(control, verb == "dbclick")) return {Result::Failed, *covered};
    return {Result::Ok, {}};
  }
  if (verb == "select") {
    const auto [name, index] = SplitLast(rest);
    const std::optional<int> i = ToInt(index);
    if (!i || *i < 0) return {Result::Stop, "select needs an index"};
    if (Outcome o = WithControl(name, &control); o.result != Result::Ok) return o;
    if (auto* owner = dynamic_cast<ui::IListOwnerUI*>(control)) {
      auto* container = qobject_cast<ui::CContainerUI*>(control);
      if (!container || *i >= container->GetCount()) return {Result::Failed, "no item " + index};
      // A click would open a combo's drop-down or pick a list's item under
      // the pointer, so a list the user could reach takes the focus directly.
      if (const Hit hit = HitAt(control); !hit.target) return {Result::Failed, hit.why};
      control->SetFocus();
      // Arrow keys until the item is selected, or until a key changes nothing.
      for (int before = -2; owner->GetCurSel() != *i && owner->GetCurSel() != before;) {
        before = owner->GetCurSel();
        PressKey(KeyTarget(control), owner->GetCurSel() < *i ? Qt::Key_Down : Qt::Key_Up);
      }
      if (owner->GetCurSel() != *i) return {Result::Failed, "item " + index + " not selected"};
      return {Result::Ok, {}};
    }
    auto* container = qobject_cast<ui::CContainerUI*>(control);
    ui::CControlUI* item = container ? container->GetItemAt(*i) : nullptr;
    if (!item) return {Result::Failed, "no item " + index};
    if (auto covered = Click(item, false)) return {Result::Failed, *covered};
    return {Result::Ok, {}};
  }
  if (verb == "text") {
    const auto [name, text] = SplitFirst(rest);
    if (Outcome o = WithControl(name, &control); o.result != Result::Ok) return o;
    if (auto covered = Click(control, false)) return {Result::Failed, *covered};
    QWidget* target = KeyTarget(control);
    PressKey(target, QKeyCombination(Qt::ControlModifier, Qt::Key_A));
    PressKey(target, QKeyCombination(Qt::Key_Delete));
    for (const QChar c : QString::fromStdString(text)) PressKey(target, QKeyCombination(Qt::Key_unknown), QString(c));
    return {Result::Ok, {}};
  }
  if (verb == "key") {
    const auto [name, keyName] = SplitFirst(rest);
    const QKeySequence sequence = QKeySequence::fromString(QString::fromStdString(keyName));
    if (sequence.isEmpty() || sequence[0].key() == Qt::Key_unknown) return {Result::Stop, "no key " + keyName};
    if (Outcome o = WithControl(name, &control); o.result != Result::Ok) return o;
    if (auto covered = Click(control, false)) return {Result::Failed, *covered};
    PressKey(KeyTarget(control), sequence[0]);
    return {Result::Ok, {}};
  }
  if (verb == "slide") {
    const auto [name, value] = SplitLast(rest);
    const std::optional<int> v = ToInt(value);
    if (!v) return {Result::Stop, "slide needs a value"};
    if (Outcome o = WithControl(name, &control); o.result != Result::Ok) return o;
    auto* slider = qobject_cast<ui::CSliderUI*>(control);
    if (!slider) return {Result::Failed, name + " is not a slider"};
    if (*v < slider->GetMinValue() || *v > slider->GetMaxValue()) return {Result::Failed, "value out of range"};
    // A click on the thumb picks the slider without moving it.
    const QPoint thumb = slider->GetThumbRect().center() - slider->GetPos().topLeft();
    if (auto covered = Click(slider, false, thumb)) return {Result::Failed, *covered};
    for (int guard = 0; slider->GetValue() != *v && guard < 10000; ++guard) {
      const int before = slider->GetValue();
      PressKey(KeyTarget(slider), slider->GetValue() < *v ? Qt::Key_Right : Qt::Key_Left);
      if (slider->GetValue() == before) break;
    }
    if (slider->GetValue() != *v) return {Result::Failed, "slider holds " + std::to_string(slider->GetValue())};
    return {Result::Ok, {}};
  }
  if (verb == "plug" || verb == "unplug") {
    const auto* unit = emulation_ ? emulation_->Find(rest) : nullptr;
    if (!unit) return {Result::Stop, "no emulated device " + rest};
    const bool done = verb == "plug" ? emulation_->GetEmulator()->Plug(unit->device->Id())
                                     : emulation_->GetEmulator()->Unplug(unit->device->Id());
    if (!done) return {Result::Failed, rest + " already " + (verb == "plug" ? "plugged" : "unplugged")};
    return {Result::Ok, {}};
  }
  if (verb == "wireless" || verb == "battery") return PowerStep(verb, rest);
  if (verb == "answer" || verb == "answer-file") return Arm(verb, rest);
  if (verb == "shot") {
    if (rest.empty()) return {Result::Stop, "shot needs a file"};
    QWidget* host = window_.GetHWND();
    // The picture's folder is made as needed (a fresh build has no screens folder yet).
    const QString file = QString::fromStdString(rest);
    QDir().mkpath(QFileInfo(file).absolutePath());
    if (!host || !host->grab().save(file, "PNG")) return {Result::Failed, "not written"};
    return {Result::Ok, {}};
  }
  return {Result::Stop, "unknown step"};
}

UiScript::Outcome UiScript::PowerStep(const std::string& verb, const std::string& rest) {
  namespace fw = emulator::firmware;
  std::istringstream words(rest);
  std::vector<std::string> w;
  for (std::string word; words >> word;) w.push_back(word);
  const auto* unit = emulation_ && !w.empty() ? emulation_->Find(w[0]) : nullptr;
  if (verb == "wireless") {
    const std::optional<bool> on = w.size() == 2 ? fw::ParseOnOff(w[1]) : std::nullopt;
    if (!on) return {Result::Stop, "wireless needs a device and on or off"};
    if (!unit) return {Result::Stop, "no emulated device " + w[0]};
    if (!fw::SetWireless(*unit->device, *on)) return {Result::Failed, w[0] + " is no receiver"};
    return {Result::Ok, {}};
  }
  const std::optional<int> level = w.size() == 3 ? ToInt(w[1]) : std::nullopt;
  const std::optional<uint8_t> state = w.size() == 3 ? fw::ParseChargeState(w[2]) : std::nullopt;
  if (!level || *level < 0 || *level > 255 || !state) return {Result::Stop, "battery needs a device, a level and a state"};
  if (!unit) return {Result::Stop, "no emulated device " + w[0]};
  if (!fw::SetBattery(*unit->firmware, uint8_t(*level), *state)) return {Result::Failed, w[0] + " keeps no battery"};
  return {Result::Ok, {}};
}

UiScript::Outcome UiScript::Arm(const std::string& verb, const std::string& rest) {
  const bool file = verb == "answer-file";
  // A button answer may end in "after <trace text>" (to the end of the
  // line), and before that "shot <file>".
  std::string head = rest, shot, after;
  if (!file) {
    if (const size_t at = head.find(" after "); at != std::string::npos) {
      after = SplitFirst(head.substr(at + 1)).second;
      head.resize(at);
    }
    if (const size_t at = head.find(" shot "); at != std::string::npos) {
      shot = SplitFirst(head.substr(at + 1)).second;
      head.resize(at);
    }
  }
  // A trailing number is the wait; a path may hold spaces.
  auto [what, tail] = SplitLast(head);
  std::optional<int> seconds = ToInt(tail);
  if (!seconds || what.empty()) {
    what = head;
    seconds = kDefaultAnswerSeconds;
  }
  if (what.empty() || *seconds < 0 || (!file && what.find(' ') != std::string::npos))
    return {Result::Stop, file ? "answer-file needs a path" : "answer needs yes, no, ok, cancel or a button"};
  size_t traceFrom = 0;
  {
    std::lock_guard guard(seen_->lock);
    traceFrom = seen_->lines.size();
  }
  answers_.push_back({file, file ? what : ButtonFor(what), *seconds, verb + " " + rest, shot, after, traceFrom});
  if (answers_.size() == 1) answerDeadline_ = QDateTime::currentMSecsSinceEpoch() + qint64(*seconds) * 1000;
  return {Result::Ok, "armed"};
}

// Runs from the answer timer while the script runs, also inside the modal
// loop of the step that opened a window: the front answer acts on the modal
// window when it is the kind it waits for. A window no answer was armed for
// would hold the script for good: it is closed after a while and the script
// fails.
void UiScript::PollAnswers() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal && !modal->isVisible()) modal = nullptr;
  const qint64 now = QDateTime::currentMSecsSinceEpoch();
  if (answers_.empty()) {
    if (!modal) {
      unansweredSince_ = 0;
    } else if (unansweredSince_ == 0) {
      unansweredSince_ = now;
    } else if (now - unansweredSince_ >= qint64(kUnansweredSeconds) * 1000) {
      unansweredSince_ = 0;
      failed_ = true;
      Report("(no answer armed)", {Result::Failed, "closed " + Describe(modal)});
      modal->close();
    }
    return;
  }
  unansweredSince_ = 0;
  const Answer& answer = answers_.front();
  bool waiting = false;  // the window is there, the trace its click waits for is not yet
  if (modal) {
    if (auto* dialog = qobject_cast<QFileDialog*>(modal); dialog && answer.file) {
      auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      if (!name || !name->isVisible()) {
        dialog->reject();
        return EndAnswer({Result::Failed, "no file name field; cancelled"});
      }
      QApplication::setActiveWindow(dialog);
      name->setFocus(Qt::MouseFocusReason);
      PressKey(name, QKeyCombination(Qt::ControlModifier, Qt::Key_A));
      PressKey(name, QKeyCombination(Qt::Key_Delete));
      for (const QChar c : QString::fromStdString(answer.what)) PressKey(name, QKeyCombination(Qt::Key_unknown), QString(c));
      // Return in the name field goes on to the dialog's default button.
      PressKey(name, QKeyCombination(Qt::Key_Return));
      return EndAnswer({Result::Ok, {}});
    }
    ui::CControlUI* button = answer.file ? nullptr : ControlIn(modal, answer.what);
    waiting = button && !answer.after.empty() && !SeenSince(answer);
    if (button && !waiting) {
      const std::string shown = " (" + Describe(modal) + ")";
      std::optional<std::string> failed;
      if (!answer.shot.empty()) {
        const QString file = QString::fromStdString(answer.shot);
        QDir().mkpath(QFileInfo(file).absolutePath());
        if (!modal->grab().save(file, "PNG")) failed = "shot not written";
      }
      if (!failed) failed = button->isVisible() ? Click(button, false) : answer.what + " is not visible";
      if (!failed) return EndAnswer({Result::Ok, "ok" + shown});
      // The box must not stay open: the step that opened it would never end.
      if (ui::CControlUI* close = ControlIn(modal, "closebtn"); !close || !close->isVisible() || Click(close, false))
        modal->close();
      return EndAnswer({Result::Failed, *failed + shown + "; closed"});
    }
  }
  if (now < answerDeadline_) return;
  if (!modal) return EndAnswer({Result::Failed, "no such window in time"});
  if (waiting) {
    // The window came but the trace it waits for did not: closed as a user would.
    const std::string shown = Describe(modal);
    if (ui::CControlUI* close = ControlIn(modal, "closebtn"); !close || !close->isVisible() || Click(close, false))
      modal->close();
    return EndAnswer({Result::Failed, "no trace " + answer.after + " in time (" + shown + "); closed"});
  }
  // Another window than the answer waits for holds the script: it is closed.
  const std::string other = Describe(modal);
  modal->close();
  EndAnswer({Result::Failed, "no such window in time; closed " + other});
}

bool UiScript::SeenSince(const Answer& answer) const {
  std::lock_guard guard(seen_->lock);
  for (size_t i = answer.traceFrom; i < seen_->lines.size(); ++i)
    if (seen_->lines[i].find(answer.after) != std::string::npos) return true;
  return false;
}

void UiScript::EndAnswer(const Outcome& outcome) {
  Report(answers_.front().line, outcome);
  if (outcome.result != Result::Ok) failed_ = true;
  answers_.pop_front();
  if (!answers_.empty()) answerDeadline_ = QDateTime::currentMSecsSinceEpoch() + qint64(answers_.front().seconds) * 1000;
}

void UiScript::PollTrace() {
  bool found = false;
  {
    std::lock_guard guard(seen_->lock);
    for (; traceCursor_ < seen_->lines.size(); ++traceCursor_) {
      if (seen_->lines[traceCursor_].find(waitText_) != std::string::npos) {
        ++traceCursor_;
        found = true;
        break;
      }
    }
  }
  if (!found && QDateTime::currentMSecsSinceEpoch() < waitDeadline_) return;
  waitTimer_.stop();
  Outcome outcome{found ? Result::Ok : Result::Failed, found ? "" : "no such trace in time"};
  Report(waitLine_, outcome);
  if (!found) failed_ = true;
  QTimer::singleShot(0, this, &UiScript::RunNext);
}

}  // namespace app
