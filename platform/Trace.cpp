#include "platform/Trace.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include <QString>

namespace {

// One lock guards the sink and the file it may write to.
struct TraceState {
  std::mutex lock;
  platform::TraceSink sink;
  platform::TraceSink observer;
  bool envChecked = false;
  bool enabled = false;
  FILE* file = nullptr;  // owned when not stderr

  ~TraceState() {
    if (file && file != stderr) std::fclose(file);
  }

  // Reads VX27_TRACE once; called with the lock held.
  void checkEnvironment() {
    if (envChecked) return;
    envChecked = true;
    const char* v = std::getenv("VX27_TRACE");
    if (!v || !*v || std::string_view(v) == "0") return;
    if (std::string_view(v) == "1") {
      file = stderr;
    } else {
      file = std::fopen(v, "a");
      if (!file) file = stderr;
    }
    enabled = true;
  }
};

TraceState& State() {
  static TraceState state;
  return state;
}

void WriteLine(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  TraceState& s = State();
  std::lock_guard guard(s.lock);
  if (s.observer) s.observer(text);
  if (s.sink) {
    s.sink(text);
    return;
  }
  s.checkEnvironment();
  if (!s.enabled || !s.file) return;
  std::fwrite(text.data(), 1, text.size(), s.file);
  std::fputc('\n', s.file);
  std::fflush(s.file);
}

}  // namespace

void Trace(std::string_view utf8) { WriteLine(utf8); }

void Trace(const char* utf8) { WriteLine(utf8 ? std::string_view(utf8) : std::string_view()); }

void Trace(std::wstring_view text) {
  if (!platform::TraceEnabled()) return;
  const QByteArray bytes = QString::fromWCharArray(text.data(), qsizetype(text.size())).toUtf8();
  WriteLine(std::string_view(bytes.constData(), size_t(bytes.size())));
}

void Trace(const wchar_t* text) { Trace(text ? std::wstring_view(text) : std::wstring_view()); }

void Trace(std::u16string_view text) {
  if (!platform::TraceEnabled()) return;
  const QByteArray bytes =
      QString::fromUtf16(text.data(), qsizetype(text.size())).toUtf8();
  WriteLine(std::string_view(bytes.constData(), size_t(bytes.size())));
}

namespace platform {

TraceSink SetTraceObserver(TraceSink observer) {
  TraceState& s = State();
  std::lock_guard guard(s.lock);
  std::swap(s.observer, observer);
  return observer;
}

bool TraceEnabled() {
  TraceState& s = State();
  std::lock_guard guard(s.lock);
  if (s.sink || s.observer) return true;
  s.checkEnvironment();
  return s.enabled;
}

TraceSink SetTraceSink(TraceSink sink) {
  TraceState& s = State();
  std::lock_guard guard(s.lock);
  TraceSink previous = std::move(s.sink);
  s.sink = std::move(sink);
  return previous;
}

std::string FormatHexLine(std::span<const uint8_t, 32> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(32 * 3 + 8);
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) {
      if (i % 4 != 0) out += ' ';
      else out += (i <= 12) ? "   " : "  ";
    }
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 0x0F];
  }
  return out;
}

}  // namespace platform
