// The colour palette window with the program's skin: its edits, presets and
// favourites, what reaches the palette file, and how it closes.

#include <cstdlib>
#include <filesystem>
#include <mutex>

#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include "editors/CColorSelectWnd.h"
#include "platform/Trace.h"
#include "profiles/JsonFile.h"
#include "tests/support/EventLoop.h"

namespace {

namespace fs = std::filesystem;
using editors::CColorSelectWnd;

class Palette : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* bin = std::getenv("VX27_INSTALL_DIR");
    ASSERT_NE(bin, nullptr);
    install_ = bin;
    ui::CPaintManagerUI::SetInstancePath(QString::fromStdString(install_.string() + "/"));
    ui::CPaintManagerUI::SetResourcePath(QString::fromStdString(install_.string() + "/skin/"));
    ui::CResourceManager::GetInstance().ResetResourceMap();
    ASSERT_TRUE(ui::CResourceManager::GetInstance().LoadResource(QStringLiteral("res.xml")));
    ASSERT_TRUE(ui::CResourceManager::GetInstance().LoadLanguage(QStringLiteral("lan_en.xml")));
  }
  fs::path UserFile() const { return fs::path(dir_.path().toStdString()) / "sub" / "color_option_info.config"; }
  fs::path FactoryFile() const { return install_ / "DefaultData" / "color_option_info.config"; }

  // A window, created and initialised.
  std::unique_ptr<CColorSelectWnd> Open() {
    auto w = std::make_unique<CColorSelectWnd>(UserFile(), FactoryFile());
    EXPECT_TRUE(w->Create(nullptr, QStringLiteral("PalletDialog"), 0x90000000, 0x80));
    EXPECT_TRUE(testsupport::WaitFor([&] { return w->Initialised(); }));
    return w;
  }
  static void Send(CColorSelectWnd& w, const QString& type, const char* name) {
    ui::TNotifyUI msg;
    msg.sType = type;
    msg.pSender = w.FindControl(QString::fromLatin1(name));
    ASSERT_TRUE(msg.pSender) << name;
    w.Notify(msg);
  }
  static void Select(CColorSelectWnd& w, const char* name) {
    auto* o = qobject_cast<ui::COptionUI*>(w.FindControl(QString::fromLatin1(name)));
    ASSERT_TRUE(o) << name;
    o->Selected(true, false);
    Send(w, QStringLiteral("selectchanged"), name);
  }
  static void Type(CColorSelectWnd& w, const char* edit, const char* text) {
    w.FindControl(QString::fromLatin1(edit))->SetText(QString::fromLatin1(text));
    Send(w, QStringLiteral("killfocus"), edit);
  }
  static QString Text(CColorSelectWnd& w, const char* name) { return w.FindControl(QString::fromLatin1(name))->GetText(); }

  fs::path install_;
  QTemporaryDir dir_;
};

TEST_F(Palette, AMissingUserFileIsReplacedByTheFactoryCopy) {
  auto w = Open();
  EXPECT_EQ(profiles::LoadJsonFile(UserFile()), profiles::LoadJsonFile(FactoryFile()));
  EXPECT_EQ(w->SelectedFavourite(), -1) << "no slot takes colours until one is selected";
}

TEST_F(Palette, TheEditsClampAndKeepTheOtherComponents) {
  auto w = Open();
  w->ShowColour(0xFF102030);
  struct Case {
    const char* edit;
    const char* typed;
    const char* shown;
    uint32_t colour;
  };
  const Case cases[] = {
      {"color_edit_b", "300", "255", 0xFF1020FF},
      {"color_edit_g", "", "0", 0xFF1000FF},
      {"color_edit_r", "-7", "0", 0xFF0000FF},
      {"color_edit_r", "128", "128", 0xFF8000FF},
  };
  for (const Case& c : cases) {
    Type(*w, c.edit, c.typed);
    EXPECT_EQ(Text(*w, c.edit), QString::fromLatin1(c.shown)) << c.edit << " " << c.typed;
    EXPECT_EQ(w->GetColour(), c.colour) << c.edit << " " << c.typed;
    EXPECT_EQ(w->FindControl(QStringLiteral("color_show_btn"))->GetBkColor(), c.colour);
  }
}

TEST_F(Palette, AnEmptyFavouriteTakesTheNextColourAndKeepsItAfterReopening) {
  {
    auto w = Open();
    Select(*w, "collect_color_option_2");
    EXPECT_EQ(w->SelectedFavourite(), 2);
    EXPECT_EQ(w->FindControl(QStringLiteral("color_show_btn"))->GetBkColor(), w->GetColour())
        << "an empty slot shows nothing new";
    Select(*w, "color_option_5");
    const uint32_t preset = w->FindControl(QStringLiteral("color_option_5"))->GetBkColor();
    EXPECT_EQ(w->GetColour(), preset);
    EXPECT_EQ(w->SelectedPreset(), 5);
    const Json::Value file = profiles::LoadJsonFile(UserFile());
    const Json::Value& slot = file["coloroptioninfo"]["palletDialogcollectcoloroption"][2];
    EXPECT_EQ(slot["UserData"].asString(), "1");
    EXPECT_EQ(slot["color"].asString(), profiles::LoadJsonFile(UserFile())["coloroptioninfo"]["palletDialogcoloroption"][5]["color"].asString());
    EXPECT_EQ(file["coloroptioninfo"]["palletDialogcoloroption_selectitem"].asInt(), 5);
  }
  auto again = Open();
  auto* slot = qobject_cast<ui::COptionUI*>(again->FindControl(QStringLiteral("collect_color_option_2")));
  EXPECT_EQ(slot->GetUserData(), QStringLiteral("1"));
  EXPECT_EQ(slot->GetBkColor(), again->FindControl(QStringLiteral("color_option_5"))->GetBkColor());
  EXPECT_EQ(again->SelectedFavourite(), -1);
  EXPECT_EQ(again->SelectedPreset(), 5);
  // A colour change now leaves the stored favourite alone.
  Type(*again, "color_edit_r", "1");
  EXPECT_NE(slot->GetBkColor(), again->GetColour());
  // Selecting the stored slot shows its colour.
  Select(*again, "collect_color_option_2");
  EXPECT_EQ(again->FindControl(QStringLiteral("color_show_btn"))->GetBkColor(), slot->GetBkColor());
  EXPECT_EQ(Text(*again, "color_edit_r"), QString::number((slot->GetBkColor() >> 16) & 0xFF));
}

TEST_F(Palette, SevenColoursAndDpi) {
  std::vector<std::string> lines;
  std::mutex lock;
  platform::ScopedTraceSink sink([&](std::string_view l) {
    std::lock_guard g(lock);
    lines.emplace_back(l);
  });
  auto w = Open();
  auto* show = w->FindControl(QStringLiteral("color_show_btn"));
  w->ShowSevenColour(true);
  EXPECT_EQ(show->GetBkImage(), QStringLiteral("common/base1.png"));
  w->ShowColour(0xFF00FF00);
  EXPECT_TRUE(show->GetBkImage().isEmpty());
  w->SetSevenColourAvailable(false);
  EXPECT_FALSE(w->FindControl(QStringLiteral("7color_layout"))->IsVisible());
  EXPECT_FALSE(w->FindControl(QStringLiteral("7color"))->IsEnabled());
  w->SetDpi(144);
  EXPECT_EQ(w->Dpi(), 144);
  w->SetDpi(100);
  EXPECT_EQ(w->Dpi(), 96);
  std::lock_guard g(lock);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "SET_WND DPI SET ERROR"), lines.end());
}

TEST_F(Palette, ClosingResults) {
  struct Case {
    const char* name;
    std::function<void(CColorSelectWnd&)> action;
    int result;
  };
  const Case cases[] = {
      {"ok", [](CColorSelectWnd& w) { Send(w, QStringLiteral("click"), "okbtn"); }, 1},
      {"close button", [](CColorSelectWnd& w) { Send(w, QStringLiteral("click"), "closebtn"); }, 0},
      {"cancel", [](CColorSelectWnd& w) { Send(w, QStringLiteral("click"), "laterbtn"); }, 0},
      {"system close", [](CColorSelectWnd& w) { w.SendMessage(ui::wm::WM_SYSCOMMAND, ui::wm::SC_CLOSE, 0); }, 0},
  };
  for (const Case& c : cases) {
    auto w = Open();
    w->ShowColour(0xFF123456);
    CColorSelectWnd* raw = w.get();
    QTimer::singleShot(0, [raw, &c] { c.action(*raw); });
    EXPECT_EQ(w->ShowModal(), c.result) << c.name;
    EXPECT_EQ(w->GetColour(), 0xFF123456u) << c.name;
  }
  // One window at a time: a second pick while one is open does nothing.
  auto open = std::make_unique<CColorSelectWnd>(UserFile(), FactoryFile());
  EXPECT_EQ(CColorSelectWnd::Open(), open.get());
  EXPECT_FALSE(editors::PickColour(nullptr, 0xFFFFFFFF, 96));
}

TEST_F(Palette, Screenshot) {
  auto w = Open();
  Select(*w, "collect_color_option_0");
  Select(*w, "color_option_2");
  Select(*w, "collect_color_option_1");
  Select(*w, "color_option_11");
  w->ShowColour(0xFF3D8BFD);
  w->ShowWindow(true);
  testsupport::WaitFor([] { return false; }, 100);
  EXPECT_FALSE(ui::SaveScreenshot(w->GetHWND(), QStringLiteral("editors_palette_favourites")).isEmpty());
}

}  // namespace
