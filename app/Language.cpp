#include "app/Language.h"

#include "app/Environment.h"

namespace app {

void LanguageSwitcher::RebuildFonts(ui::CPaintManagerUI& pm, const QString& face) {
  pm.RemoveAllFonts(true);
  pm.RemoveAllFonts(false);
  for (const FontDesc& f : kLanguageFonts) pm.AddFont(f.id, face, f.size, f.bold, f.underline, false, true);
  pm.SetDefaultFont(face, kDefaultFontSize, false, false, false, true);
}

LanguageSwitcher::Result LanguageSwitcher::Apply(int index, ui::CPaintManagerUI& pm,
                                                 platform::SettingsStore& store) {
  Result result;
  if (index == current_) return result;
  result.applied = true;
  if (LanguageNeedsFontRebuild(current_, index)) {
    RebuildFonts(pm, QString::fromStdString(LanguageFontFace(index)));
    result.fontsRebuilt = true;
  }
  current_ = index;
  const std::vector<LanguageEntry> list = ReadLanguageList();
  if (index < 0 || size_t(index) >= list.size()) return result;
  const LanguageEntry& entry = list[size_t(index)];
  ui::CResourceManager& res = ui::CResourceManager::GetInstance();
  res.SetLanguage(QString::fromStdString(entry.name));
  res.LoadLanguage(QString::fromStdString(entry.file));
  res.ReloadText();
  WriteLanguageId(store, entry.id);
  return result;
}

}  // namespace app
