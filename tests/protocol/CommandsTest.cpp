// Command operations against the emulator's firmware: what goes on the wire
// (lengths, addresses, chunking, stale bytes) and what ends up in the
// device's memory.

#include <atomic>
#include <thread>

#include "protocol/EventImage.h"
#include "protocol/KeyMap.h"
#include "protocol/LightFrame.h"
#include "tests/protocol/Rig.h"

namespace protocol::test {
namespace {

using emulator::DeviceModel;
using emulator::firmware::DeviceMemory;
using emulator::firmware::Fault;
using emulator::firmware::FaultKind;

struct Chunk {
  uint8_t length;
  uint16_t address;
  bool operator==(const Chunk&) const = default;
};

std::vector<Chunk> ChunksOf(const Rig& rig, uint8_t command) {
  std::vector<Chunk> out;
  for (const auto& r : rig.Requests())
    if (r.Command() == command) out.push_back({r.Length(), r.Address()});
  return out;
}

std::vector<Chunk> Expected(uint32_t total, uint8_t chunk, uint16_t base = 0) {
  std::vector<Chunk> out;
  for (uint32_t p = 0; p < total; p += chunk)
    out.push_back({uint8_t(p + chunk < total ? chunk : total - p), uint16_t(base + p)});
  return out;
}

TEST(InfoBlock, ReadInChunksOfTheConnection) {
  struct Case {
    bool receiver;
    std::vector<Chunk> want;
  };
  for (const Case& c : {Case{false, {{34, 0}}}, Case{true, {{24, 0}, {10, 24}}}}) {
    Rig rig(DeviceModel::Mouse, c.receiver);
    InfoBlockBytes block{};
    ASSERT_EQ(rig.channel.ReadInfoBlock(block), kOk);
    EXPECT_EQ(ChunksOf(rig, cmd::kReadInfoBlock), c.want);
    EXPECT_EQ(block, rig.fw().Memory().info.raw);
    DeviceInfoBlock info{block};
    EXPECT_EQ(info.Magic(), infoblock::kMagicValue);
    EXPECT_EQ(info.SensorId(), 0x3104);
  }
}

TEST(InfoBlock, FailedSecondChunkLeavesDestinationAlone) {
  Rig rig(DeviceModel::Mouse, /*receiver=*/true);
  rig.fw().InjectFault({FaultKind::Status, 1, cmd::kReadInfoBlock, 0xFE, {}, /*skip=*/1});
  InfoBlockBytes block{};
  block.fill(0x11);
  EXPECT_EQ(rig.channel.ReadInfoBlock(block), kStatusRejected);
  EXPECT_EQ(ChunksOf(rig, cmd::kReadInfoBlock), (std::vector<Chunk>{{24, 0}, {10, 24}}));
  InfoBlockBytes untouched;
  untouched.fill(0x11);
  EXPECT_EQ(block, untouched);
}

TEST(InfoBlock, WriteIsOneReportAlsoThroughTheReceiver) {
  Rig rig(DeviceModel::Mouse, /*receiver=*/true);
  InfoBlockBytes block = rig.fw().Memory().info.raw;
  block[infoblock::kFormat] = 0;
  block[20] = 0x5A;
  ASSERT_EQ(rig.channel.WriteInfoBlock(block), kOk);
  EXPECT_EQ(ChunksOf(rig, cmd::kWriteInfoBlock), (std::vector<Chunk>{{34, 0}}));
  EXPECT_EQ(rig.fw().Memory().info.raw, block);
}

TEST(LinkQuery, WiredSendsNothingReceiverReadsByteEight) {
  {
    Rig rig(DeviceModel::Keyboard);
    EXPECT_TRUE(rig.channel.QueryWirelessLink());
    EXPECT_TRUE(rig.Requests().empty());
  }
  Rig rig(DeviceModel::Keyboard, /*receiver=*/true, /*wirelessOn=*/false);
  EXPECT_FALSE(rig.channel.QueryWirelessLink());
  rig.unit.device->SetWirelessOn(true);
  EXPECT_TRUE(rig.channel.QueryWirelessLink());
  // Status 0xFE beats a byte 8 of 0xFF.
  rig.fw().InjectFault({FaultKind::Status, 1, cmd::kQueryWirelessLink, 0xFE, {}});
  EXPECT_FALSE(rig.channel.QueryWirelessLink());
  EXPECT_EQ(rig.fw().Log().back().reply[report::kData], 0xFF);
  rig.fw().InjectFault({FaultKind::Status, 1, cmd::kQueryWirelessLink, 0xFF, {}});
  EXPECT_FALSE(rig.channel.QueryWirelessLink());
  EXPECT_EQ(rig.fw().CountRequests(cmd::kQueryWirelessLink), 4u);
}

TEST(StatusBlock, MouseReadsTwoBytesKeyboardSix) {
  Rig mouse(DeviceModel::Mouse);
  std::array<uint8_t, kStatusBlockSize> block{};
  ASSERT_EQ(mouse.channel.ReadStatusBlock(block, 2, 0), kOk);
  EXPECT_EQ(block, (std::array<uint8_t, 6>{85, 2, 0, 0, 0, 0}));
  // The mouse holds two bytes only.
  EXPECT_EQ(mouse.channel.ReadStatusBlock(block, 6, 0), kStatusFailed);

  Rig keyboard(DeviceModel::Keyboard);
  keyboard.fw().EditMemory([](DeviceMemory& m) { m.status = {101, 1, 7, 0, 3, 2}; });
  ASSERT_EQ(keyboard.channel.ReadStatusBlock(block, 6, 0), kOk);
  EXPECT_EQ(block, (std::array<uint8_t, 6>{101, 1, 7, 0, 3, 2}));
}

TEST(Transfer, BracketsAndHostLighting) {
  Rig rig(DeviceModel::Keyboard);
  EXPECT_EQ(rig.channel.BeginTransfer(), kOk);
  EXPECT_TRUE(rig.fw().Memory().transferOpen);
  EXPECT_EQ(rig.channel.EndTransfer(1), kOk);
  EXPECT_EQ(rig.fw().Memory().transfers, 1u);
  EXPECT_EQ(rig.channel.BeginHostLighting(), kOk);
  EXPECT_TRUE(rig.fw().Memory().hostLighting);
}

TEST(KeyMap, EightyOneKeysChunkedByConnection) {
  struct Case {
    bool receiver;
    uint8_t chunk;
  };
  for (const Case c : {Case{false, 56}, Case{true, 24}}) {
    SCOPED_TRACE(c.receiver ? "receiver" : "wired");
    Rig rig(DeviceModel::Keyboard, c.receiver);
    rig.fw().EditMemory([](DeviceMemory& m) { m.info.SetKeyCount(81); });
    ASSERT_TRUE(rig.channel.SetBlockSize(243));
    std::vector<uint8_t> map(243);
    for (size_t i = 0; i < map.size(); ++i) map[i] = uint8_t(i * 7 + 1);
    ASSERT_EQ(rig.channel.WriteKeyMap(map, 0), kOk);
    EXPECT_EQ(ChunksOf(rig, cmd::kWriteKeyMap), Expected(243, c.chunk));

    std::vector<uint8_t> back(243);
    ASSERT_EQ(rig.channel.ReadKeyMap(back), kOk);
    EXPECT_EQ(back, map);
    std::vector<uint8_t> lights(81);
    ASSERT_EQ(rig.channel.ReadKeyLightIndex(lights), kOk);
    EXPECT_EQ(ChunksOf(rig, cmd::kReadKeyLightIndex), Expected(81, c.chunk));
    EXPECT_EQ(lights[80], 80);
  }
  EXPECT_EQ(Expected(243, 24).size(), 11u);
  EXPECT_EQ(Expected(243, 24).back(), (Chunk{3, 240}));
  EXPECT_EQ(Expected(243, 56).back(), (Chunk{19, 224}));
}

TEST(KeyMap, OtherPageRefusedBeforeAnythingIsSent) {
  Rig rig(DeviceModel::Keyboard);
  std::vector<uint8_t> map(rig.channel.BlockSize());
  EXPECT_EQ(rig.channel.WriteKeyMap(map, 1), kKeyMapPageRefused);
  EXPECT_TRUE(rig.Requests().empty());
}

TEST(KeyMap, DeviceHoldsItsDefaultCodes) {
  Rig rig(DeviceModel::Keyboard);
  InfoBlockBytes raw{};
  ASSERT_EQ(rig.channel.ReadInfoBlock(raw), kOk);
  const DeviceInfoBlock info{raw};
  ASSERT_TRUE(rig.channel.SetBlockSize(info.KeyMapBlockSize()));
  std::vector<uint8_t> map(rig.channel.BlockSize());
  ASSERT_EQ(rig.channel.ReadKeyMap(map), kOk);
  const auto codes = emulator::firmware::KeyboardDefaultCodes();
  ASSERT_EQ(map.size(), 3 * codes.size());
  EXPECT_EQ((std::array<uint8_t, 3>{map[0], map[1], map[2]}), codes[0]);
  EXPECT_EQ((std::array<uint8_t, 3>{map[3 * 120], map[3 * 120 + 1], map[3 * 120 + 2]}),
            (std::array<uint8_t, 3>{0xD0, 0xA2, 0x01}));
}

TEST(Chunking, LastChunkKeepsThePreviousChunksBytesInItsChecksum) {
  Rig rig(DeviceModel::Mouse);
  std::vector<uint8_t> settings(86);
  for (size_t i = 0; i < settings.size(); ++i) settings[i] = uint8_t(0x80 + i);
  ASSERT_EQ(rig.channel.WriteSettings(settings, 128), kOk);
  const auto log = rig.Requests();
  ASSERT_EQ(log.size(), 2u);
  const Report& last = log[1].request;
  EXPECT_EQ(log[1].Length(), 30);
  EXPECT_EQ(log[1].Address(), 128 + 56);
  // Bytes after the 30 data bytes still hold chunk one's bytes 30..55.
  for (size_t i = 30; i < 56; ++i) EXPECT_EQ(last[report::kData + i], settings[i]) << i;
  EXPECT_TRUE(log[1].checksumOk);
  EXPECT_EQ(ReportChecksum(last), GetLe16(last, report::kChecksum));
  // The device took only the announced bytes.
  const DeviceMemory m = rig.fw().Memory();
  EXPECT_TRUE(std::equal(settings.begin(), settings.end(), m.settings.begin() + 128));
  EXPECT_EQ(m.settings[128 + 86], 0);

  std::vector<uint8_t> back(86);
  ASSERT_EQ(rig.channel.ReadSettings(back, 128), kOk);
  EXPECT_EQ(back, settings);
}

TEST(Chunking, FailureStopsTheTransferAndKeepsWhatWasWritten) {
  Rig rig(DeviceModel::Keyboard, /*receiver=*/true);
  rig.fw().InjectFault({FaultKind::Status, 1, cmd::kWriteSettings, 0xFF, {}});
  // The first chunk's fault decides; the firmware keeps that chunk.
  std::vector<uint8_t> block(45, 0x42);
  EXPECT_EQ(rig.channel.WriteSettings(block, 25), kStatusFailed);
  EXPECT_EQ(ChunksOf(rig, cmd::kWriteSettings).size(), 1u);
}

TEST(Chunking, BlockPastTheSixteenBitAddressesIsRefusedUnsent) {
  Rig rig(DeviceModel::Keyboard);
  std::vector<uint8_t> bytes(100, 0x77);
  // Its second chunk would wrap round to address 0x0028.
  EXPECT_EQ(rig.channel.WriteSettings(bytes, 0xFFF0), kNotWritten);
  EXPECT_EQ(rig.channel.ReadSettings(bytes, 0xFFF0), kNotWritten);
  EXPECT_EQ(rig.channel.ReadKeyColours(std::span(bytes).first(3), 128), kNotWritten);
  EXPECT_TRUE(rig.Requests().empty());
  // The last addressable byte is fine (the device itself refuses it).
  EXPECT_EQ(rig.channel.ReadSettings(std::span(bytes).first(16), 0xFFF0), kStatusFailed);
}

TEST(Colours, PagesAtFiveTwelveAndUnderTheLightingLock) {
  Rig rig(DeviceModel::Keyboard);
  std::vector<uint8_t> page(3 * 126);
  for (size_t i = 0; i < page.size(); ++i) page[i] = uint8_t(i);
  ASSERT_EQ(rig.channel.WriteKeyColours(page, 4), kOk);
  EXPECT_EQ(ChunksOf(rig, cmd::kWriteKeyColours).front().address, 4 * 512);
  std::vector<uint8_t> back(page.size());
  ASSERT_EQ(rig.channel.ReadKeyColours(back, 4), kOk);
  EXPECT_EQ(back, page);
  EXPECT_EQ(rig.fw().Memory().colours[4 * 512 + 5], 5);
}

std::vector<std::vector<PackedMacroEvent>> SampleEntries(size_t count, size_t events) {
  std::vector<std::vector<PackedMacroEvent>> entries(count);
  for (size_t i = 0; i < count; ++i)
    for (size_t e = 0; e < events; ++e)
      entries[i].push_back(PackEvent(std::to_string(10 * e), 1, e % 2 ? "up" : "down", int(i)));
  return entries;
}

TEST(Images, RecoilGoesIn56ByteChunksEvenThroughTheReceiver) {
  Rig rig(DeviceModel::Mouse, /*receiver=*/true);
  const auto entries = SampleEntries(4, 30 * 6);
  const auto image = BuildEventImage(entries);
  ASSERT_EQ(rig.channel.WriteRecoilImage(image), kOk);
  EXPECT_EQ(ChunksOf(rig, cmd::kWriteRecoilImage), Expected(uint32_t(image.size()), 56));
  const DeviceMemory m = rig.fw().Memory();
  ASSERT_TRUE(m.recoil.has_value());
  ASSERT_EQ(m.recoil->size(), 4u);
  EXPECT_EQ((*m.recoil)[3][1].type, 0x01);
  EXPECT_EQ((*m.recoil)[3][0].type, 0x81);
  EXPECT_EQ((*m.recoil)[3][0].button, 3);
}

TEST(Images, MacroImageRoundTripsAndOverflowIsRefusedByTheDevice) {
  Rig rig(DeviceModel::Keyboard, /*receiver=*/true);
  const auto entries = SampleEntries(3, 5);
  const auto image = BuildEventImage(entries);
  ASSERT_EQ(rig.channel.WriteMacroImage(image), kOk);
  EXPECT_EQ(ChunksOf(rig, cmd::kWriteMacroImage), Expected(uint32_t(image.size()), 24));
  const DeviceMemory m = rig.fw().Memory();
  ASSERT_TRUE(m.macros.has_value());
  EXPECT_EQ(m.macros->size(), 3u);
  EXPECT_EQ((*m.macros)[2][4].delay, 40);

  // Larger than the macro memory: the device refuses the chunk past its end.
  rig.fw().EditMemory([](DeviceMemory& mem) { mem.info.SetMacroMemoryUnits(1); });
  const auto big = BuildEventImage(SampleEntries(1, 40));
  ASSERT_GT(big.size(), 128u);
  EXPECT_EQ(rig.channel.WriteMacroImage(big), kStatusFailed);
  ASSERT_TRUE(MacroImageOverflow(big.size(), 128).has_value());
}

TEST(KeyMap, DeletedMacroIsWrittenWithItsDefault) {
  Rig rig(DeviceModel::Mouse);
  InfoBlockBytes raw{};
  ASSERT_EQ(rig.channel.ReadInfoBlock(raw), kOk);
  ASSERT_TRUE(rig.channel.SetBlockSize(DeviceInfoBlock{raw}.KeyMapBlockSize()));
  std::vector<uint8_t> deviceMap(rig.channel.BlockSize());
  ASSERT_EQ(rig.channel.ReadKeyMap(deviceMap), kOk);

  // Button 3 on macro 5 (of 3: deleted), button 4 on macro 2, button 5 on
  // macro 0, button 6 on macro 2 again.
  std::vector<KeyMapAssignment> keys = {
      {3, {0x70, 5, 0}, {0x10, 0x10, 0x00}},
      {4, {0x71, 2, 1}, {0x10, 0x08, 0x00}},
      {5, {0x70, 0, 0}, {0x13, 0x01, 0x00}},
      {6, {0x70, 2, 0}, {0x13, 0x02, 0x00}},
  };
  const BuiltKeyMap built = BuildKeyMap(deviceMap, keys, 3);
  EXPECT_EQ(built.usedMacros, (std::vector<int>{2, 0}));
  ASSERT_EQ(rig.channel.WriteKeyMap(built.keyMap, 0), kOk);
  const DeviceMemory m = rig.fw().Memory();
  auto at = [&](size_t pos) {
    return std::array<uint8_t, 3>{m.keyMap[3 * pos], m.keyMap[3 * pos + 1], m.keyMap[3 * pos + 2]};
  };
  EXPECT_EQ(at(3), (std::array<uint8_t, 3>{0x10, 0x10, 0x00}));
  EXPECT_TRUE(keys[0].usedDefault);
  EXPECT_EQ(at(4), (std::array<uint8_t, 3>{0x71, 0, 1}));
  EXPECT_EQ(at(5), (std::array<uint8_t, 3>{0x70, 1, 0}));
  EXPECT_EQ(at(6), (std::array<uint8_t, 3>{0x70, 0, 0}));
  EXPECT_EQ(at(0), (std::array<uint8_t, 3>{0x10, 0x01, 0x00}));  // untouched position
}

TEST(LightFrames, ScaledColoursReachTheDevice) {
  Rig rig(DeviceModel::Keyboard);
  const LightColour lights[] = {{255, 128, 0, 128}, {255, 255, 255, 255}, {9, 9, 9, 0}};
  const std::optional<uint16_t> positions[] = {2, 0, std::nullopt};
  LightFrame frame{};
  BuildLightFrame(lights, positions, frame);
  ASSERT_EQ(rig.channel.SendLightFrame(std::span(frame).first(3 * 126)), kOk);
  EXPECT_EQ(ChunksOf(rig, cmd::kLightFrame), Expected(3 * 126, 56));
  const DeviceMemory m = rig.fw().Memory();
  EXPECT_EQ((std::array<uint8_t, 3>{m.lightFrame[6], m.lightFrame[7], m.lightFrame[8]}),
            (std::array<uint8_t, 3>{127, 64, 0}));
  EXPECT_EQ(m.lightFrame[0], 254);
  EXPECT_EQ(m.lightFrame[3], 0);
}

TEST(LightFrames, ChunksAreDroppedWhileAnExchangeIsInFlight) {
  Rig rig(DeviceModel::Keyboard);
  // Hold a command exchange in flight: its write completes 400 ms late.
  rig.fw().InjectFault({FaultKind::Delay, 1, cmd::kBeginTransfer, 0, std::chrono::milliseconds(400)});
  std::atomic<int> begun{0};
  std::thread command([&] { begun = rig.channel.BeginTransfer(); });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (!rig.channel.IsBusy() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_TRUE(rig.channel.IsBusy());

  TraceLines trace;
  LightFrame frame{};
  EXPECT_EQ(rig.channel.SendLightFrame(std::span(frame).first(3 * 126)), kOk);
  command.join();
  EXPECT_EQ(begun, kOk);
  EXPECT_EQ(trace.Count("放弃灯光数据"), Expected(3 * 126, 56).size());
  EXPECT_EQ(rig.fw().CountRequests(cmd::kLightFrame), 0u);
}

TEST(LightFrames, StatusOfAChunkEndsTheFrame) {
  Rig rig(DeviceModel::Keyboard);
  rig.fw().InjectFault({FaultKind::Status, 1, cmd::kLightFrame, 0xFE, {}});
  LightFrame frame{};
  EXPECT_EQ(rig.channel.SendLightFrame(std::span(frame).first(3 * 126)), kStatusRejected);
  EXPECT_EQ(rig.fw().CountRequests(cmd::kLightFrame), 1u);
}

}  // namespace
}  // namespace protocol::test
