// Attribute values, image description strings, skin paths and image
// drawing (placement, fade and tint) that every control's look relies on.

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "tests/ui/UiTestSupport.h"

namespace {

TEST(RenderTest, ColoursParse) {
  struct Case { const char* text; uint32_t want; };
  const Case kCases[] = {
      {"#FF3D8BFD", 0xFF3D8BFD}, {"#3D8BFD", 0xFF3D8BFD},  // six digits: opaque
      {"0x80102030", 0x80102030}, {"0X00FFFFFF", 0x00FFFFFF}, {"4278190080", 0xFF000000},
      {" #FFFFFFFF ", 0xFFFFFFFF}, {"#GG0000", 7}, {"", 7}, {"red", 7},  // not colours: the fallback
  };
  for (const Case& c : kCases) EXPECT_EQ(ui::ParseColor(QString::fromUtf8(c.text), 7), c.want) << c.text;
  EXPECT_FALSE(ui::HasColor(0x00FFFFFF));  // alpha 0 means no colour
}

TEST(RenderTest, ImageDescriptionsParse) {
  // The forms the custom controls build with their format strings.
  ui::TDrawInfo a = ui::ParseImageString(QStringLiteral("file='keys/cap.png' source='0,0,40,30' "));
  EXPECT_TRUE(a.valid);
  EXPECT_EQ(a.file, QStringLiteral("keys/cap.png"));
  EXPECT_EQ(a.source, QRect(0, 0, 40, 30));
  ui::TDrawInfo b = ui::ParseImageString(QStringLiteral("res='pulse.png' fade='80'"));
  EXPECT_EQ(b.file, QStringLiteral("pulse.png"));
  EXPECT_EQ(b.fade, 80);
  ui::TDrawInfo c = ui::ParseImageString(QStringLiteral("file=\"x.png\" dest='2,3,12,13' corner='1,2,3,4' fade='999'"));
  EXPECT_EQ(c.dest, QRect(2, 3, 10, 10));
  EXPECT_EQ(c.corner, QMargins(1, 2, 3, 4));
  EXPECT_EQ(c.fade, 255);  // clamped
  EXPECT_EQ(ui::ParseImageString(QStringLiteral("common/bg.png")).file, QStringLiteral("common/bg.png"));
  EXPECT_FALSE(ui::ParseImageString(QString()).valid);
  EXPECT_FALSE(ui::ParseImageString(QStringLiteral("source='0,0,1,1'")).valid);  // no file
  EXPECT_FALSE(ui::ParseImageString(QStringLiteral("file='unterminated")).valid);
}

TEST(RenderTest, SkinPathsResolveIndexNamesBackslashesAndCase) {
  uitest::UseTestSkin();
  struct Case { const char* name; QSize size; };
  const Case kCases[] = {
      {"icons/mouse.svg", {32, 32}},
      {"icons\\mouse.svg", {32, 32}},   // a path written with backslashes
      {"ICONS/Mouse.SVG", {32, 32}},    // letter case differing from the file
      {"icon_close", {16, 16}},         // a name of the resource index
  };
  for (const Case& c : kCases) {
    const ui::TImageInfo* info = ui::CRenderEngine::GetImage(QString::fromUtf8(c.name));
    ASSERT_NE(info, nullptr) << c.name;
    EXPECT_EQ(QSize(info->nX, info->nY), c.size) << c.name;
  }
  uitest::TraceLines trace;
  EXPECT_EQ(ui::CRenderEngine::GetImage(QStringLiteral("icons/none.png")), nullptr);
  EXPECT_EQ(ui::CRenderEngine::GetImage(QStringLiteral("icons/none.png")), nullptr);
  EXPECT_EQ(std::count_if(trace.lines.begin(), trace.lines.end(),
                          [](const std::string& l) { return l.find("icons/none.png") != std::string::npos; }),
            1);  // a missing image is reported once
}

TEST(RenderTest, ImagesDrawPlacedFadedAndTinted) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QImage red(4, 4, QImage::Format_ARGB32);
  red.fill(QColor(255, 0, 0));
  const QString file = dir.filePath(QStringLiteral("red.png"));
  ASSERT_TRUE(red.save(file));

  auto draw = [&](const QString& description, uint32_t tint = 0, int level = 0, bool on = false) {
    QImage canvas(20, 20, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter p(&canvas);
    ui::CRenderEngine::DrawImageString(p, nullptr, QRect(0, 0, 20, 20), description, tint, level, on);
    p.end();
    return canvas;
  };
  QImage placed = draw(QStringLiteral("file='%1' dest='5,5,15,15'").arg(file));
  EXPECT_EQ(placed.pixelColor(10, 10), QColor(255, 0, 0));
  EXPECT_EQ(placed.pixelColor(2, 2).alpha(), 0);      // outside dest
  EXPECT_EQ(placed.pixelColor(17, 17).alpha(), 0);

  EXPECT_EQ(draw(QStringLiteral("file='%1' fade='0'").arg(file)).pixelColor(10, 10).alpha(), 0);
  EXPECT_NEAR(draw(QStringLiteral("file='%1' fade='128'").arg(file)).pixelColor(10, 10).alpha(), 128, 2);

  // Tinted at full level the image takes the colour; at level 0 it is untouched.
  EXPECT_EQ(draw(file, 0xFF0000FF, 255, true).pixelColor(10, 10), QColor(0, 0, 255));
  EXPECT_EQ(draw(file, 0xFF0000FF, 0, true).pixelColor(10, 10), QColor(255, 0, 0));
  const QColor half = draw(file, 0xFF0000FF, 128, true).pixelColor(10, 10);
  EXPECT_NEAR(half.red(), 127, 3);
  EXPECT_NEAR(half.blue(), 128, 3);
}

}  // namespace
