#include "profiles/JsonAccess.h"

#include <cmath>
#include <limits>

namespace profiles::json {
namespace {

const Json::Value& NullValue() {
  static const Json::Value kNull;
  return kNull;
}

}  // namespace

const Json::Value& Member(const Json::Value& object, const char* key) {
  if (!object.isObject()) return NullValue();
  const Json::Value* found = object.find(key, key + std::char_traits<char>::length(key));
  return found ? *found : NullValue();
}

const Json::Value& Element(const Json::Value& array, size_t index) {
  if (!array.isArray() || index >= array.size()) return NullValue();
  return array[Json::ArrayIndex(index)];
}

size_t ArraySize(const Json::Value& array) { return array.isArray() ? array.size() : 0; }

int ToInt(const Json::Value& value) {
  switch (value.type()) {
    case Json::nullValue:
      return 0;
    case Json::booleanValue:
      return value.asBool() ? 1 : 0;
    case Json::intValue:
      return int(uint32_t(uint64_t(value.asLargestInt())));
    case Json::uintValue:
      return int(uint32_t(value.asLargestUInt()));
    case Json::realValue: {
      const double d = value.asDouble();
      if (!std::isfinite(d) || d < double(std::numeric_limits<int>::min()) ||
          d > double(std::numeric_limits<int>::max()))
        return 0;
      return int(d);
    }
    default:
      return 0;
  }
}

bool ToBool(const Json::Value& value) {
  switch (value.type()) {
    case Json::nullValue:
      return false;
    case Json::booleanValue:
      return value.asBool();
    case Json::intValue:
      return value.asLargestInt() != 0;
    case Json::uintValue:
      return value.asLargestUInt() != 0;
    case Json::realValue:
      return value.asDouble() != 0.0;
    default:
      return false;
  }
}

std::string ToText(const Json::Value& value) {
  switch (value.type()) {
    case Json::stringValue:
    case Json::booleanValue:
    case Json::intValue:
    case Json::uintValue:
    case Json::realValue:
      return value.asString();
    default:
      return {};
  }
}

Json::Value& ObjectMember(Json::Value& object, const char* key) {
  if (!object.isObject()) object = Json::Value(Json::objectValue);
  return object[key];
}

Json::Value& ArrayElement(Json::Value& array, size_t index) {
  if (!array.isArray()) array = Json::Value(Json::arrayValue);
  return array[Json::ArrayIndex(index)];
}

}  // namespace profiles::json
