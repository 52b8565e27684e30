// Transfer brackets, information and status blocks, host lighting and the
// receiver's link query.

#include <algorithm>
#include <thread>

#include "protocol/CommandChannel.h"

namespace protocol {

using namespace std::chrono_literals;

int CCommandChannel::BeginTransfer() {
  Report request = MakeRequest(cmd::kBeginTransfer), reply{};
  return Command(request, reply, &commandLock_);
}

int CCommandChannel::EndTransfer(int /*ignored*/) {
  Sleep(10ms);
  Report request = MakeRequest(cmd::kEndTransfer), reply{};
  return Command(request, reply, &commandLock_);
}

int CCommandChannel::BeginHostLighting() {
  Report request = MakeRequest(cmd::kBeginHostLighting), reply{};
  return Command(request, reply, &commandLock_);
}

int CCommandChannel::ReadInfoBlock(std::span<uint8_t, kInfoBlockSize> destination) {
  // Read into a scratch block so a failure leaves the destination untouched.
  InfoBlockBytes block{};
  const int result = ChunkedRead(
      {cmd::kReadInfoBlock, kInfoBlockSize, 0, chunkSize_, &commandLock_}, block);
  if (result == kOk) std::copy(block.begin(), block.end(), destination.begin());
  return result;
}

int CCommandChannel::WriteInfoBlock(std::span<const uint8_t, kInfoBlockSize> source) {
  // Always one report, also through the receiver.
  Report request = MakeRequest(cmd::kWriteInfoBlock, uint8_t(kInfoBlockSize), 0), reply{};
  std::copy(source.begin(), source.end(), request.begin() + report::kData);
  return Command(request, reply, &commandLock_);
}

int CCommandChannel::ReadStatusBlock(std::span<uint8_t> destination, uint8_t length,
                                     uint16_t offset) {
  length = uint8_t(std::min<size_t>({length, destination.size(), report::kDataSize}));
  Report request = MakeRequest(cmd::kReadStatusBlock, length, offset), reply{};
  const int result = Command(request, reply, &commandLock_);
  if (result == kOk)
    std::copy_n(reply.begin() + report::kData, length, destination.begin());
  return result;
}

bool CCommandChannel::QueryWirelessLink() {
  if (!receiverMode_) return true;
  Report request = MakeRequest(cmd::kQueryWirelessLink), reply{};
  SealReport(request);
  int result;
  {
    std::lock_guard guard(commandLock_);
    result = Exchange(request, reply);
  }
  bool linked = reply[report::kData] == 0xFF;
  if (result != kOk) linked = false;
  if (StatusResult(reply) != kOk) linked = false;
  return linked;
}

}  // namespace protocol
