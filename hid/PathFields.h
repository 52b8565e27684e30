#pragma once
// Fields of a device path. Each parser finds the first case-insensitive
// occurrence of its token and reads the hexadecimal number after it, stopping
// at the first non-hex character; 0 when the token is absent.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hid {

uint16_t PathVendorId(std::string_view path);          // "vid_"
uint16_t PathProductId(std::string_view path);         // "pid_"
uint16_t PathInterfaceNumber(std::string_view path);   // "&mi_"
uint16_t PathCollectionNumber(std::string_view path);  // "&col"

// "<node>#vid_xxxx&pid_xxxx[&mi_xx][&colxx]"; the interface and collection
// parts are left out when not given.
std::string MakeInterfacePath(std::string_view node, uint16_t vendorId, uint16_t productId,
                              std::optional<uint16_t> interfaceNumber,
                              std::optional<uint16_t> collectionNumber);

// The part before '#' (the whole path when there is none).
std::string_view PathNode(std::string_view path);

}  // namespace hid
