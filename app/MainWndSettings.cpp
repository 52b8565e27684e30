// The main window's side of the settings window and the firmware check:
// opening the window with the collected versions, forwarding the updater's
// reports to it, and answering message 3332.

#include <cstdlib>

#include "app/DeviceBar.h"
#include "app/Environment.h"
#include "app/FirmwareCheck.h"
#include "app/MainWnd.h"
#include "app/MsgWnd.h"
#include "app/SetWnd.h"
#include "devices/Models.h"
#include "hid/SupportedDevices.h"
#include "platform/Trace.h"

namespace app {

namespace {
constexpr uint32_t kPopupVisible = 0x90000000;  // WS_POPUP | WS_VISIBLE
constexpr uint32_t kToolWindow = 0x00000080;    // WS_EX_TOOLWINDOW
// The revision the delivered updater brings.
const QString kUpdateRevision = QStringLiteral("V0126");
// The updater's last report is in our bus socket before it exits, but the
// event loop may see the exit first; the verdict "ended without a result"
// waits this long for the report to be read.
constexpr int kUpdaterSettleMs = 1000;
}  // namespace

// The settings row name of a device: its row of the update descriptor table.
std::string CMainWnd::UpdateRowOf(devices::CGesterinUSBDevice* device) const {
  for (const auto& entry : entries_) {
    if (!entry || entry->Device() != device || !device) continue;
    const hid::DeviceInterfaceInfo& d = device->Descriptor();
    const int row = hid::FindKindRow(d.VendorId, d.ProductId, d.DeviceKind, entry->Role());
    if (row >= 0 && row < int(UpdateDescriptorTable().size())) return UpdateDescriptorTable()[size_t(row)].displayName;
  }
  return {};
}

std::vector<UpdateDescriptor> CMainWnd::CollectDeviceVersions() const {
  std::vector<DeviceVersionSource> sources;
  for (const auto& entry : entries_) {
    auto* device = entry ? qobject_cast<devices::CGesterinUSBDevice*>(entry->Device()) : nullptr;
    if (!device) continue;
    const hid::DeviceInterfaceInfo& d = device->Descriptor();
    protocol::CCommandChannel& channel = device->CommandChannel();
    DeviceVersionSource s;
    s.row = hid::FindKindRow(d.VendorId, d.ProductId, d.DeviceKind, entry->Role());
    s.channelOpen = channel.IsOpen();
    s.receiverMode = channel.ReceiverMode();
    s.shown = entry->IsVisible();
    s.wiredVersion = channel.WiredDevice().VersionNumber();
    s.receiverVersion = channel.ReceiverDevice().VersionNumber();
    sources.push_back(s);
  }
  return CollectVersions(sources, GetInstalledVersion(store_));
}

void CMainWnd::OpenSettingsWindow(bool centred) {
  if (settings_ && settings_->IsWindow()) return;  // one at a time
  CSetWnd::Environment env;
  env.defaultData = GetDefaultDataFolder();
  env.userData = GetUserDataFolder();
  env.updateTemp = std::filesystem::temp_directory_path() / "UpdateData";
  env.today = [] {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
  };
  env.toOwner = [this](uint32_t id, uint64_t w, int64_t l) { SendMessage(id, w, l); };
  env.bf15 = messages_.toolBF15;
  settings_ = std::make_unique<CSetWnd>(std::move(env));
  settings_->SetOwner(true, CurrentLanguage());
  settings_->SetDescriptors(ListedDescriptors(CollectDeviceVersions()));
  if (!settings_->Create(GetHWND(), QStringLiteral("SetWnd"), kPopupVisible, kToolWindow)) {
    settings_.reset();
    return;
  }
  settings_->PaintManager().SetDPI(dpi_);
  settings_->ResizeClient(m_pm.Scale(kSetWndWidth), m_pm.Scale(kSetWndHeight));
  if (centred) {
    settings_->CenterWindow();
  } else if (QWidget* host = settings_->GetHWND()) {
    const QRect main = GetHWND()->geometry();
    host->move(main.right() + 1 - host->width() - m_pm.Scale(30), main.top() + m_pm.Scale(60));
  }
  settings_->ShowModal();
  if (settings_ && !settings_->IsWindow()) settings_.reset();
}

void CMainWnd::ForwardToolReport(uint64_t wParam, int64_t lParam) {
  Trace("updater report " + std::to_string(wParam) + " " + std::to_string(lParam));
  if (firmwareUpdate_ && (wParam == 1 || wParam == 2)) firmwareUpdate_->resulted = true;
  if (!settings_ || !settings_->IsWindow()) return;
  if (firmwareUpdate_) settings_->DesignateUpdate(firmwareUpdate_->row, kUpdateRevision);
  settings_->PostMessage(messages_.toolBF15, wParam, lParam);
}

void CMainWnd::OnFirmwareVersionCheck(int64_t version) {
  devices::CGesterinUSBDevice* device = SelectedDevice();
  FirmwareCheckHooks hooks;
  hooks.channel = device ? &device->CommandChannel() : nullptr;
  hooks.deviceUsable = &g_bDeviceUsable;
  hooks.installFolder = ui::CPaintManagerUI::GetInstancePath().toStdString();
  const char* emulate = std::getenv("VX27_EMULATE");
  hooks.emulating = emulate && *emulate;
  hooks.confirm = [this] {
    if (ui::CControlUI* noDevice = FindControl(QStringLiteral("No_device_Link"))) noDevice->SetVisible(true);
    return ShowMessage(GetHWND(), QStringLiteral("UpdateTiShi"), QStringLiteral("UpdateTiShiText"), dpi_, true, 1) == 1;
  };
  hooks.start = updaterStart_;
  hooks.showStartFailure = [this] {
    ShowMessage(GetHWND(), QStringLiteral("UpdateTiShi"), QStringLiteral("UpdateFailText"), dpi_, true, 0);
  };
  hooks.quit = [this](int) { Exit(); };
  hooks.started = [this, row = UpdateRowOf(device)](qint64 pid) {
    firmwareUpdate_.emplace();
    firmwareUpdate_->row = row;
    firmwareUpdate_->watch = std::make_unique<ProcessWatch>(pid, [this] {
      if (!firmwareUpdate_->resulted) {
        Trace("firmware update: the updater ended without a result");
        ForwardToolReport(2, 0);
      }
      firmwareUpdate_.reset();
    }, kUpdaterSettleMs);
  };
  CheckFirmwareVersion(version, hooks);
}

}  // namespace app
