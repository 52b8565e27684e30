// vx27ctl audio: the steps against a chip description and a profile file,
// and what it prints.

#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>

#include "tests/headset/ChipFixture.h"

namespace headset_test {
namespace {

QStringList Ctl(const QStringList& args) {
  QProcess p;
  p.start(QString::fromStdString((platform::InstallFolder() / "vx27ctl").string()), args);
  if (!p.waitForFinished(20000)) return {};
  return QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

TEST(AudioCli, StepsPrintDevicesResultsAndSettings) {
  TempFolder dir;
  Json::Value chip = BaseChip();
  chip["properties"]["R:GetSupportFeature"] = "131072,0,0,0,5,0,9";
  chip["fail"] = Json::Value(Json::arrayValue);
  chip["fail"].append("write:R:MuteControl");
  WriteText(dir / "chip.json", Json::FastWriter().write(chip));
  const QString profile = QString::fromStdString((dir / "HD.Json").string());
  const QStringList lines = Ctl({"audio", "--chip", QString::fromStdString((dir / "chip.json").string()),
                                 "--profile", profile, "start", "eq", "5", "mic-toggle", "mic-level", "57",
                                 "save-user", "Flat", "save-user", "flat", "effect-type", "2"});
  for (const char* line : {"playback id 11 kind 1 state 1", "recording id 21 kind 2 state 1", "features R 131072 5 9",
                           "features P 0 0 0", "audio P EQ_Slider1 write int 0 = 0",
                           "audio R MuteControl write int 1 = 1", "audio R VolumeScalarControl write float 0.57 extra -1 = 0",
                           "audio R MagicVoice_Selection write int 1 = 0"})
    EXPECT_TRUE(lines.contains(QString::fromLatin1(line))) << line << "\n" << lines.join('\n').toStdString();
  // eq 5, mic-toggle (failed write), mic-level, save-user, save-user (name taken), effect-type.
  QStringList results;
  for (const QString& l : lines)
    if (l.startsWith("result ")) results << l;
  EXPECT_EQ(results, (QStringList{"result 0", "result 1", "result 0", "result 1", "result 0", "result 0"}));
  EXPECT_EQ(lines.last().toStdString(),
            "settings MagicEnable 1 MagicType 2 EqType 5 CustomEqSeletIndex 0 MicInSelect 1 MicInValue 57 "
            "MicMoniterSelect 0 MicMoniterValue 60");
  // The profile file the steps saved.
  Json::Value root;
  ASSERT_TRUE(Json::Reader().parse(ReadAll(dir / "HD.Json"), root));
  EXPECT_EQ(root["Device"][0]["SystemSetStages"]["MicInValue"].asInt(), 57);
  EXPECT_EQ(root["Device"][0]["CustomEQNameInfo"][0]["Name"].asString(), "Flat");
}

TEST(AudioCli, MalformedStepsAreRefused) {
  for (const QStringList& args : {QStringList{"audio"}, QStringList{"audio", "eq"}, QStringList{"audio", "band", "1"},
                                  QStringList{"audio", "eq", "five"}, QStringList{"audio", "effect", "maybe"},
                                  QStringList{"audio", "dance"}}) {
    QProcess p;
    p.start(QString::fromStdString((platform::InstallFolder() / "vx27ctl").string()), args);
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 2) << args.join(' ').toStdString();
  }
}

}  // namespace
}  // namespace headset_test
