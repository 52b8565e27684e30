#pragma once
// CColorSelectWnd: the modal window in which the user picks one colour, from
// the palette, 20 preset swatches, 20 favourite slots kept in
// "color_option_info.config" (shared by every device), or by typing red,
// green and blue. One exists at a time.

#include <cstdint>
#include <filesystem>
#include <optional>

#include <json/value.h>

#include "ui/UILib.h"

namespace editors {

inline constexpr int kPaletteSwatches = 20;

class CColorSelectWnd : public ui::WindowImplBase {
 public:
  // `userFile` and `factoryFile`: the palette file in the user data folder
  // and its factory copy (tests give their own).
  CColorSelectWnd(std::filesystem::path userFile, std::filesystem::path factoryFile);
  ~CColorSelectWnd() override;
  QString GetWindowClassName() const override { return QStringLiteral("ColorSelectWnd"); }
  QString GetSkinFile() override { return QStringLiteral("PalletDialog.xml"); }
  void Notify(ui::TNotifyUI& msg) override;
  int64_t HandleCustomMessage(const platform::Message& msg, bool& handled) override;

  void ShowColour(uint32_t argb);
  void ShowSevenColour(bool on);
  void SetSevenColourAvailable(bool available);
  void SetDpi(int dpi);
  int Dpi() const { return dpi_; }
  uint32_t GetColour() const { return currentColour_; }
  bool SevenColour() const { return sevenColour_; }
  int SelectedPreset() const { return selectedPreset_; }
  int SelectedFavourite() const { return selectedFavourite_; }
  // The window ran its initialisation (files read, colours shown).
  bool Initialised() const { return initialised_; }

  void LoadPresets();
  void LoadFavourites();
  void SavePresets();
  void SaveFavourites();

  // The palette files of the program: the user data folder's and the factory copy.
  static std::filesystem::path UserFile();
  static std::filesystem::path FactoryFile();
  // The open window, if any.
  static CColorSelectWnd* Open() { return open_; }

 private:
  void Initialise();
  void ColourChanged();
  void ShowEdits(uint32_t argb);
  void ReadEdits();
  ui::CControlUI* Swatch(const char* prefix, int i);

  std::filesystem::path userFile_, factoryFile_;
  Json::Value file_;  // the user file as last read
  uint32_t currentColour_ = 0xFF000000u;
  bool sevenColour_ = false;
  int selectedPreset_ = 4;
  int selectedFavourite_ = 0;
  int dpi_ = 96;
  bool initialised_ = false;
  ui::CColorPaletteUI* palette_ = nullptr;
  static CColorSelectWnd* open_;
};

// Opens the window modally over `owner` with `colour` (seven colours not
// offered) and returns the chosen colour, or nothing when the user cancelled
// or a window is open already.
std::optional<uint32_t> PickColour(QWidget* owner, uint32_t colour, int dpi);

}  // namespace editors

using editors::CColorSelectWnd;
