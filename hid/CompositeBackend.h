#pragma once
// Several backends seen as one: listings are joined in the given order and
// every path goes to the backend that owns its form.

#include <memory>
#include <vector>

#include "hid/HidBackend.h"

namespace hid {

class CompositeBackend : public HidBackend {
 public:
  explicit CompositeBackend(std::vector<std::shared_ptr<HidBackend>> parts);

  // Fails when any part fails, as one listing would.
  bool Enumerate(std::vector<std::string>& paths) override;
  std::shared_ptr<HidConnection> Open(std::string_view path, const OpenMode& mode) override;
  bool IsPresent(std::string_view path) override;
  bool Owns(std::string_view path) const override;
  bool IsEmulated(std::string_view path) override;
  // The sum of the parts' counts; nullopt when any part cannot tell.
  std::optional<uint64_t> ChangeCount() override;

 private:
  HidBackend* OwnerOf(std::string_view path) const;
  std::vector<std::shared_ptr<HidBackend>> parts_;
};

}  // namespace hid
