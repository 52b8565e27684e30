#include "platform/Messages.h"

#include <mutex>
#include <unordered_map>
#include <vector>

namespace platform {
namespace {

struct RegisteredMessages {
  std::mutex lock;  // guards both maps
  std::unordered_map<std::string, MessageId> byName;
  std::vector<std::string> names;  // index = id - kFirstRegisteredMessage
};

RegisteredMessages& Table() {
  static RegisteredMessages table;
  return table;
}

}  // namespace

MessageId RegisterWindowMessage(std::string_view name) {
  if (name.empty()) return 0;
  RegisteredMessages& t = Table();
  std::lock_guard guard(t.lock);
  const std::string key(name);
  if (auto it = t.byName.find(key); it != t.byName.end()) return it->second;
  if (t.names.size() > kLastRegisteredMessage - kFirstRegisteredMessage) return 0;
  const MessageId id = kFirstRegisteredMessage + MessageId(t.names.size());
  t.names.push_back(key);
  t.byName.emplace(key, id);
  return id;
}

MessageId FindWindowMessage(std::string_view name) {
  RegisteredMessages& t = Table();
  std::lock_guard guard(t.lock);
  const auto it = t.byName.find(std::string(name));
  return it == t.byName.end() ? 0 : it->second;
}

std::optional<std::string> RegisteredMessageName(MessageId id) {
  if (id < kFirstRegisteredMessage) return std::nullopt;
  RegisteredMessages& t = Table();
  std::lock_guard guard(t.lock);
  const size_t index = id - kFirstRegisteredMessage;
  if (index >= t.names.size()) return std::nullopt;
  return t.names[index];
}

}  // namespace platform
