#include <sstream>

#include "macros/capture/InputSource.h"

namespace macros::capture {

bool ScriptedSource::Parse(const std::string& text, std::vector<Step>* steps, std::string* error) {
  std::istringstream in(text);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    const auto hash = line.find('#');
    if (hash != line.npos) line.resize(hash);
    std::istringstream fields(line);
    long long ms = 0;
    int code = 0, value = 0;
    if (!(fields >> ms)) continue;  // blank line
    std::string rest;
    if (!(fields >> code >> value) || (fields >> rest) || ms < 0 || code < 0) {
      if (error) *error = "line " + std::to_string(number) + ": want <ms> <code> <value>";
      return false;
    }
    steps->push_back({uint32_t(ms), {code, value}});
  }
  return true;
}

std::optional<RawInput> ScriptedSource::Next(const platform::StopEvent& stop) {
  if (stop.IsSet() || openError_ != 0) return std::nullopt;
  if (next_ >= steps_.size()) {
    finished_ = true;
    return std::nullopt;
  }
  const Step& step = steps_[next_++];
  if (clock_) clock_->store(step.ms);
  return step.input;
}

}  // namespace macros::capture
