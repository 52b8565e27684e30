#include "app/FirmwareCheck.h"

#include <QProcess>

#include "platform/Trace.h"
#include "protocol/CommandChannel.h"
#include "updater/Updater.h"

namespace app {

FirmwareCheck CheckFirmwareVersion(int64_t version, const FirmwareCheckHooks& hooks) {
  const std::string head = "firmware check " + std::to_string(version) + ": ";
  if (!hooks.channel) {
    Trace(head + "no device");
    return FirmwareCheck::NoDevice;
  }
  if (version > kLastOutdatedFirmware) {
    hooks.channel->SetSuppressIo(false);
    if (hooks.deviceUsable) *hooks.deviceUsable = 1;
    Trace(head + "usable");
    return FirmwareCheck::Usable;
  }
  if (hooks.deviceUsable) *hooks.deviceUsable = 0;
  Trace(head + "update offered");
  if (!hooks.confirm || !hooks.confirm()) {
    Trace("firmware check: update declined");
    if (hooks.quit) hooks.quit(0);
    return FirmwareCheck::Cancelled;
  }
  // The device stays quiet while the updater has it.
  hooks.channel->SetSuppressIo(true);
  const std::filesystem::path folder = hooks.installFolder / "Update";
  const QString program = QString::fromStdString((folder / updater::UpdaterFileName()).string());
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  if (hooks.emulating) environment.insert(QStringLiteral("VX27_EMULATE"), QStringLiteral("attach"));
  qint64 pid = 0;
  const bool started = hooks.start && hooks.start(program, {QString::fromLatin1(updater::kStartArgument)},
                                                  QString::fromStdString(folder.string()), environment, &pid);
  if (!started) {
    Trace("firmware check: the updater did not start: " + program.toStdString());
    if (hooks.showStartFailure) hooks.showStartFailure();
    return FirmwareCheck::StartFailed;
  }
  Trace("firmware check: updater started, process " + std::to_string(pid));
  if (hooks.started) hooks.started(pid);
  return FirmwareCheck::Confirmed;
}

bool StartDetached(const QString& program, const QStringList& arguments, const QString& folder,
                   const QProcessEnvironment& environment, qint64* pid) {
  QProcess process;
  process.setProgram(program);
  process.setArguments(arguments);
  process.setWorkingDirectory(folder);
  process.setProcessEnvironment(environment);
  return process.startDetached(pid);
}

}  // namespace app
