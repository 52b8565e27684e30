#pragma once
// Pieces shared by vx27ctl's macro commands.

#include <string>
#include <string_view>
#include <vector>

#include <atomic>
#include <cstdint>
#include <memory>

#include <json/json.h>

namespace macros {
class MacroLibrary;
class MacroRows;
}  // namespace macros

namespace cli {

std::string Utf8(std::u16string_view text);
// The macro number in `text`, checked against the library (message on error).
bool MacroNumber(const std::string& text, const macros::MacroLibrary& library, int* number);
// "<Type> <Action> <Button> <Delay>" per action.
void PrintEvents(const std::vector<Json::Value>& events);
// The editor's save of the rows into macro `number`; 0 when written.
int SaveRows(macros::MacroLibrary& library, int number, macros::MacroRows& rows);
// vx27ctl macro <folder> record <n> <script> [options] (args as for macro).
int RecordMacro(macros::MacroLibrary& library, const std::vector<std::string>& args);

}  // namespace cli

namespace macros::capture {
class ScriptedSource;
}

namespace cli {

// Reads a "<ms> <code> <value>" script into a scripted source on `clock`
// (null: no clock); null with a message when the file cannot be used.
std::unique_ptr<macros::capture::ScriptedSource> LoadScript(
    const std::string& path, std::shared_ptr<std::atomic<uint32_t>> clock);
// Runs the event loop while capture is on: until the scripted source is
// played out (when there is one), or `seconds` passed. A Qt application
// object must exist.
void RunCapture(const macros::capture::ScriptedSource* scripted, double seconds);

}  // namespace cli
