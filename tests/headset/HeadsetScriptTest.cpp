// The built program with an emulated headset, driven by a UI script: the
// voice panel picks a built-in preset, a band is moved and saved as a user
// preset, the voice effect is switched on and a type chosen. Checked: what
// the emulated chip logged, what the profile file holds, the pictures.

#include <filesystem>
#include <fstream>
#include <sstream>

#include <QImage>
#include <gtest/gtest.h>
#include <json/json.h>

#include "tests/support/ProgramRun.h"

namespace {

class HeadsetScript : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return program_.Path(name); }
  std::string Read(const std::string& name) const { return program_.Read(name); }
  // The program with the emulated headset; the emulated chip logs what it is
  // given to "chip.log", the emulator its requests to "emulator.log".
  int Run(const std::string& script) {
    program_.SetEnv("VX27_AUDIO_CHIP_LOG", QString::fromStdString(Path("chip.log")));
    program_.UnsetEnv("VX27_AUDIO_CHIP");
    return program_.Run(script, "headset", 60000, Path("emulator.log"));
  }

  testsupport::ProgramRun program_;
};

TEST_F(HeadsetScript, PresetsUserPresetAndVoiceEffectReachChipAndProfile) {
  const std::string script =
      "wait-trace audio P EQ_Slider10 write int 10\n"  // the page has loaded and played its equaliser
      "page headset\n"
      "click 6533_voice_Op_tab\n"
      "click 6533_eq_option_3\n"
      "shot " + Path("voice_builtin.png") + "\n"
      "slide 6533_eq_hz_slider_0 12\n"
      "text custom_eq_name_edit Bass\n"
      "click hs_EQ_btn_save\n"
      "shot " + Path("voice_user.png") + "\n"
      "click magic_Op_tab\n"
      "click magic_enable_option\n"
      "click magic_option_3\n"
      "shot " + Path("effects.png") + "\n"
      "quit\n";
  ASSERT_EQ(Run(script), 0) << Read("trace.txt");

  // The chip's own log, from the first preset on.
  const std::string log = Read("chip.log");
  const std::string preset3 =
      "write P:Enable_EQ_GFX 1\nwrite P:EQ_Slider1 10\nwrite P:EQ_Slider2 4\nwrite P:EQ_Slider3 0\n"
      "write P:EQ_Slider4 -3\nwrite P:EQ_Slider5 -4\nwrite P:EQ_Slider6 -3\nwrite P:EQ_Slider7 -2\n"
      "write P:EQ_Slider8 -1\nwrite P:EQ_Slider9 0\nwrite P:EQ_Slider10 0\n";
  const size_t at = log.find(preset3);
  ASSERT_NE(at, std::string::npos) << log;
  EXPECT_EQ(log.substr(at + preset3.size()),
            // the slide step's click on the thumb, then two arrow steps
            "write P:EQ_Slider1 10\nwrite P:EQ_Slider1 11\nwrite P:EQ_Slider1 12\n"
            "write R:Enable_MAGICVOICE 1\nwrite R:Enable_MICECHO 0\nwrite R:MagicVoice_Selection 2\n");

  // The profile the page saved: the one the profile list has selected.
  Json::Value list, root;
  ASSERT_TRUE(Json::Reader().parse(Read("data/VX27 MOUSE/HD/ProfileList.ini"), list));
  const std::string selected =
      list["profilelist"][list["profileselect"].asUInt()]["profileUUID"].asString();
  ASSERT_TRUE(Json::Reader().parse(Read("data/VX27 MOUSE/HD/" + selected + ".Json"), root));
  const Json::Value& entry = root["Device"][0];
  EXPECT_EQ(entry["SystemSetStages"]["EqType"].asInt(), 13);
  EXPECT_EQ(entry["SystemSetStages"]["CustomEqSeletIndex"].asInt(), 0);
  EXPECT_EQ(entry["SystemSetStages"]["MagicEnable"].asInt(), 1);
  EXPECT_EQ(entry["SystemSetStages"]["MagicType"].asInt(), 3);
  EXPECT_EQ(entry["CustomEQNameInfo"][0]["Name"].asString(), "Bass");
  std::vector<int> bands;
  for (const Json::Value& b : entry["CustomEQHzValueInfo"][0]) bands.push_back(b["value"].asInt());
  EXPECT_EQ(bands, (std::vector<int>{12, 4, 0, -3, -4, -3, -2, -1, 0, 0}));

  // The page's light step sent the headset its light reports, twelve at a
  // time in their order (the emulator logs each, zero-padded to 64 bytes).
  std::vector<std::string> heads;
  std::istringstream emulated(Read("emulator.log"));
  for (std::string line; std::getline(emulated, line);)
    if (line.rfind("headset ff", 0) == 0) heads.push_back(line.substr(8, 6));
  ASSERT_GE(heads.size(), 24u);
  const std::vector<std::string> order{"ff22aa", "ff22ad", "ff44aa", "ff44ad", "ff22ab", "ff22ae",
                                       "ff44ab", "ff44ae", "ff22ac", "ff22af", "ff44ac", "ff44af"};
  for (size_t i = 0; i + 12 <= heads.size(); i += 12)
    ASSERT_EQ(std::vector<std::string>(heads.begin() + long(i), heads.begin() + long(i + 12)), order) << i;

  for (const char* shot : {"voice_builtin.png", "voice_user.png", "effects.png"})
    EXPECT_FALSE(QImage(QString::fromStdString(Path(shot))).isNull()) << shot;
  // The preset's picture and the user preset's differ (the sliders and the options moved).
  EXPECT_NE(QImage(QString::fromStdString(Path("voice_builtin.png"))),
            QImage(QString::fromStdString(Path("voice_user.png"))));
}

TEST_F(HeadsetScript, LightingEditorListsTheHeadsetsModesAndKeepsThePick) {
  // The editor first shows the factory profile's state (wave, seven colours,
  // red 255): moving the brightness keeps the rest of it. Then the factory
  // catalogue's headset row: index 6 is the ring chase. Both go to the
  // profile the list has selected.
  const std::string script =
      "wait-trace audio P EQ_Slider10 write int 10\n"
      "page headset\n"
      "click deng_Op_tab\n"
      "slide deng_light_slider 2\n"
      "shot " + Path("lighting.png") + "\n"
      "select light_combo_modeSelect 6\n"
      "shot " + Path("ring_chase.png") + "\n"
      "quit\n";
  ASSERT_EQ(Run(script), 0) << Read("trace.txt");
  Json::Value list, root;
  ASSERT_TRUE(Json::Reader().parse(Read("data/VX27 MOUSE/HD/ProfileList.ini"), list));
  const std::string selected =
      list["profilelist"][list["profileselect"].asUInt()]["profileUUID"].asString();
  ASSERT_TRUE(Json::Reader().parse(Read(("data/VX27 MOUSE/HD/" + selected + ".Json").c_str()), root));
  const Json::Value& light = root["Device"][0]["LightInfo"];
  EXPECT_EQ(light["SelectItem"].asInt(), 6);
  EXPECT_EQ(light["Light"].asInt(), 2);
  EXPECT_EQ(light["Red"].asInt(), 255);
  EXPECT_EQ(light["MultiColor"].asInt(), 1);
  EXPECT_EQ(light["Fx"].asInt(), 1);
  EXPECT_NE(QImage(QString::fromStdString(Path("lighting.png"))),
            QImage(QString::fromStdString(Path("ring_chase.png"))));
}

}  // namespace
