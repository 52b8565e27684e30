#include "hid/SupportedDevices.h"

#include "hid/HidBackend.h"
#include "hid/PathFields.h"

namespace hid {

int FindKindRow(int32_t vendorId, int32_t productId, int32_t kind, int32_t role) {
  for (size_t i = 0; i < DeviceKindTable.size(); ++i) {
    const DeviceKindRow& r = DeviceKindTable[i];
    if (r.VendorId == vendorId && r.ProductId == productId && r.kind == kind && r.role == role)
      return static_cast<int>(i);
  }
  return -1;
}

bool PathFitsRow(HidBackend& backend, const std::string& path, const SupportedInterfaceRow& row) {
  if (PathVendorId(path) != row.VendorId || PathProductId(path) != row.ProductId ||
      PathInterfaceNumber(path) != row.InterfaceNumber || PathCollectionNumber(path) != row.CollectionNumber)
    return false;
  const auto connection = backend.Open(path, OpenMode{});
  if (!connection) return true;
  const TopLevelCollection& collection = connection->Collection();
  return collection.usagePage == row.UsagePage && collection.usage == row.Usage;
}

int FindSupportedRow(int32_t vendorId, int32_t productId, int32_t kind, int32_t role) {
  for (size_t i = 0; i < SupportedInterfaceTable.size(); ++i) {
    const SupportedInterfaceRow& r = SupportedInterfaceTable[i];
    if (r.VendorId == vendorId && r.ProductId == productId && r.DeviceKind == kind &&
        r.InterfaceUse == role)
      return static_cast<int>(i);
  }
  return -1;
}

}  // namespace hid
