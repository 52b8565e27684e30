#include "hid/PathFields.h"

#include <cctype>
#include <cstdio>

namespace hid {
namespace {

size_t FindNoCase(std::string_view text, std::string_view token) {
  if (token.size() > text.size()) return std::string_view::npos;
  for (size_t i = 0; i + token.size() <= text.size(); ++i) {
    size_t k = 0;
    while (k < token.size() &&
           std::tolower(static_cast<unsigned char>(text[i + k])) ==
               std::tolower(static_cast<unsigned char>(token[k])))
      ++k;
    if (k == token.size()) return i;
  }
  return std::string_view::npos;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

uint16_t FieldAfter(std::string_view path, std::string_view token) {
  const size_t at = FindNoCase(path, token);
  if (at == std::string_view::npos) return 0;
  uint32_t value = 0;
  for (size_t i = at + token.size(); i < path.size(); ++i) {
    const int d = HexDigit(path[i]);
    if (d < 0) break;
    value = (value << 4) | uint32_t(d);  // like "%x" into a wide int, then cut to 16 bits
  }
  return static_cast<uint16_t>(value);
}

}  // namespace

uint16_t PathVendorId(std::string_view path) { return FieldAfter(path, "vid_"); }
uint16_t PathProductId(std::string_view path) { return FieldAfter(path, "pid_"); }
uint16_t PathInterfaceNumber(std::string_view path) { return FieldAfter(path, "&mi_"); }
uint16_t PathCollectionNumber(std::string_view path) { return FieldAfter(path, "&col"); }

std::string MakeInterfacePath(std::string_view node, uint16_t vendorId, uint16_t productId,
                              std::optional<uint16_t> interfaceNumber,
                              std::optional<uint16_t> collectionNumber) {
  char ids[64];
  std::snprintf(ids, sizeof ids, "#vid_%04x&pid_%04x", vendorId, productId);
  std::string path(node);
  path += ids;
  if (interfaceNumber) {
    std::snprintf(ids, sizeof ids, "&mi_%02x", *interfaceNumber);
    path += ids;
  }
  if (collectionNumber) {
    std::snprintf(ids, sizeof ids, "&col%02x", *collectionNumber);
    path += ids;
  }
  return path;
}

std::string_view PathNode(std::string_view path) {
  const size_t hash = path.find('#');
  return hash == std::string_view::npos ? path : path.substr(0, hash);
}

}  // namespace hid
