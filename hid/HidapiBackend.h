#pragma once
// Real devices through hidapi's hidraw backend. Each hidraw node is one USB
// interface; its report descriptor (read from sysfs, as hidapi offers no call
// for it) is parsed into top-level collections and each collection becomes
// one path, "/dev/hidrawN#vid_..&pid_..&mi_..[&col..]". Reads keep only the
// reports whose id belongs to the opened collection, since one node carries
// every collection of its interface.

#include <memory>

#include "hid/HidBackend.h"

namespace hid {

class HidapiBackend : public HidBackend {
 public:
  HidapiBackend();
  ~HidapiBackend() override;

  bool Enumerate(std::vector<std::string>& paths) override;
  std::shared_ptr<HidConnection> Open(std::string_view path, const OpenMode& mode) override;
  bool IsPresent(std::string_view path) override;
  bool Owns(std::string_view path) const override;
};

}  // namespace hid
