#pragma once
// UI scripts (VX27_UI_SCRIPT=<file>): the running program executes one step
// per line once its first discovery pass has brought the window forward.
//
//   wait-trace <text> <seconds>   a trace line containing <text> appears
//   page <mouse|keyboard|pad|headset>   clicks that device's bar entry
//   click <name> | dbclick <name>
//   select <name> <index>         list or combo: arrow keys; other
//                                 containers: a click on item <index>
//   text <name> <text>            clicks the edit, replaces its text by typing
//   key <name> <key name>         clicks the control, presses the key
//                                 ("Return", "Ctrl+A", "F5", ...)
//   slide <name> <value>          arrow keys on a slider until it holds <value>
//   plug <device> | unplug <device>   an emulated device (e.g. "mouse")
//   wireless <device> on|off      the wireless device behind an emulated
//                                 receiver (e.g. "mouse:receiver")
//   battery <device> <level> <state>   what the emulated device's status
//                                 reports: level in percent, state powered,
//                                 charging, battery (or 0..2)
//   shot <file.png>               the window as a picture
//   answer <yes|no|ok|cancel|<button>> [<seconds>]
//                                 arms an answer for the next modal message
//                                 box: yes/ok click "confirm_btn", no/cancel
//                                 "cancel_btn", another word the button of
//                                 that name in the modal window. Answers are
//                                 armed before the step that opens the box
//                                 and used in order, one per box; each waits
//                                 <seconds> (default 10) from its turn on;
//                                 "... shot <file.png>" pictures the modal
//                                 window just before the click, "... after
//                                 <text>" (last) holds the click until a
//                                 trace line containing <text> has appeared
//                                 since the answer was armed (e.g. "answer
//                                 closebtn 10 shot /tmp/s.png after update
//                                 row MS")
//   answer-file <path> [<seconds>]   arms a path for the next file dialog:
//                                 typed into its name field, then Return
//   sleep <ms>
//   quit
// Blank lines and lines starting with '#' are skipped. Controls are looked
// up on the visible device page first, then in the whole window. Every step
// acts through the mouse and key events a user's hand would make: a click
// goes to the widget the window shows at the control's centre, and fails
// ("covered by <name>") when that is not the control or inside it. Each step
// is traced "script <line> -> ok" or "script <line> -> <why not>" (lines a
// wait-trace never matches); an unknown step or a missing control stops the
// script and the program ends with exit code 3. The step that opens a modal
// window returns only when the window closes, so the script cannot click in
// it: an armed answer does, from a timer that runs inside the modal loop.
// An answer is traced when used ("script answer no -> ok (message_text_2)",
// with the box's text id) or when it fails (no such window in time, the
// button not shown: the box is then closed by its title bar's close button);
// answers still armed at "quit" fail the script. A modal window that holds
// the script with no answer armed (or another than the one the front answer
// waits for, at its deadline) is closed and the script fails: traced
// "script (no answer armed) -> closed <text id>".

#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <QObject>
#include <QTimer>

namespace emulator::firmware {
class ProgramEmulation;
}
namespace ui {
class CControlUI;
}

namespace app {

class CMainWnd;

inline constexpr const char* kUiScriptEnv = "VX27_UI_SCRIPT";
inline constexpr int kScriptFailedExitCode = 3;

class UiScript : public QObject {
  Q_OBJECT
 public:
  // Null when the file cannot be read.
  static std::unique_ptr<UiScript> Load(const std::string& path, CMainWnd& window,
                                        emulator::firmware::ProgramEmulation* emulation);
  UiScript(std::vector<std::string> lines, CMainWnd& window, emulator::firmware::ProgramEmulation* emulation);
  ~UiScript() override;

  // Runs the steps from the next turn of the event loop on.
  void Start();
  bool Failed() const { return failed_; }
  bool Finished() const { return finished_; }

 private:
  enum class Result { Ok, Failed, Stop, Pending };
  struct Outcome {
    Result result;
    std::string why;
  };
  void RunNext();
  Outcome Execute(const std::string& verb, const std::string& rest);
  Outcome PowerStep(const std::string& verb, const std::string& rest);
  void Report(const std::string& line, const Outcome& outcome);
  ui::CControlUI* Find(const std::string& name) const;
  Outcome WithControl(const std::string& name, ui::CControlUI** control) const;
  void PollTrace();
  void Quit(int code);
  Outcome Arm(const std::string& verb, const std::string& rest);
  void PollAnswers();
  void EndAnswer(const Outcome& outcome);

  std::vector<std::string> lines_;
  size_t next_ = 0;
  CMainWnd& window_;
  emulator::firmware::ProgramEmulation* emulation_;
  bool failed_ = false;
  bool finished_ = false;

  // Trace lines seen since the script was loaded; wait-trace consumes them.
  struct Seen {
    std::mutex lock;
    std::vector<std::string> lines;
  };
  std::shared_ptr<Seen> seen_ = std::make_shared<Seen>();
  size_t traceCursor_ = 0;
  std::string waitText_;
  std::string waitLine_;
  QTimer waitTimer_;
  qint64 waitDeadline_ = 0;

  // Answers for modal windows, used in order; the front one's deadline runs.
  struct Answer {
    bool file = false;
    std::string what;  // a button name, or a path
    int seconds = 0;
    std::string line;
    std::string shot;   // the modal window's picture, taken before the click
    std::string after;  // a trace text the click waits for
    size_t traceFrom = 0;  // the first trace line `after` may match
  };
  bool SeenSince(const Answer& answer) const;
  std::deque<Answer> answers_;
  QTimer answerTimer_;
  qint64 answerDeadline_ = 0;
  qint64 unansweredSince_ = 0;  // a modal window open with no answer armed
};

}  // namespace app
