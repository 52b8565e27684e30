#include <gtest/gtest.h>

#include <array>

#include "app/Routing.h"

namespace {

void Noop(app::CMainWnd&, ui::TNotifyUI&, int) {}

constexpr std::array<app::Route, 4> kTable{{
    {"click", "key_", app::Match::Family, Noop},
    {"click", "keysave", app::Match::Name, Noop},
    {"click", "Light_Set", app::Match::NameExactCase, Noop},
    {"selectchanged", "key_", app::Match::Family, Noop},
}};

TEST(Routing, FindsRowsByTypeNameAndCaseRule) {
  struct Case {
    const char* type;
    const char* name;
    int row;  // -1: no row
  };
  const Case cases[] = {
      {"click", "key_12", 0},        {"click", "KEY_3", 0},         {"click", "key_", -1},
      {"click", "key_x1", -1},       {"click", "keysave", 1},       {"click", "KeySave", 1},
      {"click", "keysave1", -1},     {"click", "Light_Set", 2},     {"click", "light_set", -1},
      {"selectchanged", "key_0", 3}, {"itemselect", "key_0", -1},   {"click", "unknown", -1},
      {"click", "key_99999999999", -1},
  };
  for (const Case& c : cases) {
    const app::Route* row = app::FindRoute(kTable, QString::fromLatin1(c.type), QString::fromLatin1(c.name));
    const int found = row ? int(row - kTable.data()) : -1;
    EXPECT_EQ(found, c.row) << c.type << " " << c.name;
  }
}

TEST(Routing, SplitsTrailingDigits) {
  EXPECT_EQ(app::SplitControlName(QStringLiteral("light_0_12")).prefix, QStringLiteral("light_0_"));
  EXPECT_EQ(app::SplitControlName(QStringLiteral("light_0_12")).index, 12);
  EXPECT_EQ(app::SplitControlName(QStringLiteral("closebtn")).index, -1);
}

}  // namespace
