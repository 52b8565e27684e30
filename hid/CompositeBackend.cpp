#include "hid/CompositeBackend.h"

namespace hid {

CompositeBackend::CompositeBackend(std::vector<std::shared_ptr<HidBackend>> parts)
    : parts_(std::move(parts)) {}

HidBackend* CompositeBackend::OwnerOf(std::string_view path) const {
  for (const auto& part : parts_)
    if (part && part->Owns(path)) return part.get();
  return nullptr;
}

bool CompositeBackend::Enumerate(std::vector<std::string>& paths) {
  paths.clear();
  for (const auto& part : parts_) {
    std::vector<std::string> some;
    if (!part || !part->Enumerate(some)) {
      paths.clear();
      return false;
    }
    paths.insert(paths.end(), std::make_move_iterator(some.begin()),
                 std::make_move_iterator(some.end()));
  }
  return true;
}

std::shared_ptr<HidConnection> CompositeBackend::Open(std::string_view path, const OpenMode& mode) {
  HidBackend* owner = OwnerOf(path);
  return owner ? owner->Open(path, mode) : nullptr;
}

bool CompositeBackend::IsPresent(std::string_view path) {
  HidBackend* owner = OwnerOf(path);
  return owner && owner->IsPresent(path);
}

bool CompositeBackend::IsEmulated(std::string_view path) {
  HidBackend* owner = OwnerOf(path);
  return owner && owner->IsEmulated(path);
}

bool CompositeBackend::Owns(std::string_view path) const { return OwnerOf(path) != nullptr; }

std::optional<uint64_t> CompositeBackend::ChangeCount() {
  uint64_t sum = 0;
  for (const auto& part : parts_) {
    const std::optional<uint64_t> count = part ? part->ChangeCount() : std::nullopt;
    if (!count) return std::nullopt;
    sum += *count;
  }
  return sum;
}

}  // namespace hid
