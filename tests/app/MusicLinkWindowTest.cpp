// The main window's side of the music lighting link: the capture companion's
// window gets the group colour and the start sequence, sample frames and host
// colours from it reach the keyboard, and closing sends the exit sequence.

#include <gtest/gtest.h>

#include <vector>

#include "platform/WindowBus.h"
#include "tests/app/MainWndFixture.h"

namespace {

std::vector<uint8_t> Values(const std::vector<int32_t>& values) {
  std::vector<uint8_t> bytes;
  for (int32_t v : values)
    for (int b = 0; b < 4; ++b) bytes.push_back(uint8_t(uint32_t(v) >> (8 * b)));
  return bytes;
}

class MusicLinkWindow : public apptest::MainWndFixture {};

TEST_F(MusicLinkWindow, CompanionAndKeyboardGetWhatTheyShould) {
  std::vector<platform::BusMessage> got;
  platform::BusWindow capture("VX27 MOUSEAudioRecord", "VX27 MOUSEAUDIORECORD",
                              [&](const platform::BusMessage& m) {
                                // The start-up broadcast reaches every window; keep the link's own.
                                if (m.name != "{4695579F-999A-41d4-9FAF-EFFCE93EBF16}") got.push_back(m);
                              });
  ASSERT_TRUE(capture.Listen());
  auto main = Open(Emulate("keyboard"));
  std::vector<std::vector<int32_t>> levels, colours;
  main->SetKeyboardAudioSeam(
      [&](devices::CGesterinUSBDevice&, std::span<const int32_t> v) { levels.emplace_back(v.begin(), v.end()); },
      [&](devices::CGesterinUSBDevice&, std::span<const int32_t> v) { colours.emplace_back(v.begin(), v.end()); });

  // The factory groups: group 0 selected, red 9, green 0 (sent as 1), blue 0.
  ASSERT_TRUE(apptest::WaitFor([&] { return got.size() >= 4; }, 5000));
  EXPECT_EQ(got[0].dwData, 10u);
  std::vector<uint8_t> colour(40, 0);
  colour[0] = 9, colour[4] = 1;
  EXPECT_EQ(got[0].bytes, colour);
  const std::pair<uint64_t, int64_t> start[] = {{0, QCoreApplication::applicationPid()}, {3, 0}, {1, 0}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(got[1 + i].name, "{4695579F-999A-41d4-9FAF-EFFCE93EBE19}");
    EXPECT_EQ(got[1 + i].wParam, start[i].first);
    EXPECT_EQ(got[1 + i].lParam, start[i].second);
  }

  ASSERT_TRUE(apptest::WaitFor([&] { return !main->Devices(app::PageKind::Keyboard).empty(); }, 5000));
  for (int32_t v : {100, -100, 100})
    platform::BusWindow::SendTo("MainWnd", "VX27 MOUSE",
                                platform::BusMessage::CopyData(1, Values(std::vector<int32_t>(500, v))));
  platform::BusWindow::SendTo("MainWnd", "VX27 MOUSE", platform::BusMessage::CopyData(2, Values({1, 2, 3})));
  ASSERT_TRUE(apptest::WaitFor([&] { return !levels.empty() && !colours.empty(); }, 5000));
  ASSERT_EQ(levels.size(), 1u);
  EXPECT_EQ(levels[0][0], 200);
  EXPECT_EQ(levels[0][24], 200);
  EXPECT_EQ(levels[0][25], 0);
  EXPECT_EQ(colours[0], (std::vector<int32_t>{1, 2, 3, 0, 0, 0}));

  // A host colour slider: BE19 6 with its value, and its label.
  got.clear();
  auto* slider = qobject_cast<ui::CSliderUI*>(main->FindControl(QStringLiteral("R_light_slider")));
  ASSERT_NE(slider, nullptr);
  slider->SetValue(200);
  ui::TNotifyUI changed;
  changed.sType = ui::notify::kValueChanged;
  changed.pSender = slider;
  main->Notify(changed);
  ASSERT_TRUE(apptest::WaitFor([&] { return !got.empty(); }, 5000));
  EXPECT_EQ(got[0].wParam, 6u);
  EXPECT_EQ(got[0].lParam, 200);
  auto* row = qobject_cast<ui::CContainerUI*>(slider->GetParent());
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->FindSubControl(QStringLiteral("R_light_label"))->GetText(), QStringLiteral("R 200"));

  got.clear();
  main->Close(0);
  ASSERT_TRUE(apptest::WaitFor([&] { return got.size() >= 3; }, 5000));
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(got[i].wParam, (std::array<uint64_t, 3>{2, 4, 5})[i]);
  apptest::TakeQuitRequest();
}

}  // namespace
