#include "editors/CColorSelectWnd.h"

#include <memory>

#include "editors/CLightControlUI.h"
#include "platform/Messages.h"
#include "platform/Paths.h"
#include "platform/Trace.h"
#include "profiles/JsonFile.h"
#include "profiles/ProfileFolders.h"
#include "profiles/Text.h"
#include "ui/UIAuxWindow.h"

namespace editors {
namespace {

constexpr const char* kFileName = "color_option_info.config";
constexpr const char* kRoot = "coloroptioninfo";
constexpr const char* kPresets = "palletDialogcoloroption";
constexpr const char* kPresetSelected = "palletDialogcoloroption_selectitem";
constexpr const char* kFavourites = "palletDialogcollectcoloroption";
constexpr const char* kFavouriteSelected = "palletDialogcollectcoloroption_selectitem";
constexpr const char* kSevenColourImage = "common/base1.png";
constexpr const char* kDpiError = "SET_WND DPI SET ERROR";
const QString kHolds = QStringLiteral("1");  // a favourite slot's user data when it holds a colour
constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kPopupVisible = 0x90000000;  // WS_POPUP | WS_VISIBLE
constexpr uint32_t kToolWindow = 0x00000080;    // WS_EX_TOOLWINDOW

const Json::Value& Member(const Json::Value& v, const char* key) {
  return v.isObject() && v.isMember(key) ? v[key] : Json::Value::nullSingleton();
}

std::optional<uint32_t> ParseHex(const Json::Value& v) {
  if (!v.isString()) return std::nullopt;
  try {
    return uint32_t(std::stoul(v.asString(), nullptr, 16));
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace

CColorSelectWnd* CColorSelectWnd::open_ = nullptr;

CColorSelectWnd::CColorSelectWnd(std::filesystem::path userFile, std::filesystem::path factoryFile)
    : userFile_(std::move(userFile)), factoryFile_(std::move(factoryFile)) {
  if (!open_) open_ = this;
}

CColorSelectWnd::~CColorSelectWnd() {
  if (open_ == this) open_ = nullptr;
}

std::filesystem::path CColorSelectWnd::UserFile() { return platform::UserDataRoot() / kFileName; }
std::filesystem::path CColorSelectWnd::FactoryFile() { return profiles::DefaultDataFolder() / kFileName; }

ui::CControlUI* CColorSelectWnd::Swatch(const char* prefix, int i) {
  return FindControl(QString::fromLatin1(prefix) + QString::number(i));
}

// ---- notifications ---------------------------------------------------------

void CColorSelectWnd::Notify(ui::TNotifyUI& msg) {
  namespace n = ui::notify;
  if (msg.sType == n::kWindowInit) return Initialise();
  if (!msg.pSender) return WindowImplBase::Notify(msg);
  const QString name = msg.pSender->GetName();
  const auto index = [&](const char* prefix) {
    const QString p = QString::fromLatin1(prefix);
    if (!name.startsWith(p)) return -1;
    bool ok = false;
    const int i = name.mid(p.size()).toInt(&ok);
    return ok ? i : -1;
  };
  const auto selected = [&] {
    auto* option = qobject_cast<ui::COptionUI*>(msg.pSender);
    return !option || option->IsSelected();
  };
  if (msg.sType == n::kColorChanged && name == QLatin1String("Pallet")) {
    if (palette_) currentColour_ = palette_->GetSelectColor();
    ColourChanged();
    ShowEdits(currentColour_);
  } else if (msg.sType == n::kSelectChanged && index("collect_color_option_") >= 0) {
    if (!selected()) return;
    selectedFavourite_ = index("collect_color_option_");
    if (msg.pSender->GetUserData() != kHolds) return;
    SaveFavourites();
    const uint32_t c = msg.pSender->GetBkColor();
    if (auto* show = FindControl(QStringLiteral("color_show_btn"))) show->SetBkColor(c);
    ShowSevenColour(false);
    if (palette_) palette_->SetSelectColor(c);
    ShowEdits(c);
  } else if (msg.sType == n::kSelectChanged && index("color_option_") >= 0) {
    if (!selected()) return;
    selectedPreset_ = index("color_option_");
    SavePresets();
    currentColour_ = msg.pSender->GetBkColor();
    if (palette_) palette_->SetSelectColor(currentColour_);
    ColourChanged();
    ShowEdits(currentColour_);
  } else if (msg.sType == n::kCheckClick && name == QLatin1String("7color")) {
    auto* option = qobject_cast<ui::COptionUI*>(msg.pSender);
    sevenColour_ = option && option->IsSelected();
    if (auto* show = FindControl(QStringLiteral("color_show_btn")))
      show->SetBkImage(sevenColour_ ? QString::fromLatin1(kSevenColourImage) : QString());
  } else if (msg.sType == n::kKillFocus && name.startsWith(QLatin1String("color_edit_"))) {
    ReadEdits();
  } else if (msg.sType == n::kClick) {
    if (name == QLatin1String("okbtn")) {
      auto* show = FindControl(QStringLiteral("color_show_btn"));
      currentColour_ = show ? show->GetBkColor() : 0;
      return Close(palette_ ? 1 : 2);
    }
    if (name == QLatin1String("laterbtn")) return Close(0);
    if (ui::HandleTitleButtonClick(*this, msg)) {
      if (name == QLatin1String("maxbtn") || name == QLatin1String("restorebtn"))
        ui::SyncZoomButtons(m_pm, name == QLatin1String("maxbtn"));
      return;
    }
  }
  WindowImplBase::Notify(msg);
}

int64_t CColorSelectWnd::HandleCustomMessage(const platform::Message& msg, bool& handled) {
  handled = false;
  if (msg.id == ui::wm::WM_DPICHANGED) {
    SetDpi(int(msg.wParam & 0xFFFF));
    m_pm.ResetDPIAssets();
    if (ui::CControlUI* root = m_pm.GetRoot()) root->NeedUpdate();
    handled = true;
  } else if (msg.id == platform::msg::UM_LANGUAGE_CHANGED) {
    if (ui::CControlUI* root = m_pm.GetRoot()) root->NeedUpdate();
    m_pm.UpdateLayout();
    if (QWidget* w = GetHWND()) w->update();
    handled = true;
  }
  // SC_CLOSE closes this window with result 0 (the base does so); it never
  // ends the program.
  return 0;
}

// ---- state -----------------------------------------------------------------

void CColorSelectWnd::Initialise() {
  palette_ = qobject_cast<ui::CColorPaletteUI*>(FindControl(QStringLiteral("Pallet")));
  file_ = profiles::LoadJsonFile(userFile_);
  if (file_.isNull()) {
    // A missing or broken user file is replaced by the factory copy.
    file_ = profiles::LoadJsonFile(factoryFile_);
    platform::EnsureFolder(userFile_.parent_path());
    (void)profiles::SaveJsonFile(userFile_, file_);
  }
  ShowColour(currentColour_);
  ShowSevenColour(sevenColour_);
  LoadPresets();
  LoadFavourites();
  initialised_ = true;
}

void CColorSelectWnd::ShowColour(uint32_t argb) {
  if (auto* show = FindControl(QStringLiteral("color_show_btn"))) {
    show->SetBkImage({});
    show->SetBkColor(argb);
  }
  if (palette_) palette_->SetSelectColor(argb);
  currentColour_ = argb;
  ShowEdits(argb);
}

void CColorSelectWnd::ShowEdits(uint32_t argb) {
  const uint8_t bytes[] = {uint8_t(argb >> 16), uint8_t(argb >> 8), uint8_t(argb)};
  const char* const edits[] = {"color_edit_r", "color_edit_g", "color_edit_b"};
  for (int i = 0; i < 3; ++i)
    if (auto* e = FindControl(QString::fromLatin1(edits[i]))) e->SetText(QString::number(bytes[i]));
}

void CColorSelectWnd::ReadEdits() {
  const char* const edits[] = {"color_edit_r", "color_edit_g", "color_edit_b"};
  uint32_t rgb[3] = {};
  for (int i = 0; i < 3; ++i) {
    auto* e = FindControl(QString::fromLatin1(edits[i]));
    if (!e) continue;
    const QString text = e->GetText().trimmed();
    rgb[i] = EditByte(text);
    // What was stored and what the edit says agree again.
    if (text.isEmpty() || text.startsWith(QLatin1Char('-')) || (rgb[i] == 255 && text != QLatin1String("255")))
      e->SetText(QString::number(rgb[i]));
  }
  currentColour_ = 0xFF000000u | rgb[0] << 16 | rgb[1] << 8 | rgb[2];
  if (palette_) palette_->SetSelectColor(currentColour_);
  ColourChanged();
}

void CColorSelectWnd::ColourChanged() {
  auto* slot = qobject_cast<ui::COptionUI*>(Swatch("collect_color_option_", selectedFavourite_));
  if (slot && slot->IsSelected()) {
    slot->SetBkColor(currentColour_);
    slot->SetSelectedBkColor(currentColour_);
    slot->Selected(true, false);
    slot->SetUserData(kHolds);
    slot->SetBorderSize(0);
    SaveFavourites();
  }
  if (auto* show = FindControl(QStringLiteral("color_show_btn"))) show->SetBkColor(currentColour_);
  ShowSevenColour(false);
}

void CColorSelectWnd::ShowSevenColour(bool on) {
  sevenColour_ = on;
  if (auto* o = qobject_cast<ui::COptionUI*>(FindControl(QStringLiteral("7color")))) o->Selected(on, false);
  if (auto* show = FindControl(QStringLiteral("color_show_btn")))
    show->SetBkImage(on ? QString::fromLatin1(kSevenColourImage) : QString());
}

void CColorSelectWnd::SetSevenColourAvailable(bool available) {
  auto* option = qobject_cast<ui::COptionUI*>(FindControl(QStringLiteral("7color")));
  if (option) {
    option->SetEnabled(available);
    if (!available) option->Selected(false, false);
  }
  if (auto* layout = FindControl(QStringLiteral("7color_layout"))) layout->SetVisible(available);
}

void CColorSelectWnd::SetDpi(int dpi) {
  dpi = ui::AcceptedDpi(dpi, kDpiError);
  dpi_ = dpi;
  m_pm.SetDPI(dpi);
}

// ---- the palette file ------------------------------------------------------

void CColorSelectWnd::LoadPresets() {
  if (file_.isNull()) return;
  const Json::Value& selected = Member(Member(file_, kRoot), kPresetSelected);
  if (selected.isIntegral()) selectedPreset_ = selected.asInt();
}

void CColorSelectWnd::LoadFavourites() {
  if (file_.isNull()) return;
  const Json::Value& root = Member(file_, kRoot);
  const Json::Value& list = Member(root, kFavourites);
  for (int i = 0; i < kPaletteSwatches; ++i) {
    const Json::Value& entry = list.isArray() && Json::ArrayIndex(i) < list.size() ? list[i] : Json::Value::nullSingleton();
    const std::optional<uint32_t> colour = ParseHex(Member(entry, "color"));
    auto* slot = qobject_cast<ui::COptionUI*>(Swatch("collect_color_option_", i));
    if (!colour || !slot) continue;
    const QString data = QString::fromStdString(Member(entry, "UserData").asString());
    slot->SetUserData(data);
    const bool holds = data == kHolds;
    slot->SetBkColor(holds ? *colour : kWhite);
    slot->SetSelectedBkColor(holds ? *colour : kWhite);
    if (holds) slot->SetBorderSize(0);
  }
  // No slot takes colour changes until the user selects one.
  if (!Member(root, kFavouriteSelected).isNull()) selectedFavourite_ = -1;
}

void CColorSelectWnd::SavePresets() {
  Json::Value file = profiles::LoadJsonFile(userFile_);
  Json::Value& root = file[kRoot];
  for (int i = 0; i < kPaletteSwatches; ++i)
    if (auto* s = Swatch("color_option_", i)) root[kPresets][i]["color"] = profiles::HexString8(s->GetBkColor());
  root[kPresetSelected] = selectedPreset_;
  (void)profiles::SaveJsonFile(userFile_, file);
}

void CColorSelectWnd::SaveFavourites() {
  Json::Value file = profiles::LoadJsonFile(userFile_);
  Json::Value& root = file[kRoot];
  for (int i = 0; i < kPaletteSwatches; ++i) {
    auto* s = Swatch("collect_color_option_", i);
    if (!s) continue;
    root[kFavourites][i]["color"] = profiles::HexString8(s->GetBkColor());
    root[kFavourites][i]["UserData"] = s->GetUserData().toStdString();
  }
  root[kFavouriteSelected] = selectedFavourite_;
  (void)profiles::SaveJsonFile(userFile_, file);
}

std::optional<uint32_t> PickColour(QWidget* owner, uint32_t colour, int dpi) {
  if (CColorSelectWnd::Open()) return std::nullopt;
  // The window ends with its modal run; this call owns it.
  auto wnd = std::make_unique<CColorSelectWnd>(CColorSelectWnd::UserFile(), CColorSelectWnd::FactoryFile());
  if (!wnd->Create(owner, QStringLiteral("PalletDialog"), kPopupVisible, kToolWindow)) return std::nullopt;
  wnd->ResizeClient(800, 572);
  wnd->SetDpi(dpi);
  wnd->ShowColour(colour);
  wnd->SetSevenColourAvailable(false);
  wnd->CenterWindow();
  if (wnd->ShowModal() != 1) return std::nullopt;
  return wnd->GetColour();
}

}  // namespace editors
