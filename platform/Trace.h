#pragma once
// Diagnostic trace: progress and failure lines that are never shown to the user
// and carry no behaviour. Off by default; VX27_TRACE=1 writes to stderr,
// VX27_TRACE=<path> appends to that file. Tests install a sink to read lines.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

// Writes one line to the trace sink (a trailing newline in text is dropped, so
// every call is exactly one line). Thread-safe.
void Trace(std::string_view utf8);
void Trace(std::wstring_view text);
void Trace(std::u16string_view text);
void Trace(const char* utf8);
void Trace(const wchar_t* text);

namespace platform {

using TraceSink = std::function<void(std::string_view line)>;

// True when any sink is active; callers may skip formatting when false.
bool TraceEnabled();

// Replaces the sink (an empty function restores the environment's choice) and
// returns the previous one.
TraceSink SetTraceSink(TraceSink sink);

// Also hands every line to `observer` (an empty function removes it), next
// to the sink or the environment's output; returns the previous observer.
// The observer runs with the trace lock held: it must not trace.
TraceSink SetTraceObserver(TraceSink observer);

// Installs a sink for the lifetime of the object, restoring the previous one.
class ScopedTraceSink {
 public:
  explicit ScopedTraceSink(TraceSink sink) : previous_(SetTraceSink(std::move(sink))) {}
  ~ScopedTraceSink() { SetTraceSink(std::move(previous_)); }
  ScopedTraceSink(const ScopedTraceSink&) = delete;
  ScopedTraceSink& operator=(const ScopedTraceSink&) = delete;

 private:
  TraceSink previous_;
};

// The command channel's hex line: 32 bytes as eight groups of four "%02x",
// three blanks after each of the first three groups, two between the later ones.
std::string FormatHexLine(std::span<const uint8_t, 32> bytes);

}  // namespace platform
