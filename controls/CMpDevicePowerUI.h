#pragma once
// CMpDevicePowerUI ("MpDevicePower"): the power panel of a device in the
// device bar: battery level as text and progress, the charge icon, the
// wireless mark of a mouse and the phone lying on a mouse pad's charger.
// Its sub-controls ("device_power_Layout", "device_power_value",
// "device_wuxian_logo", "device_Power_progress", "device_power_status",
// "device_phone_type") are looked up on first use.

#include <array>
#include <cstdint>
#include <span>

#include <QPointer>
#include <QString>

#include "ui/UIContainer.h"

namespace controls {

// The power report a device's status poll hands to its panel: 64 bytes;
// shorter input is zero-padded, longer input cut.
namespace powerreport {
inline constexpr size_t kSize = 64;
inline constexpr size_t kBattery = 0;      // percent, shown clamped to 0..100
inline constexpr size_t kChargeState = 1;  // 0 powered, 1 charging, 2 on battery
inline constexpr size_t kWireless = 3;     // non-zero: running wirelessly
inline constexpr size_t kPhoneType = 5;    // mouse pad: 1 iPhone, 2 Samsung, 3 other, else none
}  // namespace powerreport

struct PowerReport {
  int battery = 0;  // clamped
  int chargeState = 0;
  bool wireless = false;
  int phoneType = 0;
};
PowerReport DecodePowerReport(std::span<const uint8_t> bytes);

// The charge icon of a charge state; empty for a state the panel ignores.
QString ChargeImage(int chargeState);
// The text key and image of a phone type byte (anything unknown: none).
struct PhoneLook {
  QString textKey;
  QString image;
};
PhoneLook PhoneTypeLook(int phoneType);

class CMpDevicePowerUI : public ui::CHorizontalLayoutUI {
  Q_OBJECT
 public:
  QString GetClass() const override { return QStringLiteral("MpDevicePower"); }
  bool IsClass(const QString& className) const override;
  // Sends "selectchanged".
  bool Activate() override;

  void SetKind(int kind, int role) {
    kind_ = kind;
    role_ = role;
  }
  int Kind() const { return kind_; }
  int Role() const { return role_; }
  // Style 1 shows the battery layout ("device_power_Layout").
  void SetStyle(int style);

  // Shows a power report; `length` bytes of `report` count.
  void UpdatePower(std::span<const uint8_t> report);
  const std::array<uint8_t, powerreport::kSize>& LastReport() const { return report_; }

 private:
  ui::CControlUI* Sub(QPointer<ui::CControlUI>& cache, const char* name);

  int kind_ = 0;
  int role_ = 0;
  std::array<uint8_t, powerreport::kSize> report_{};
  QPointer<ui::CControlUI> layout_, value_, logo_, progress_, status_, phone_;
};

}  // namespace controls
