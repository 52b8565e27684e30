#pragma once
// CDeviceOptionUI ("DeviceOption"): one entry of the device bar. It holds
// the option that selects its device's page ("device_select", bound to the
// page's tab layout), the device's name ("device_select_name") and the
// synchro check ("synchro_device_select"); the icons follow the device kind
// and role, and a selected synchro check swaps the select option's images
// for the synchro set.
//
// The entry does not know the device classes: it keeps the device page as a
// control and hands its own timers (1000 light step, 1001 first load, 1002
// settings reload, 1003 and 1004 spare hooks, 1005 status poll, 1007 link
// watch) to the timer handler the application installs, which drives the
// device. Without a handler a timer that fires is disarmed.

#include <cstdint>
#include <functional>

#include <QPointer>
#include <QString>

#include "ui/UIButton.h"
#include "ui/UIContainer.h"

namespace controls {

inline constexpr uint32_t kEntryFirstLoadTimer = 1001;
inline constexpr uint32_t kEntryFirstLoadDelayMs = 500;
// The link failure count wraps to 0 after this value.
inline constexpr int kLinkFailureWrap = 19;

// The images and name text of one kind of entry, all under
// "common/device_ico/".
struct EntryIconSet {
  QString normal, selected, synchroSelected, synchroNormal, text;
};
// nullopt-like: `known` false leaves the icons as they are (kind 3 with a
// role other than 0 or 1).
struct EntryIcons {
  bool known = false;
  EntryIconSet set;
};
EntryIcons IconsForKind(int kind, int role);

class CDeviceOptionUI : public ui::CHorizontalLayoutUI {
  Q_OBJECT
 public:
  using TimerHandler = std::function<void(CDeviceOptionUI& entry, uint32_t id)>;

  CDeviceOptionUI();
  QString GetClass() const override { return QStringLiteral("DeviceOption"); }
  bool IsClass(const QString& className) const override;
  void DoEvent(ui::TEventUI& event) override;

  void SetKind(int kind, int role);
  int Kind() const { return kind_; }
  int Role() const { return role_; }
  const EntryIconSet& Icons() const { return icons_; }
  void BindPage(const QString& containerName, int index);
  void SetPowerPanel(const QString& containerName, int index);
  const QString& PowerContainer() const { return powerContainer_; }
  // -1: the entry has no power panel.
  int PowerIndex() const { return powerIndex_; }
  void SetGroup(const QString& name);
  void SetLabel(const QString& text);
  // The device page this entry drives.
  void SetDevice(ui::CControlUI* page) { device_ = page; }
  ui::CControlUI* Device() const { return device_; }

  void SetSynchroShown(bool shown);
  void SetSynchroSelected(bool selected);
  bool IsSynchroSelected();
  // The synchro check changed by itself (a click): the select option
  // follows with its images.
  void SynchroChanged();
  bool IsSelected();
  void Select(bool selected);

  // Timer 1001 in 500 ms.
  void StartInitialLoad() { ArmTimer(kEntryFirstLoadTimer, kEntryFirstLoadDelayMs); }
  void SetTimerHandler(TimerHandler handler) { timerHandler_ = std::move(handler); }

  int LinkFailures() const { return linkFailures_; }
  // Counts one failed link check (19 wraps to 0).
  void CountLinkFailure() { linkFailures_ = linkFailures_ >= kLinkFailureWrap ? 0 : linkFailures_ + 1; }
  void ResetLinkFailures() { linkFailures_ = 0; }

  ui::COptionUI* SelectOption();
  ui::COptionUI* SynchroOption();

 private:
  void ApplyImages();

  QPointer<ui::COptionUI> select_;
  QPointer<ui::COptionUI> synchro_;
  QPointer<ui::CControlUI> device_;
  TimerHandler timerHandler_;
  int kind_ = 0;
  int role_ = 0;
  EntryIconSet icons_;
  QString powerContainer_;
  int powerIndex_ = -1;
  int linkFailures_ = 0;
};

}  // namespace controls
