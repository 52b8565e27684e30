#pragma once
// The main window's answer to the firmware check message (3332, lParam =
// the selected device's firmware version): a version above 0x0125 makes the
// device usable again; an older one offers the update and, when the user
// confirms, suspends the device's I/O and starts the updater from the
// update folder ("<install>/Update/<updater name>", argument "On the
// upgrade", working folder the update folder; with VX27_EMULATE=attach when
// the program emulates). Traced "firmware check <v>: usable|update
// offered|no device".
//
// Without a selected device nothing happens. Cancelling is traced
// "firmware check: update declined" and asks the program to end through its
// ordinary teardown (exit code 0). An updater that fails to
// start is traced and shown.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace protocol {
class CCommandChannel;
}

namespace app {

inline constexpr int64_t kLastOutdatedFirmware = 0x0125;  // 293

enum class FirmwareCheck { NoDevice, Usable, Confirmed, Cancelled, StartFailed };

struct FirmwareCheckHooks {
  protocol::CCommandChannel* channel = nullptr;  // the selected device's; null: none selected
  std::atomic<int>* deviceUsable = nullptr;      // the program's usable flag
  std::filesystem::path installFolder;
  bool emulating = false;
  // The prompt ("UpdateTiShi", "UpdateTiShiText"); true when confirmed.
  std::function<bool()> confirm;
  // Starts a program detached, giving its process id; false when it could
  // not start.
  std::function<bool(const QString& program, const QStringList& arguments, const QString& folder,
                     const QProcessEnvironment& environment, qint64* pid)>
      start;
  // The updater started with this process id.
  std::function<void(qint64 pid)> started;
  // Shows "UpdateTiShi" with "UpdateFailText".
  std::function<void()> showStartFailure;
  // Ends the program through its ordinary teardown with this exit code.
  std::function<void(int code)> quit;
};

FirmwareCheck CheckFirmwareVersion(int64_t version, const FirmwareCheckHooks& hooks);

// QProcess::startDetached with the program, arguments, folder and environment.
bool StartDetached(const QString& program, const QStringList& arguments, const QString& folder,
                   const QProcessEnvironment& environment, qint64* pid = nullptr);

}  // namespace app
