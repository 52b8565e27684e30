#pragma once
// Where system-wide input comes from: the key and button events of input
// devices. EvdevSource reads the machine's /dev/input/event* nodes;
// ScriptedSource plays "<ms> <code> <value>" lines on a stepped clock, for
// tests and vx27ctl.

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/StopEvent.h"

namespace macros::capture {

struct RawInput {
  int code = 0;   // input event code (KEY_*, BTN_*)
  int value = 0;  // 1 press, 2 repeat, 0 release
};

class InputSource {
 public:
  virtual ~InputSource() = default;
  // Opens what it reads. 0 when something is open; otherwise the reason
  // (EACCES when devices exist but none may be read, ENOENT when none exist).
  virtual int Open() = 0;
  virtual bool CoversKeyboard() const = 0;
  virtual bool CoversMouse() const = 0;
  // The next key or button event; nullopt when `stop` is set or the source
  // has nothing more to give.
  virtual std::optional<RawInput> Next(const platform::StopEvent& stop) = 0;
  virtual void Close() = 0;
};

// Every readable event node with KEY_A or BTN_LEFT, read-only and never
// grabbed (a stalled reader must not lock the user out of their machine).
std::unique_ptr<InputSource> MakeEvdevSource(std::string folder = "/dev/input");

class ScriptedSource : public InputSource {
 public:
  struct Step {
    uint32_t ms = 0;
    RawInput input;
  };
  // Steps in order; `clock` is set to each step's time before it is given.
  // `openError` is what Open reports (0: opens).
  ScriptedSource(std::vector<Step> steps, std::shared_ptr<std::atomic<uint32_t>> clock,
                 int openError = 0)
      : steps_(std::move(steps)), clock_(std::move(clock)), openError_(openError) {}

  // Lines "<ms> <code> <value>"; '#' starts a comment. False on a bad line.
  static bool Parse(const std::string& text, std::vector<Step>* steps, std::string* error);

  int Open() override { return openError_; }
  bool CoversKeyboard() const override { return openError_ == 0; }
  bool CoversMouse() const override { return openError_ == 0; }
  std::optional<RawInput> Next(const platform::StopEvent& stop) override;
  void Close() override {}
  // True once every step was handed out and the next one asked for.
  bool Finished() const { return finished_.load(); }

 private:
  std::vector<Step> steps_;
  size_t next_ = 0;
  std::shared_ptr<std::atomic<uint32_t>> clock_;
  int openError_ = 0;
  std::atomic<bool> finished_{false};
};

}  // namespace macros::capture
