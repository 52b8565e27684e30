#pragma once
// The device bar's entry (CDeviceOptionUI, "DeviceOption") and the power
// panel (CMpDevicePowerUI, "MpDevicePower"). An entry drives its device with
// its own timers on the UI thread: 1000 light step, 1001 first load, 1002
// settings reload, 1003 and 1004 the device's spare hooks, 1005 status poll.
// The wireless link watch and the power report display come with the
// device bar's hot-plug work.

#include <QPointer>
#include <QString>

#include "devices/CGesterinUSBDevice.h"
#include "ui/UILib.h"

namespace app {

inline constexpr uint32_t kInitialLoadDelayMs = 500;
inline constexpr uint32_t kCableLightStepMs = 5;
inline constexpr uint32_t kReceiverLightStepMs = 500;
inline constexpr uint32_t kStatusPollMs = 10000;
inline constexpr uint32_t kPromptStatusMs = 50;

class CDeviceOptionUI : public ui::CHorizontalLayoutUI {
  Q_OBJECT
 public:
  QString GetClass() const override { return QStringLiteral("DeviceOption"); }
  bool IsClass(const QString& className) const override;
  void DoEvent(ui::TEventUI& event) override;

  // Icons and name text by kind and role.
  void SetKind(int kind, int role);
  int Kind() const { return kind_; }
  int Role() const { return role_; }
  void BindPage(const QString& containerName, int index);
  void SetPowerPanel(const QString& containerName, int index);
  const QString& PowerContainer() const { return powerContainer_; }
  int PowerIndex() const { return powerIndex_; }
  void SetGroup(const QString& name);
  void SetLabel(const QString& text);
  void SetDevice(devices::CGesterinUSBDevice* page);
  devices::CGesterinUSBDevice* Device() const { return device_; }
  bool IsSelected();
  void Select(bool selected);
  void SetVisible(bool visible = true) override;
  void StartInitialLoad();
  void RequestStatus();

  ui::COptionUI* SelectOption();
  ui::COptionUI* SynchroOption();

 private:
  void OnTimer(uint32_t id);

  QPointer<ui::COptionUI> select_;
  QPointer<ui::COptionUI> synchro_;
  QPointer<devices::CGesterinUSBDevice> device_;
  int kind_ = 0;
  int role_ = 0;
  QString powerContainer_;
  int powerIndex_ = -1;
};

class CMpDevicePowerUI : public ui::CHorizontalLayoutUI {
  Q_OBJECT
 public:
  QString GetClass() const override { return QStringLiteral("MpDevicePower"); }
  bool IsClass(const QString& className) const override;
  void SetKind(int kind, int role) {
    kind_ = kind;
    role_ = role;
  }
  int Kind() const { return kind_; }
  int Role() const { return role_; }
  // Style 1 shows the battery layout ("device_power_Layout").
  void SetStyle(int style);

 private:
  int kind_ = 0;
  int role_ = 0;
};

}  // namespace app
