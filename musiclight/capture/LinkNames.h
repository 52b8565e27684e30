#pragma once
// What binds the program and its audio capture companion on the window bus.

#include <cstdint>

namespace musiclight::link {

// The companion's window (found by class and title together) and its lock.
inline constexpr const char* kCaptureClass = "VX27 MOUSEAudioRecord";
inline constexpr const char* kCaptureTitle = "VX27 MOUSEAUDIORECORD";
inline constexpr const char* kCaptureLock = "VX27 MOUSEAudioRecord";
// The program's main window.
inline constexpr const char* kMainClass = "MainWnd";
inline constexpr const char* kMainTitle = "VX27 MOUSE";
// UWM_TOOL_BE19_MSG, the program's commands to the companion.
inline constexpr const char* kToolBE19 = "{4695579F-999A-41d4-9FAF-EFFCE93EBE19}";

// UWM_TOOL_BE19_MSG wParam values.
enum Command : uint64_t {
  kBind = 0,  // lParam: the main window handle
  kCapture = 1,
  kStop = 2,
  kShow = 3,
  kHide = 4,
  kQuit = 5,
  kHostRed = 6,  // 6, 7, 8: lParam is the host colour component
  kHostGreen = 7,
  kHostBlue = 8,
};

// Copy-data kinds.
inline constexpr uint64_t kSampleFrameData = 1;  // companion -> program: 500 int32
inline constexpr uint64_t kHostColourData = 2;   // companion -> program: 6 int32
inline constexpr uint64_t kGroupColourData = 10;  // program -> companion: 10 int32

inline constexpr size_t kSampleFrameValues = 500;
inline constexpr size_t kHostColourValues = 6;
inline constexpr size_t kGroupColourBytes = 40;

}  // namespace musiclight::link
