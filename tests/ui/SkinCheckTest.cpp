// Layout typos are visible: the builder traces an unknown element or
// attribute, a name used twice in one page and a text id missing from the
// language, each with its file and line; and every layout of the program's
// skin builds without such a trace.

#include <QDirIterator>

#include "tests/ui/UiTestSupport.h"
#include "tools/SkinPreview.h"
#include "ui/UIXml.h"

namespace {

std::vector<std::string> TypoLines(const uitest::TraceLines& trace) {
  std::vector<std::string> out;
  for (const std::string& line : trace.lines)
    for (const char* kind : {"unknown attribute", "unknown control class", "used twice", "not in the language file",
                             "is no container"})
      if (line.find(kind) != std::string::npos) out.push_back(line);
  return out;
}

TEST(SkinCheckTest, EachKindOfTypoIsTracedWithFileAndLine) {
  uitest::UseTestSkin();
  uitest::TraceLines trace;
  ui::CPaintManagerUI pm;
  ui::CDialogBuilder builder;
  std::unique_ptr<ui::CControlUI> root(builder.Create(QStringLiteral("typos.xml"), {}, nullptr, &pm));
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(TypoLines(trace),
            (std::vector<std::string>{
                "ui: typos.xml:5: unknown attribute \"bkcolour\" on Button \"ok\"",
                "ui: typos.xml:6: unknown control class \"Buton\" (name \"cancel\") skipped",
                "ui: typos.xml:7: text id \"no_such_text\" (text of \"title\") is not in the language file",
                "ui: typos.xml:10: text id \"tip_missing_here\" (tooltip of \"note\") is not in the language file",
                "ui: typos.xml:8: name \"ok\" is used twice in one page (first at typos.xml:5)",
            }));
}

// Every layout in skin/ (whatever is there: the check follows the skin as
// layouts are added), in each language, with the custom controls and the
// device page stand-ins vx27_render uses.
TEST(SkinCheckTest, EveryLayoutOfTheSkinBuildsWithoutATypo) {
  const QString skin = QStringLiteral(VX27_SKIN_DIR);
  ui::CPaintManagerUI::SetResourcePath(skin);
  ui::CResourceManager::GetInstance().ResetResourceMap();
  ASSERT_TRUE(ui::CResourceManager::GetInstance().LoadResource(QStringLiteral("res.xml")));
  tools::RegisterPreviewControls();
  QStringList layouts;
  for (QDirIterator it(skin, {QStringLiteral("*.xml")}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
    const QString path = it.next();
    QString error;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const auto doc = ui::ParseXml(file.readAll(), &error);
    ASSERT_TRUE(doc) << path.toStdString() << ": " << error.toStdString();
    if (doc->name == QLatin1String("Language") || doc->name == QLatin1String("Res")) continue;
    layouts << QDir(skin).relativeFilePath(path);
  }
  ASSERT_GE(layouts.size(), 4);
  for (const char* language : {"lan_en.xml", "lan_cn.xml"}) {
    ASSERT_TRUE(ui::CResourceManager::GetInstance().LoadLanguage(QString::fromLatin1(language)));
    for (const QString& layout : layouts) {
      uitest::TraceLines trace;
      ui::CPaintManagerUI pm;
      tools::SkinPreviewCallback callback(&pm);
      ui::CDialogBuilder builder;
      std::unique_ptr<ui::CControlUI> root(builder.Create(layout, {}, &callback, &pm));
      EXPECT_NE(root, nullptr) << layout.toStdString();
      EXPECT_EQ(TypoLines(trace), std::vector<std::string>{}) << layout.toStdString() << " in " << language;
      EXPECT_TRUE(callback.failedPanels.isEmpty()) << layout.toStdString();
    }
  }
}

}  // namespace
