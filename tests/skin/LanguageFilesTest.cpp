// The offered languages: "Language.config" lists each with the ID, file and
// name text the font rule and the stored choice rely on, and every language
// file holds every text id the program shows (the layouts' texts and
// tooltips, the key function catalogue, the light mode names of the factory
// lighting file and every id of the hand-kept cn, en and tw files), with the
// same number placeholders as the English text.

#include <algorithm>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include "editors/core/KeyCatalogue.h"
#include "tools/SkinPreview.h"
#include "ui/UILib.h"
#include "ui/UIXml.h"

namespace {

struct Language {
  int id;
  std::string name;
  std::string file;
  std::string text;
};

QJsonDocument ReadJson(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QJsonDocument::fromJson(file.readAll());
}

std::vector<Language> ConfiguredLanguages() {
  std::vector<Language> out;
  const QJsonArray list =
      ReadJson(QStringLiteral(VX27_DEFAULT_DATA_DIR "/Language.config")).object().value("Language").toArray();
  for (const QJsonValue& v : list) {
    const QJsonObject o = v.toObject();
    out.push_back({o.value("Language_ID").toInt(-1), o.value("Language_name").toString().toStdString(),
                   o.value("Language_file").toString().toStdString(),
                   o.value("Language_text").toString().toStdString()});
  }
  return out;
}

// Id -> text of a language file as the program reads it (a later duplicate
// wins).
std::map<std::string, std::string> TextsOf(const std::string& file) {
  std::map<std::string, std::string> texts;
  QFile f(QStringLiteral(VX27_SKIN_DIR "/") + QString::fromStdString(file));
  if (!f.open(QIODevice::ReadOnly)) return texts;
  QString error;
  const auto doc = ui::ParseXml(f.readAll(), &error);
  if (!doc) return texts;
  for (const auto& node : doc->children)
    if (node.name == QLatin1String("Text"))
      texts[node.Attr(QStringLiteral("id")).toStdString()] = node.Attr(QStringLiteral("value")).toStdString();
  return texts;
}

std::multiset<std::string> Placeholders(const std::string& text) {
  static const std::regex kPlaceholder("%[-0-9.]*[dsuxXf]");
  std::multiset<std::string> out;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), kPlaceholder); it != std::sregex_iterator(); ++it)
    out.insert(it->str());
  return out;
}

// A text made of digits and signs only ("0%") is shown as it stands.
bool HasLetter(const QString& text) {
  return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
}

void CollectIds(ui::CControlUI* c, std::set<std::string>& ids) {
  if (c->IsResourceText() && HasLetter(c->GetRawText())) ids.insert(c->GetRawText().toStdString());
  if (!c->GetToolTip().isEmpty()) ids.insert(c->GetToolTip().toStdString());
  if (auto* box = qobject_cast<ui::CContainerUI*>(c))
    for (int i = 0; i < box->GetCount(); ++i) CollectIds(box->GetItemAt(i), ids);
}

// The text ids of every layout of the skin, built with no language loaded
// (a tooltip then reads back as its id).
std::set<std::string> LayoutIds() {
  const QString skin = QStringLiteral(VX27_SKIN_DIR);
  ui::CPaintManagerUI::SetResourcePath(skin);
  ui::CResourceManager::GetInstance().ResetResourceMap();
  EXPECT_TRUE(ui::CResourceManager::GetInstance().LoadResource(QStringLiteral("res.xml")));
  ui::CResourceManager::GetInstance().ResetLanguage();
  tools::RegisterPreviewControls();
  std::set<std::string> ids;
  for (QDirIterator it(skin, {QStringLiteral("*.xml")}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
    const QString path = it.next();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) continue;
    QString error;
    const auto doc = ui::ParseXml(file.readAll(), &error);
    if (!doc || doc->name == QLatin1String("Language") || doc->name == QLatin1String("Res")) continue;
    ui::CPaintManagerUI pm;
    tools::SkinPreviewCallback callback(&pm);
    ui::CDialogBuilder builder;
    std::unique_ptr<ui::CControlUI> root(builder.Create(QDir(skin).relativeFilePath(path), {}, &callback, &pm));
    if (root) CollectIds(root.get(), ids);
  }
  return ids;
}

// Ids the program itself puts on controls: the key function catalogue and
// the light mode and area names of the factory lighting file.
std::set<std::string> CodeIds() {
  std::set<std::string> ids;
  for (auto rows : {editors::MouseButtonRows(), editors::DpiRows(), editors::SystemRows(), editors::MediaRows(),
                    editors::ShortcutRows(), editors::KeyboardRows()})
    for (const editors::CatalogueRow& row : rows)
      if (row.textId && *row.textId) ids.insert(row.textId);
  const QByteArray light = [] {
    QFile f(QStringLiteral(VX27_DEFAULT_DATA_DIR "/default_light.json"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }();
  static const std::regex kLightName("\"LightName\"\\s*:\\s*\"([^\"]+)\"");
  const std::string text = light.toStdString();
  for (auto it = std::sregex_iterator(text.begin(), text.end(), kLightName); it != std::sregex_iterator(); ++it)
    ids.insert((*it)[1].str());
  return ids;
}

TEST(LanguageFiles, TheListHasEveryLanguageOfTheFontRuleWithItsIdAndOwnName) {
  struct Expected {
    const char* name;
    const char* ownName;
  };
  // Index i has ID 510 + 10 i; 0, 2 and 15 are the scripts with their own
  // font face (Simplified Chinese, Traditional Chinese, Thai).
  const Expected kExpected[] = {
      {"cn", "简体中文"}, {"en", "English"},    {"tw", "繁體中文"},   {"ja", "日本語"},
      {"ko", "한국어"},   {"de", "Deutsch"},    {"fr", "Français"},   {"es", "Español"},
      {"pt", "Português"}, {"it", "Italiano"},  {"ru", "Русский"},    {"pl", "Polski"},
      {"tr", "Türkçe"},   {"vi", "Tiếng Việt"}, {"id", "Bahasa Indonesia"}, {"th", "ไทย"},
  };
  const std::vector<Language> languages = ConfiguredLanguages();
  ASSERT_EQ(languages.size(), std::size(kExpected));
  for (size_t i = 0; i < languages.size(); ++i) {
    SCOPED_TRACE(kExpected[i].name);
    EXPECT_EQ(languages[i].name, kExpected[i].name);
    EXPECT_EQ(languages[i].id, 510 + 10 * int(i));
    EXPECT_EQ(languages[i].file, std::string("lan_") + kExpected[i].name + ".xml");
    EXPECT_EQ(languages[i].text, std::string("language_name_") + kExpected[i].name);
  }
  // Every file names every language in that language's own words.
  for (const Language& file : languages) {
    const auto texts = TextsOf(file.file);
    ASSERT_FALSE(texts.empty()) << file.file;
    for (size_t i = 0; i < languages.size(); ++i) {
      const auto it = texts.find(languages[i].text);
      ASSERT_NE(it, texts.end()) << file.file << " lacks " << languages[i].text;
      EXPECT_EQ(it->second, kExpected[i].ownName) << file.file;
    }
  }
}

TEST(LanguageFiles, EveryFileHasEveryIdUsedWithTheEnglishPlaceholders) {
  std::set<std::string> used = LayoutIds();
  EXPECT_GT(used.size(), 100u) << "the layouts' ids were collected";
  const std::set<std::string> code = CodeIds();
  EXPECT_GT(code.size(), 150u) << "the catalogue and the light names were collected";
  used.insert(code.begin(), code.end());
  for (const char* hand : {"lan_cn.xml", "lan_en.xml", "lan_tw.xml"})
    for (const auto& [id, text] : TextsOf(hand)) used.insert(id);
  // Texts the program composes into messages.
  for (const char* id : {"控制灯光", "不控制灯光", "message_text_16", "message_text_26", "message_text_34",
                         "message_text_35"})
    used.insert(id);

  const auto english = TextsOf("lan_en.xml");
  for (const Language& language : ConfiguredLanguages()) {
    SCOPED_TRACE(language.file);
    const auto texts = TextsOf(language.file);
    ASSERT_FALSE(texts.empty());
    ASSERT_TRUE(ui::CResourceManager::GetInstance().LoadLanguage(QString::fromStdString(language.file)));
    for (const std::string& id : used) {
      EXPECT_FALSE(ui::CResourceManager::GetInstance().GetText(QString::fromStdString(id)).isNull())
          << "lacks " << id;
      const auto en = english.find(id);
      const auto own = texts.find(id);
      if (en != english.end() && own != texts.end()) {
        EXPECT_EQ(Placeholders(own->second), Placeholders(en->second)) << id << ": " << own->second;
      }
    }
    // A translated file is not the English one under another name.
    if (language.name != "en") {
      for (const char* id : {"set_language_text", "UpdateTiShiText", "message_text_34", "控制灯光"})
        EXPECT_NE(texts.at(id), english.at(id)) << id;
    }
  }
  ui::CResourceManager::GetInstance().ResetLanguage();
}

}  // namespace
