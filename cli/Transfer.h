#pragma once
// A write between begin and end transfer, as the device models send them: end
// transfer follows even when the write failed. The result is the first that
// is not 1: begin, the write, then end.

#include <functional>

#include "protocol/CommandChannel.h"

namespace cli {

inline int InTransfer(protocol::CCommandChannel& channel, const std::function<int()>& write) {
  int result = channel.BeginTransfer();
  if (result == protocol::kOk) result = write();
  const int end = channel.EndTransfer(1);
  return result == protocol::kOk ? end : result;
}

}  // namespace cli
