#pragma once
// Applying a language: the font table of the main window's paint manager for
// the language's script, the language's texts, and the stored choice.

#include "platform/Settings.h"
#include "ui/UILib.h"

namespace app {

class LanguageSwitcher {
 public:
  struct Result {
    bool applied = false;       // the index differed from the current one
    bool fontsRebuilt = false;  // the font table was rebuilt for it
  };

  // Switches to language `index` of "Language.config". The same index again
  // does nothing. An index the list does not have keeps the texts and stores
  // nothing.
  Result Apply(int index, ui::CPaintManagerUI& pm, platform::SettingsStore& store);
  int Current() const { return current_; }

  // Replaces every font of `pm` with the language table in `face`.
  static void RebuildFonts(ui::CPaintManagerUI& pm, const QString& face);

 private:
  int current_ = -1;
};

}  // namespace app
