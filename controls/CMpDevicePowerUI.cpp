#include "controls/CMpDevicePowerUI.h"

#include <algorithm>

#include "ui/UIManager.h"
#include "ui/UISlider.h"

namespace controls {
namespace {

constexpr int kMousePanel = 2;
constexpr int kMousePadPanel = 3;

// Replaces the file of an image description and keeps its other parts
// (a dest rectangle the layout gives), so the file is what changes.
QString WithFile(const QString& description, const QString& file) {
  const QString key = QStringLiteral("file='");
  const int at = description.indexOf(key);
  if (at < 0) return QStringLiteral("file='%1'").arg(file);
  const int end = description.indexOf(QLatin1Char('\''), at + key.size());
  if (end < 0) return QStringLiteral("file='%1'").arg(file);
  QString out = description;
  out.replace(at + key.size(), end - at - key.size(), file);
  return out;
}

QString FileOf(const QString& image) {
  const QString key = QStringLiteral("file='");
  if (!image.startsWith(key)) return image;
  return image.mid(key.size(), image.indexOf(QLatin1Char('\''), key.size()) - key.size());
}

}  // namespace

PowerReport DecodePowerReport(std::span<const uint8_t> bytes) {
  std::array<uint8_t, powerreport::kSize> r{};
  std::copy_n(bytes.begin(), std::min(bytes.size(), r.size()), r.begin());
  PowerReport out;
  out.battery = std::min<int>(r[powerreport::kBattery], 100);
  out.chargeState = r[powerreport::kChargeState];
  out.wireless = r[powerreport::kWireless] != 0;
  out.phoneType = r[powerreport::kPhoneType];
  return out;
}

QString ChargeImage(int chargeState) {
  switch (chargeState) {
    case 0:
      return QStringLiteral("file='power/powered.png'");
    case 1:
      return QStringLiteral("file='power/powering.png'");
    case 2:
      return QStringLiteral("file='power/power.png'");
    default:
      return {};
  }
}

PhoneLook PhoneTypeLook(int phoneType) {
  const auto look = [](const char* name) {
    return PhoneLook{QString::fromLatin1(name), QStringLiteral("file='power/%1.png'").arg(QLatin1String(name))};
  };
  switch (phoneType) {
    case 1:
      return look("Phone_type_iphone");
    case 2:
      return look("Phone_type_samsung");
    case 3:
      return look("Phone_type_other");
    default:
      return look("Phone_type_no_device");
  }
}

bool CMpDevicePowerUI::IsClass(const QString& className) const {
  return className == QLatin1String("MpDevicePower") || ui::CHorizontalLayoutUI::IsClass(className);
}

bool CMpDevicePowerUI::Activate() {
  if (!ui::CHorizontalLayoutUI::Activate()) return false;
  if (manager_) manager_->SendNotify(this, ui::notify::kSelectChanged);
  return true;
}

ui::CControlUI* CMpDevicePowerUI::Sub(QPointer<ui::CControlUI>& cache, const char* name) {
  if (!cache) cache = FindSubControl(QString::fromLatin1(name));
  return cache;
}

void CMpDevicePowerUI::SetStyle(int style) {
  if (ui::CControlUI* layout = Sub(layout_, "device_power_Layout")) layout->SetVisible(style == 1);
}

void CMpDevicePowerUI::UpdatePower(std::span<const uint8_t> report) {
  report_.fill(0);
  std::copy_n(report.begin(), std::min(report.size(), report_.size()), report_.begin());
  const PowerReport power = DecodePowerReport(report_);
  if (auto* progress = qobject_cast<ui::CProgressUI*>(Sub(progress_, "device_Power_progress"))) {
    progress->SetValue(100 - power.battery);
    progress->SetVisible(true);
  }
  if (ui::CControlUI* value = Sub(value_, "device_power_value"))
    value->SetText(QStringLiteral("%1%2").arg(power.battery).arg(QLatin1Char('%')));
  if (kind_ == kMousePanel)
    if (ui::CControlUI* logo = Sub(logo_, "device_wuxian_logo")) logo->SetVisible(power.wireless);
  const QString charge = ChargeImage(power.chargeState);
  if (ui::CControlUI* status = Sub(status_, "device_power_status"); status && !charge.isEmpty())
    status->SetBkImage(WithFile(status->GetBkImage(), FileOf(charge)));
  if (kind_ == kMousePadPanel) {
    if (ui::CControlUI* phone = Sub(phone_, "device_phone_type")) {
      const PhoneLook look = PhoneTypeLook(power.phoneType);
      phone->SetText(look.textKey);
      phone->SetBkImage(WithFile(phone->GetBkImage(), FileOf(look.image)));
      phone->SetVisible(true);
    }
  }
}

}  // namespace controls
