// The message box, the about window, the skin frame and the main window's
// skin receiver, driven the way a user would: by clicking named controls.

#include <filesystem>
#include <fstream>

#include <QImage>
#include <gtest/gtest.h>

#include "app/AboutWnd.h"
#include "ui/UIAuxWindow.h"
#include "app/IniFile.h"
#include "app/MsgWnd.h"
#include "app/SkinFrame.h"
#include "app/SkinObserver.h"
#include "platform/Trace.h"
#include "tests/app/AppTestSupport.h"

namespace {

namespace fs = std::filesystem;
using apptest::Click;
using apptest::Control;

class MessageBoxTest : public apptest::SkinTest {};

TEST_F(MessageBoxTest, ReturnsConfirmOrCancelByTheButtonClicked) {
  struct Case {
    int buttons;
    const char* click;
    int want;
  } cases[] = {
      {0, "confirm_btn", 1},
      {0, "closebtn", 0},
      {1, "confirm_btn", 1},
      {1, "cancel_btn", 0},
  };
  for (const Case& c : cases) {
    bool cancelShown = false;
    apptest::WhenWindowShows("MsgWnd", [&](QWidget* box) {
      cancelShown = Control(box, "cancel_btn")->IsVisible();
      Click(Control(box, c.click));
    });
    EXPECT_EQ(app::ShowMessage(nullptr, QStringLiteral("message_title"), QStringLiteral("msg_confirm"), 96, true,
                               c.buttons),
              c.want)
        << c.click << " with buttons " << c.buttons;
    EXPECT_EQ(cancelShown, c.buttons == 1);
  }
}

TEST_F(MessageBoxTest, TextIsALanguageKeyOnlyWhenAskedAndEmptyTextsKeepTheLayouts) {
  struct Case {
    QString title, text;
    bool textIsKey;
    QString wantTitle, wantText;
  } cases[] = {
      {"about_title", "skin_reset_text", true, "About", "Default"},
      {"", "skin_reset_text", false, "Notice", "skin_reset_text"},
      {"Plain title", "", true, "Plain title", ""},
  };
  for (const Case& c : cases) {
    QString title, text;
    apptest::WhenWindowShows("MsgWnd", [&](QWidget* box) {
      title = Control(box, "MessageTitle")->GetText();
      text = Control(box, "MessageText")->GetText();
      Click(Control(box, "confirm_btn"));
    });
    EXPECT_EQ(app::ShowMessage(nullptr, c.title, c.text, 96, c.textIsKey, 0), 1);
    EXPECT_EQ(title, c.wantTitle);
    EXPECT_EQ(text, c.wantText);
  }
}

TEST(AuxWindowDpi, OnlyTheStandardValuesAreTaken) {
  std::vector<std::string> traced;
  platform::ScopedTraceSink sink([&](std::string_view l) { traced.emplace_back(l); });
  const std::pair<int, int> cases[] = {{48, 48}, {96, 96}, {144, 144}, {192, 192}, {100, 96}, {0, 96}, {240, 96}};
  for (auto [in, want] : cases) EXPECT_EQ(ui::AcceptedDpi(in, "MSG_WND DPI SET ERROR"), want) << in;
  EXPECT_EQ(std::count(traced.begin(), traced.end(), "MSG_WND DPI SET ERROR"), 3);
}

// Records what the skin observer broadcasts.
struct SkinLog : app::SkinReceiver {
  SkinLog() { app::GetSkinObserver().AddReceiver(this); }
  ~SkinLog() override { app::GetSkinObserver().RemoveReceiver(this); }
  int Receive(const app::SkinChangedParam& p) override {
    seen.push_back(p);
    return 1;
  }
  std::vector<app::SkinChangedParam> seen;
};

// A stand-in for the main window: something to hang the frame under.
class OwnerWnd : public ui::WindowImplBase {
 public:
  QString GetWindowClassName() const override { return QStringLiteral("OwnerWnd"); }
  QString GetSkinFile() override { return QStringLiteral("XML_MAIN"); }
};

class SkinFrameTest : public apptest::SkinTest {
 protected:
  void SetUp() override {
    apptest::SkinTest::SetUp();
    ASSERT_TRUE(owner_.Create(static_cast<QWidget*>(nullptr), QStringLiteral("owner"), 0, 0, 100, 100, 800, 572));
    owner_.ShowWindow(true);
    owner_.PaintManager().UpdateLayout();
  }
  // Opens a frame under the owner's skin button.
  std::unique_ptr<app::CSkinFrame> Open() {
    auto frame = std::make_unique<app::CSkinFrame>();
    frame->SetAskImage([this](QWidget*) { return customPath_; });
    EXPECT_TRUE(frame->Open(owner_, owner_.FindControl(QStringLiteral("skinbtn"))));
    frame->PaintManager().UpdateLayout();
    return frame;
  }
  fs::path Ini() const { return app::SkinSettingsFile(); }
  std::vector<ui::CControlUI*> All(app::CSkinFrame& f, const char* name) {
    const auto list = f.GetHWND()->findChildren<ui::CControlUI*>(QString::fromUtf8(name));
    return {list.begin(), list.end()};
  }

  OwnerWnd owner_;
  QString customPath_;
};

TEST_F(SkinFrameTest, HangsBelowTheSkinButtonWithTheRightEdgesAligned) {
  auto frame = Open();
  const QRect button = owner_.FindControl(QStringLiteral("skinbtn"))->GetPos();
  const QPoint buttonCorner = owner_.GetHWND()->mapToGlobal(QPoint(button.right() + 1, button.bottom() + 1));
  const QRect geo = frame->GetHWND()->geometry();
  EXPECT_EQ(geo.right() + 1, buttonCorner.x());
  EXPECT_EQ(geo.top(), buttonCorner.y());
}

TEST_F(SkinFrameTest, ImagesAreBroadcastAndWrittenColoursOnlyBroadcast) {
  SkinLog log;
  auto frame = Open();

  // A colour: broadcast, nothing written.
  Click(Control(frame->GetHWND(), "skin_color"));
  auto* tab = qobject_cast<ui::CTabLayoutUI*>(frame->FindControl(QStringLiteral("skin_tab")));
  ASSERT_NE(tab, nullptr);
  EXPECT_EQ(tab->GetCurSel(), 1);
  frame->PaintManager().UpdateLayout();
  const auto colours = All(*frame, "skin_color_btn");
  ASSERT_GE(colours.size(), 2u);
  Click(colours[1]);
  ASSERT_EQ(log.seen.size(), 1u);
  EXPECT_TRUE(log.seen[0].isColour);
  EXPECT_EQ(log.seen[0].colour, colours[1]->GetBkColor());
  EXPECT_FALSE(fs::exists(Ini())) << "a colour skin leaves main.ini alone";

  // An image: broadcast and written with FLAGS 1.
  Click(Control(frame->GetHWND(), "skin_image"));
  EXPECT_EQ(tab->GetCurSel(), 0);
  frame->PaintManager().UpdateLayout();
  const auto images = All(*frame, "skin_image_btn");
  ASSERT_GE(images.size(), 3u);
  Click(images[2]);
  ASSERT_EQ(log.seen.size(), 2u);
  EXPECT_FALSE(log.seen[1].isColour);
  EXPECT_EQ(log.seen[1].image, images[2]->GetBkImage().toStdString());
  EXPECT_EQ(app::ReadIniValue(Ini(), "SKINIMAGE", "FLAGS"), "1");
  EXPECT_EQ(app::ReadIniValue(Ini(), "SKINIMAGE", "IMAGE"), log.seen[1].image);

  // Reset: the default background, FLAGS 0.
  Click(Control(frame->GetHWND(), "skin_reset"));
  ASSERT_EQ(log.seen.size(), 3u);
  EXPECT_EQ(log.seen[2].image, "common/background.png");
  EXPECT_EQ(app::ReadIniValue(Ini(), "SKINIMAGE", "FLAGS"), "0");
  EXPECT_EQ(app::ReadIniValue(Ini(), "SKINIMAGE", "IMAGE"), "common/background.png");

  // A custom file: broadcast only; a cancelled dialog changes nothing.
  std::ifstream before(Ini());
  const std::string iniBefore((std::istreambuf_iterator<char>(before)), {});
  customPath_ = QStringLiteral("/home/user/Pictures/my skin.png");
  Click(Control(frame->GetHWND(), "skin_Custom"));
  ASSERT_EQ(log.seen.size(), 4u);
  EXPECT_EQ(log.seen[3].image, "/home/user/Pictures/my skin.png");
  customPath_.clear();
  Click(Control(frame->GetHWND(), "skin_Custom"));
  EXPECT_EQ(log.seen.size(), 4u);
  std::ifstream after(Ini());
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(after)), {}), iniBefore);
  EXPECT_TRUE(frame->IsWindow()) << "the dialog taking the focus does not close the frame";
}

TEST_F(SkinFrameTest, LosingTheFocusClosesTheFrameWithoutAChange) {
  SkinLog log;
  auto frame = Open();
  bool finalCalled = false;
  frame->SetOnFinal([&] { finalCalled = true; });
  frame->SendMessage(ui::wm::WM_KILLFOCUS, 0, 0);  // what a click elsewhere delivers
  EXPECT_FALSE(frame->IsWindow());
  EXPECT_TRUE(apptest::WaitFor([&] { return finalCalled; }, 1000));
  EXPECT_TRUE(log.seen.empty());
  EXPECT_FALSE(fs::exists(Ini()));
}

TEST(SkinObserver, ReceiversAreToldInRegistrationOrderUntilTheyLeave) {
  std::vector<int> order;
  struct R : app::SkinReceiver {
    R(std::vector<int>& o, int id) : o(o), id(id) {}
    int Receive(const app::SkinChangedParam&) override {
      o.push_back(id);
      return 1;
    }
    std::vector<int>& o;
    int id;
  } a(order, 1), b(order, 2);
  app::SkinObserver obs;
  obs.AddReceiver(&b);
  obs.AddReceiver(&a);
  obs.AddReceiver(&b);  // once only
  obs.Broadcast({});
  obs.RemoveReceiver(&b);
  obs.Broadcast({});
  EXPECT_EQ(order, (std::vector<int>{2, 1, 1}));
}

TEST(IniFile, SetsOneValueAndKeepsEverythingElse) {
  QTemporaryDir dir;
  const fs::path file = dir.path().toStdString() + "/main.ini";
  std::ofstream(file) << "; kept\r\n[OTHER]\r\nIMAGE=x\r\n\r\n[skinimage]\r\nflags=1\r\n\r\n[LAST]\r\nA=b\r\n";
  ASSERT_TRUE(app::WriteIniValue(file, "SKINIMAGE", "FLAGS", "0"));
  ASSERT_TRUE(app::WriteIniValue(file, "SKINIMAGE", "IMAGE", "skins/skin_02.png"));
  ASSERT_TRUE(app::WriteIniValue(file, "NEW", "K", "v"));
  struct Want {
    const char* section;
    const char* key;
    const char* value;
  } wants[] = {{"OTHER", "IMAGE", "x"}, {"SKINIMAGE", "FLAGS", "0"}, {"SKINIMAGE", "IMAGE", "skins/skin_02.png"},
               {"LAST", "A", "b"},      {"NEW", "K", "v"}};
  for (const Want& w : wants) EXPECT_EQ(app::ReadIniValue(file, w.section, w.key), w.value) << w.section << w.key;
  EXPECT_EQ(app::ReadIniValue(file, "LAST", "IMAGE"), std::nullopt);
}

class AboutTest : public apptest::SkinTest {};

TEST_F(AboutTest, ShowsTheTranslatedVersionAndFollowsALanguageChange) {
  app::CAboutWnd about;
  ASSERT_TRUE(about.Open(nullptr));
  auto* label = about.FindControl(QStringLiteral("software_ver_label"));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->GetText(), QStringLiteral("Software version 2.0.10"));
  UseLanguage("cn");
  about.SendMessage(platform::msg::UM_LANGUAGE_CHANGED, 0, 0);
  EXPECT_EQ(label->GetText(), QStringLiteral("软件版本 2.0.10"));
  EXPECT_EQ(about.GetHWND()->size(), QSize(800, 572));

  // homepage_btn does nothing; a system close ends only this window.
  Click(Control(about.GetHWND(), "homepage_btn"));
  EXPECT_TRUE(about.IsWindow());
  about.SendMessage(ui::wm::WM_SYSCOMMAND, ui::wm::SC_CLOSE, 0);
  EXPECT_FALSE(about.IsWindow());
}

}  // namespace
