// Interface slots and the discovery worker over emulated devices. Single
// passes run on the test (UI) thread, where sends are handled directly; the
// threaded tests pump the Qt event loop to answer the worker's sends.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "emulator/EmulateList.h"
#include "emulator/Emulator.h"
#include "hid/DiscoveryWorker.h"
#include "hid/InterfaceSlots.h"
#include "hid/PathFields.h"
#include "platform/Trace.h"

namespace hid {
namespace {

using namespace std::chrono_literals;
using platform::msg::UM_INTERFACE_ARRIVED;
using platform::msg::UM_INTERFACE_REMOVED;

struct Event {
  platform::MessageId id;
  uint64_t slot;
  bool operator==(const Event&) const = default;
};

// The emulator, counting the opens and presence probes discovery makes.
class CountingBackend : public HidBackend {
 public:
  explicit CountingBackend(std::shared_ptr<HidBackend> inner) : inner_(std::move(inner)) {}
  bool Enumerate(std::vector<std::string>& paths) override { return inner_->Enumerate(paths); }
  std::shared_ptr<HidConnection> Open(std::string_view path, const OpenMode& mode) override {
    ++opens;
    return inner_->Open(path, mode);
  }
  bool IsPresent(std::string_view path) override {
    ++probes;
    return inner_->IsPresent(path);
  }
  bool Owns(std::string_view path) const override { return inner_->Owns(path); }
  std::optional<uint64_t> ChangeCount() override { return inner_->ChangeCount(); }

  std::atomic<int> opens{0};
  std::atomic<int> probes{0};

 private:
  std::shared_ptr<HidBackend> inner_;
};

class DiscoveryTest : public ::testing::Test {
 protected:
  DiscoveryTest()
      : emu_(std::make_shared<emulator::Emulator>()),
        counting_(std::make_shared<CountingBackend>(emu_)),
        identity_(platform::RegisterWindowMessage("VX27 MOUSE")),
        target_([this](const platform::Message& m) {
          std::lock_guard guard(lock_);
          if (m.id == identity_) {
            ++identityPosts_;
          } else {
            // The slot is already claimed or released when the message arrives.
            const DeviceInterfaceInfo slot = slots_.Slot(m.wParam);
            slotStateSeen_.push_back(slot.Connected == (m.id == UM_INTERFACE_ARRIVED ? 1 : 0));
            events_.push_back({m.id, m.wParam});
          }
          return int64_t{0};
        }),
        worker_(counting_, slots_, target_, identity_) {}

  void Plug(std::string_view list) {
    std::string error;
    ASSERT_TRUE(emulator::AddEmulatedDevices(*emu_, list, &error)) << error;
  }
  bool Pass() { return worker_.Pass(stop_); }
  std::vector<Event> Take() {
    std::lock_guard guard(lock_);
    return std::exchange(events_, {});
  }
  static std::vector<uint64_t> Slots(std::vector<Event> events, platform::MessageId id) {
    std::vector<uint64_t> out;
    for (const Event& e : events)
      if (e.id == id) out.push_back(e.slot);
    std::sort(out.begin(), out.end());
    return out;
  }
  // Pumps the event loop until `done` holds or the bound passes.
  template <class Pred>
  bool PumpUntil(Pred done, std::chrono::milliseconds bound = 3000ms) {
    const auto until = std::chrono::steady_clock::now() + bound;
    while (std::chrono::steady_clock::now() < until) {
      QCoreApplication::processEvents();
      {
        std::lock_guard guard(lock_);
        if (done()) return true;
      }
      std::this_thread::sleep_for(1ms);
    }
    return false;
  }

  std::shared_ptr<emulator::Emulator> emu_;
  std::shared_ptr<CountingBackend> counting_;
  InterfaceSlots slots_;
  platform::MessageId identity_;
  std::mutex lock_;  // guards the records below (the handler may run on another thread)
  std::vector<Event> events_;
  std::vector<bool> slotStateSeen_;
  int identityPosts_ = 0;
  platform::MessageTarget target_;
  platform::StopEvent stop_;
  DiscoveryWorker worker_;
};

TEST_F(DiscoveryTest, ClaimsTheSlotsOfEachDevice) {
  struct Case {
    const char* devices;
    std::vector<uint64_t> want;
  };
  const Case cases[] = {
      {"mouse", {4, 5}},
      {"mouse:receiver", {6, 7}},
      {"mouse:receiver:off", {6, 7}},  // the receiver is there even with the mouse off
      {"keyboard", {0, 1}},
      {"keyboard:receiver", {0, 1}},   // same ids as by cable: the lower slots first
      {"keyboard,keyboard:receiver", {0, 1, 2, 3}},
      {"pad", {8, 9}},
      {"headset", {10}},
      {"mouse:decoy,keyboard:decoy,pad:decoy,headset:decoy", {}},
      {"headset:decoy,headset", {10}},
      {"mouse,keyboard,pad,headset", {0, 1, 4, 5, 8, 9, 10}},
      {"mouse,mouse:receiver,keyboard,keyboard:receiver,pad,headset",
       {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.devices);
    emu_ = std::make_shared<emulator::Emulator>();
    InterfaceSlots fresh;
    DiscoveryWorker worker(emu_, fresh, target_, identity_);
    Plug(c.devices);
    EXPECT_TRUE(worker.Pass(stop_));
    const auto events = Take();
    EXPECT_EQ(Slots(events, UM_INTERFACE_ARRIVED), c.want);  // each slot exactly once
    EXPECT_EQ(Slots(events, UM_INTERFACE_REMOVED), std::vector<uint64_t>{});
    for (uint64_t s : c.want) {
      const DeviceInterfaceInfo slot = fresh.Slot(s);
      EXPECT_EQ(slot.Connected, 1);
      EXPECT_EQ(PathInterfaceNumber(slot.DevicePath), slot.InterfaceNumber);
      EXPECT_EQ(PathCollectionNumber(slot.DevicePath), slot.CollectionNumber);
      EXPECT_TRUE(emu_->IsPresent(slot.DevicePath));
    }
    // Nothing new on the next pass.
    EXPECT_TRUE(worker.Pass(stop_));
    EXPECT_TRUE(Take().empty());
  }
}

TEST_F(DiscoveryTest, UnplugReportsBothRemovalsInOnePassAndReplugArrivesAgain) {
  Plug("mouse,pad");
  ASSERT_TRUE(Pass());
  ASSERT_EQ(Slots(Take(), UM_INTERFACE_ARRIVED), (std::vector<uint64_t>{4, 5, 8, 9}));

  emu_->Unplug(emu_->FindByName("mouse")->Id());
  ASSERT_TRUE(Pass());
  const auto removed = Take();
  EXPECT_EQ(removed, (std::vector<Event>{{UM_INTERFACE_REMOVED, 4}, {UM_INTERFACE_REMOVED, 5}}));
  EXPECT_EQ(slots_.Slot(4).Connected, 0);
  EXPECT_TRUE(slots_.Slot(4).DevicePath.empty());
  EXPECT_EQ(slots_.Slot(8).Connected, 1);

  emu_->Plug(emu_->FindByName("mouse")->Id());
  ASSERT_TRUE(Pass());
  EXPECT_EQ(Slots(Take(), UM_INTERFACE_ARRIVED), (std::vector<uint64_t>{4, 5}));
  // Every message found its slot already in the state it announces.
  EXPECT_TRUE(std::all_of(slotStateSeen_.begin(), slotStateSeen_.end(), [](bool b) { return b; }));
}

TEST_F(DiscoveryTest, AThirdIdenticalKeyboardWaitsForAFreeSlot) {
  Plug("keyboard,keyboard,keyboard");
  ASSERT_TRUE(Pass());
  EXPECT_EQ(Slots(Take(), UM_INTERFACE_ARRIVED), (std::vector<uint64_t>{0, 1, 2, 3}));
  const auto devices = emu_->Devices();
  EXPECT_EQ(slots_.Slot(0).DevicePath.substr(0, 6), "emu:1#");
  EXPECT_EQ(slots_.Slot(2).DevicePath.substr(0, 6), "emu:2#");

  emu_->Unplug(devices[0]->Id());
  ASSERT_TRUE(Pass());  // removal scan frees 0 and 1
  ASSERT_TRUE(Pass());  // the third keyboard takes them
  const auto events = Take();
  EXPECT_EQ(Slots(events, UM_INTERFACE_REMOVED), (std::vector<uint64_t>{0, 1}));
  EXPECT_EQ(Slots(events, UM_INTERFACE_ARRIVED), (std::vector<uint64_t>{0, 1}));
  EXPECT_EQ(slots_.Slot(0).DevicePath.substr(0, 6), "emu:3#");
}

TEST_F(DiscoveryTest, FailedListingIsTracedAndRetried) {
  std::vector<std::string> trace;
  platform::ScopedTraceSink sink([&](std::string_view line) { trace.emplace_back(line); });
  Plug("mouse");
  emu_->FailNextEnumerations(1);
  EXPECT_FALSE(Pass());
  EXPECT_TRUE(Take().empty());
  EXPECT_EQ(identityPosts_, 0);
  EXPECT_NE(std::find_if(trace.begin(), trace.end(),
                         [](const std::string& l) { return l.find("enumeration failed") != std::string::npos; }),
            trace.end());
  EXPECT_TRUE(Pass());
  EXPECT_EQ(Slots(Take(), UM_INTERFACE_ARRIVED), (std::vector<uint64_t>{4, 5}));
}

TEST_F(DiscoveryTest, NoListingWhileEverySlotIsTaken) {
  Plug("mouse,mouse:receiver,keyboard,keyboard:receiver,pad,headset");
  ASSERT_TRUE(Pass());
  ASSERT_TRUE(slots_.AllSlotsTaken());
  const int listings = emu_->EnumerationCount();
  ASSERT_TRUE(Pass());
  EXPECT_EQ(emu_->EnumerationCount(), listings);
  // Removal is still watched, and a free slot brings the listing back.
  emu_->Unplug(emu_->FindByName("headset")->Id());
  ASSERT_TRUE(Pass());
  EXPECT_EQ(Take().back(), (Event{UM_INTERFACE_REMOVED, 10}));
  ASSERT_TRUE(Pass());
  EXPECT_EQ(emu_->EnumerationCount(), listings + 1);
}

TEST_F(DiscoveryTest, QuietPassesReuseTheListingYetSeeEveryChangeWithinOnePass) {
  auto now = std::chrono::steady_clock::now();
  worker_.SetClock([&] { return now; });
  Plug("mouse,keyboard,pad,headset,mouse:decoy");
  ASSERT_TRUE(Pass());
  EXPECT_EQ(Slots(Take(), UM_INTERFACE_ARRIVED), (std::vector<uint64_t>{0, 1, 4, 5, 8, 9, 10}));
  const int listings = emu_->EnumerationCount();
  const int opens = counting_->opens;
  const int probes = counting_->probes;
  // Thirty quiet passes, three seconds: no listing (receiver slots stay free),
  // no presence probe, and the decoy, which no row takes, is not opened again.
  for (int i = 0; i < 30; ++i) {
    now += 100ms;
    ASSERT_TRUE(Pass());
  }
  EXPECT_EQ(emu_->EnumerationCount(), listings);
  EXPECT_EQ(counting_->opens, opens);
  EXPECT_EQ(counting_->probes, probes);
  EXPECT_TRUE(Take().empty());

  // A slot the main window releases (a mode switch) is claimed again by the
  // next pass from the re-used listing.
  slots_.Release(10);
  now += 100ms;
  ASSERT_TRUE(Pass());
  EXPECT_EQ(Take(), (std::vector<Event>{{UM_INTERFACE_ARRIVED, 10}}));
  EXPECT_EQ(emu_->EnumerationCount(), listings);

  // A plug and an unplug are each seen in the very next pass.
  Plug("mouse:receiver");
  now += 100ms;
  ASSERT_TRUE(Pass());
  EXPECT_EQ(Slots(Take(), UM_INTERFACE_ARRIVED), (std::vector<uint64_t>{6, 7}));
  emu_->Unplug(emu_->FindByName("pad")->Id());
  now += 100ms;
  ASSERT_TRUE(Pass());
  EXPECT_EQ(Slots(Take(), UM_INTERFACE_REMOVED), (std::vector<uint64_t>{8, 9}));
  EXPECT_EQ(emu_->EnumerationCount(), listings + 2) << "one listing per change";
  now += 100ms;
  ASSERT_TRUE(Pass());
  EXPECT_EQ(emu_->EnumerationCount(), listings + 2);

  // Still a full listing and a full probe every five seconds, in case an
  // event was lost.
  const int before = emu_->EnumerationCount();
  const int probesBefore = counting_->probes;
  now += 4700ms;  // 4.8 s after the last listing
  ASSERT_TRUE(Pass());
  EXPECT_EQ(emu_->EnumerationCount(), before);
  EXPECT_EQ(counting_->probes, probesBefore);
  now += 300ms;
  ASSERT_TRUE(Pass());
  EXPECT_EQ(emu_->EnumerationCount(), before + 1);
  EXPECT_EQ(counting_->probes, probesBefore + 7) << "one probe per claimed slot";
}

TEST(InterfaceSlots, ClaimNeedsAllSixValuesAndTwinsPointBack) {
  InterfaceSlots table;
  DeviceInterfaceInfo info;
  info.VendorId = 0x320F;
  info.ProductId = 0x226E;
  info.InterfaceNumber = 1;
  info.CollectionNumber = 2;
  info.DevicePath = "p";
  EXPECT_TRUE(table.HasFreeSlotFor(info));
  size_t index = 99;
  info.UsagePage = 0xFF00;  // right ids and numbers, another usage page
  info.Usage = 0x92;
  EXPECT_FALSE(table.ClaimSlot(info, &index));
  info.UsagePage = 0xFF1C;
  ASSERT_TRUE(table.ClaimSlot(info, &index));
  EXPECT_EQ(index, 4u);
  EXPECT_EQ(info.DeviceKind, kind::kMouseCable);
  EXPECT_EQ(info.InterfaceUse, kUseCommand);
  EXPECT_FALSE(table.HasFreeSlotFor(info));  // only one slot has these numbers
  EXPECT_FALSE(table.IsTwinConnected(4));
  EXPECT_TRUE(table.IsTwinConnected(6));     // slot 6's twin (4) is claimed and points back
  EXPECT_FALSE(table.IsTwinConnected(8));    // not dual-mode
  EXPECT_FALSE(table.IsTwinConnected(99));
  info.InterfaceNumber = 2;
  EXPECT_FALSE(table.HasFreeSlotFor(info));  // no row has these numbers
}

TEST(InterfaceSlots, OnePathIsNeverClaimedTwice) {
  InterfaceSlots table;
  DeviceInterfaceInfo keyboard;
  keyboard.VendorId = 0x320F;
  keyboard.ProductId = 0x0000;
  keyboard.InterfaceNumber = 1;
  keyboard.CollectionNumber = 4;
  keyboard.UsagePage = 0xFF1C;
  keyboard.Usage = 0x92;
  keyboard.DevicePath = "first";
  size_t index = 99;
  ASSERT_TRUE(table.ClaimSlot(keyboard, &index));
  EXPECT_EQ(index, 0u);
  // Slot 2 has the same identity and is free, but this path is taken.
  EXPECT_FALSE(table.HasFreeSlotFor(keyboard));
  EXPECT_FALSE(table.ClaimSlot(keyboard, &index));
  keyboard.DevicePath = "second";
  EXPECT_TRUE(table.HasFreeSlotFor(keyboard));
  ASSERT_TRUE(table.ClaimSlot(keyboard, &index));
  EXPECT_EQ(index, 2u);
  EXPECT_EQ(table.Slot(2).DeviceKind, kind::kKeyboardReceiver);
  table.Release(0);
  keyboard.DevicePath = "first";
  EXPECT_TRUE(table.HasFreeSlotFor(keyboard));
}

TEST_F(DiscoveryTest, WorkerFollowsHotPlugAndPostsIdentityOnce) {
  Plug("mouse");
  ASSERT_TRUE(worker_.Start());
  ASSERT_TRUE(PumpUntil([&] { return events_.size() >= 2 && identityPosts_ == 1; }));
  EXPECT_EQ(Slots(Take(), UM_INTERFACE_ARRIVED), (std::vector<uint64_t>{4, 5}));

  Plug("pad");
  ASSERT_TRUE(PumpUntil([&] { return events_.size() >= 2; }));
  EXPECT_EQ(Slots(Take(), UM_INTERFACE_ARRIVED), (std::vector<uint64_t>{8, 9}));

  emu_->Unplug(emu_->FindByName("mouse")->Id());
  ASSERT_TRUE(PumpUntil([&] { return events_.size() >= 2; }));
  EXPECT_EQ(Slots(Take(), UM_INTERFACE_REMOVED), (std::vector<uint64_t>{4, 5}));
  PumpUntil([] { return false; }, 250ms);  // a few more passes
  EXPECT_EQ(identityPosts_, 1);

  std::vector<std::string> trace;
  {
    platform::ScopedTraceSink sink([&](std::string_view line) { trace.emplace_back(line); });
    EXPECT_TRUE(worker_.Stop(500ms));
  }
  EXPECT_NE(std::find(trace.begin(), trace.end(), kDiscoveryExitTrace), trace.end());
  EXPECT_FALSE(worker_.Running());
}

TEST_F(DiscoveryTest, StopEndsTheWorkerEvenWhileItsSendIsUnanswered) {
  Plug("mouse,keyboard");
  ASSERT_TRUE(worker_.Start());
  std::this_thread::sleep_for(50ms);  // the worker now waits in a send nobody answers
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(worker_.Stop(500ms));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
}

}  // namespace
}  // namespace hid
