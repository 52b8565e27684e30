// The main window's device side: window initialisation, the worker table,
// the builder callback, device pages and the DPI policy.

#include <QGuiApplication>
#include <QScreen>

#include "app/ControlRegistry.h"
#include "app/MacroCapture.h"
#include "app/MainWnd.h"
#include "controls/Controls.h"
#include "controls/ControlRegistry.h"
#include "devices/DeviceProfileUI.h"
#include "headset/CGesterinRU6533Device.h"
#include "editors/CLightControlUI.h"
#include "macros/editor/CMacroControlUI.h"
#include "musiclight/AudioDaemon.h"
#include "musiclight/MusicWnd.h"
#include "platform/Trace.h"
#include "platform/WindowBus.h"
#include "recoil/editor/CShootControlUI.h"

namespace app {
namespace {

const QString kDeviceSwitch = QStringLiteral("device_switch");
const QString kDeviceSelectLayout = QStringLiteral("device_select_layout");
const QString kPowerPanelLayout = QStringLiteral("XML\\CustomControlXML\\MpDevicePower.xml");

bool Same(const QString& a, const char* b) { return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0; }

}  // namespace

// ---- window initialisation -------------------------------------------------

void CMainWnd::InitialiseWindow() {
  if (initialised_) return;  // the interface slots are filled once
  initialised_ = true;
  // Announces to the companion tools that the tool runs.
  platform::BusWindow::Broadcast(
      platform::BusMessage::Registered("{4695579F-999A-41d4-9FAF-EFFCE93EBF16}", 1, 1));
  ApplyLanguage(ReadLanguageIndex(store_));
  slots_.emplace();
  ++slotFills_;
  // The mouse and keyboard pages exist from the start, hidden until a device
  // of theirs arrives.
  for (size_t row = 0; row < 2; ++row) {
    const hid::DeviceKindRow& k = hid::DeviceKindTable[row];
    CreateDevicePage(hid::FindSupportedRow(k.VendorId, k.ProductId, k.kind, k.role), k.role);
  }
  if (QScreen* screen = QGuiApplication::primaryScreen()) screenSize_ = screen->geometry().size();
  // Shown when the first discovery pass ends (the identity message).
  ShowWindow(false, true);
  UpdateNoDeviceOverlay();
  StartMusicLink();
  StartWorkers();
  SetTimer(kDpiTimer, 100);
}

void CMainWnd::StartWorkers() {
  for (auto& w : workers_) w = std::make_unique<platform::Worker>();
  discovery_ = std::make_unique<hid::DiscoveryWorker>(backend_, *slots_, Target(), messages_.identity);
  workers_[kDiscoverySlot]->Start([this](const platform::StopEvent& stop) { discovery_->Run(stop); });
  workers_[kAudioDaemonSlot]->Start(musiclight::AudioDaemonThread);
  workers_[kLightSyncSlot]->Start([this](const platform::StopEvent& stop) { LightSyncThread(stop); });
}

void CMainWnd::StartMusicLink() {
  // The companion knows this window by our process id.
  music_ = std::make_unique<musiclight::MusicLink>(uint64_t(QCoreApplication::applicationPid()));
  const auto firstKeyboard = [this](const KeyboardAudioSeam& seam) {
    return [this, &seam](std::span<const int32_t> values) {
      const auto& keyboards = Devices(PageKind::Keyboard);
      if (seam && !keyboards.empty() && keyboards.front()) seam(*keyboards.front(), values);
    };
  };
  music_->SetKeyboard(firstKeyboard(keyboardLevels_), firstKeyboard(keyboardHostColours_));
  audioFile_ = std::make_unique<musiclight::AudioFile>(GetUserDataFolder() / "AudioFile.json",
                                                       GetDefaultDataFolder() / "AudioFile.json");
  audioInfo_ = audioFile_->LoadAudioFile();
  music_->SendGroupColour(audioInfo_);
}

void CMainWnd::OpenMusicWindow() {
  if (musicWnd_ && musicWnd_->IsWindow()) return;  // one at a time; it is modal
  musicWnd_ = std::make_unique<musiclight::MusicWnd>(audioInfo_);
  if (!musicWnd_->Open(GetHWND(), m_pm.GetDPI())) {
    musicWnd_.reset();
    return;
  }
  const int result = musicWnd_->ShowModal();
  if (result == 1 && musicWnd_) {
    audioInfo_ = musicWnd_->Info();
    if (music_) music_->SendGroupColour(audioInfo_);
    if (audioFile_) audioFile_->SaveAudioLightInfo(audioInfo_);
  }
  // The window may already be gone with this one (program exit).
  if (musicWnd_ && !musicWnd_->IsWindow()) musicWnd_.reset();
}

void CMainWnd::SetKeyboardAudioSeam(KeyboardAudioSeam levels, KeyboardAudioSeam hostColours) {
  keyboardLevels_ = std::move(levels);
  keyboardHostColours_ = std::move(hostColours);
}

bool CMainWnd::WorkerRunning(int index) const {
  return index >= 0 && index < kWorkerSlots && workers_[size_t(index)] && workers_[size_t(index)]->Running();
}

void CMainWnd::StopWorkers() {
  if (!workers_[0]) return;  // never started, or stopped already
  if (IsWindow()) ShowWindow(false, false);
  for (auto& w : workers_)
    if (w) w->Event().Set();
  for (int i = 0; i < kWorkerSlots; ++i) {
    platform::Worker* w = workers_[size_t(i)].get();
    if (!w || !w->Running()) {
      Trace("错误\n");
      Trace(QString::number(i).toStdString());
      continue;
    }
    // A worker past its bound is traced and then still joined, never killed.
    if (w->Stop(kWorkerStopBound, "所有对象处于非激发状态，超时\n")) Trace("所有对象处于激发状态\n");
  }
  for (auto& w : workers_) w.reset();
  discovery_.reset();
}

// ---- builder callback ------------------------------------------------------

ui::CControlUI* CMainWnd::CreateControl(const QString& className) {
  if (Same(className, "SelectPanel")) return new CSelectPanelUI;
  if (Same(className, "DeviceKeyButton")) return new CDeviceKeyButtonUI;
  if (Same(className, "CircleProgress")) return new CCircleProgressUI;
  if (Same(className, "HandImgButton")) return new CHandImgButtonUI;
  if (Same(className, "AudioRecord")) return new CAudioRecordUI;
  if (Same(className, "HandImgSelectButton")) return new CHandImgSelectButtonUI;
  if (Same(className, "ComboEditContainerElement")) return new CComboEditContainerElementUI;
  if (Same(className, "DeviceProfile")) return new devices::CDeviceProfileUI;
  if (Same(className, "RedioMacroButton")) return new macros::editor::CRedioMacroButtonUI;
  if (Same(className, "GesterinMousePadDevice")) return new CGesterinMousePadDevice(backend_);
  if (Same(className, "GesterinRU6533Device")) return new CGesterinRU6533Device(backend_);
  if (Same(className, "MagicControl")) return new CMagicControlUI;
  if (Same(className, "Voice6533Control")) return new CVoice6533ControlUI;
  if (Same(className, "GesterinMouseDevice")) return new CGesterinMouseDevice(backend_);
  if (Same(className, "GesterinKeyboardDevice")) return new CGesterinKeyboardDevice(backend_);
  if (Same(className, "KeySetControl")) return new editors::CKeySetControlUI;
  if (Same(className, "LightControl")) return new editors::CLightControlUI;
  if (Same(className, "ShootControl")) return new recoil::editor::CShootControlUI;
  // The panels built from a layout of their own.
  const QString layout = controls::LayoutOfControlClass(className);
  if (layout.isEmpty()) return nullptr;
  ui::CDialogBuilder builder;
  return builder.Create(layout, {}, this, &m_pm);
}

// ---- device pages ----------------------------------------------------------

bool CMainWnd::CreateDevicePage(int slotIndex, int role) {
  if (!slots_ || slotIndex < 0 || size_t(slotIndex) >= slots_->Count()) return false;
  const hid::DeviceInterfaceInfo slot = slots_->Slot(size_t(slotIndex));
  int kind = slot.DeviceKind;
  int vendor = slot.VendorId, product = slot.ProductId;
  if (kind == hid::kind::kMouseReceiver) {
    kind = hid::kind::kMouseCable;
    if (slot.DualMode) {
      const hid::DeviceInterfaceInfo twin = slots_->Slot(slot.TwinSlot);
      vendor = twin.VendorId;
      product = twin.ProductId;
    }
  }
  const int row = hid::FindKindRow(vendor, product, kind, role);
  if (row < 0) return false;
  const hid::DeviceKindRow& kindRow = hid::DeviceKindTable[size_t(row)];
  const hid::DevicePageRow& pageRow = hid::DevicePageTable[size_t(row)];

  // Each tree is the caller's until a container takes it.
  auto build = [this](const QString& layout) {
    ui::CDialogBuilder builder;
    return std::unique_ptr<ui::CControlUI>(builder.Create(layout, {}, this, &m_pm));
  };
  std::unique_ptr<ui::CControlUI> powerTree = build(kPowerPanelLayout);
  std::unique_ptr<ui::CControlUI> entryTree = build(QString::fromLatin1(kindRow.barEntryLayout));
  std::unique_ptr<ui::CControlUI> pageTree = build(QString::fromLatin1(pageRow.pageLayout));
  auto* power = qobject_cast<CMpDevicePowerUI*>(powerTree.get());
  auto* entry = qobject_cast<CDeviceOptionUI*>(entryTree.get());
  auto* page = qobject_cast<devices::CGesterinUSBDevice*>(pageTree.get());
  auto* powerBox = qobject_cast<ui::CContainerUI*>(FindControl(QString::fromLatin1(kindRow.powerPanelContainer)));
  auto* pages = qobject_cast<ui::CTabLayoutUI*>(FindControl(kDeviceSwitch));
  auto* bar = qobject_cast<ui::CContainerUI*>(FindControl(kDeviceSelectLayout));
  if (!power || !entry || !page || !powerBox || !pages || !bar) {
    Trace(QStringLiteral("device page of %1 not built").arg(QLatin1String(kindRow.name)).toStdString());
    return false;
  }

  powerBox->Add(powerTree.release());
  power->SetKind(kind, role);
  powerPanels_.emplace_back(power);

  page->SetLayoutPath(QString::fromLatin1(pageRow.pageLayout));
  page->SetMainWindow(&Target());
  page->SetKeyButtonCount(pageRow.keyButtonCount);
  page->SetLightCount(pageRow.lightCount);
  page->SetPageTableRow(row);
  page->SetPowerPanelStyle(pageRow.powerPanelStyle);
  page->SetFurtherValue(pageRow.furtherValue);
  page->SetDeviceFolderName(kindRow.name);
  page->SetPowerPanel(power);
  power->SetStyle(pageRow.powerPanelStyle);
  page->Attach(slot);
  page->SetOptionTag(kindRow.optionTag);
  page->SetLightConfigWord(pageRow.lightConfigWord);
  page->InitPage();
  macros_->InitEditor(*page);

  pages->Add(pageTree.release());
  {
    std::lock_guard lists(deviceListsLock_);
    devices_[size_t(row)].emplace_back(page);
  }

  bar->Add(entryTree.release());
  entry->Select(false);
  entry->SetGroup(QString::fromLatin1(kindRow.tabHeaderName));
  entry->BindPage(kDeviceSwitch, pages->GetItemIndex(page));
  entry->SetPowerPanel(QString::fromLatin1(kindRow.powerPanelContainer), powerBox->GetItemIndex(power));
  entry->SetKind(kind, role);
  entry->SetVisible(false);
  entry->SetLabel(QString::fromLatin1(kindRow.name));
  entry->SetDevice(page);
  page->SetDeviceOption(entry);
  entry->SetTimerHandler(RunEntryTimer);
  entries_.emplace_back(entry);
  return true;
}

// ---- DPI -------------------------------------------------------------------

void CMainWnd::ApplyDpiPolicy() {
  QWidget* host = GetHWND();
  if (!host) return;
  const bool visible = host->isVisible() && !host->isMinimized();
  if (!visible) SendMessage(ui::wm::WM_SYSCOMMAND, ui::wm::SC_RESTORE, 0);
  QSize monitor;
  if (monitorSize_) monitor = monitorSize_();
  else if (QScreen* screen = host->screen()) monitor = screen->geometry().size();
  dpi_ = (monitor.width() > 1500 && monitor.height() > 960) ? 144 : 96;
  ui::CPaintManagerUI::SetAllDPI(96);
  m_pm.SetInitSize(kDesignWidth, kDesignHeight);
  ResizeClient(kDesignWidth, kDesignHeight);
  ui::CPaintManagerUI::SetAllDPI(dpi_);
  CenterWindow();
  ShowWindow(visible, false);
}

}  // namespace app
