#pragma once
// Reading and writing JSON members without ever throwing. jsoncpp's own
// accessors throw (or abort) when a file holds the wrong type at a place — an
// array where an object belongs, a string where a number belongs, a number too
// large for an int. Profile files come from disk and from imports, so every
// section reader goes through these helpers instead:
//  - a member or element of the wrong container type reads as null;
//  - ToInt/ToBool follow jsoncpp's conversions (null 0/false, bool 0/1, numbers
//    as numbers) and give 0/false where jsoncpp would throw;
//  - the writers turn a value of the wrong type into the container they need.

#include <cstddef>
#include <string>

#include <json/json.h>

namespace profiles::json {

const Json::Value& Member(const Json::Value& object, const char* key);
const Json::Value& Element(const Json::Value& array, size_t index);
// Number of elements when the value is an array, else 0.
size_t ArraySize(const Json::Value& array);

// Integer as jsoncpp's asInt gives it; integers beyond the int range keep their
// low 32 bits (the readers narrow to field widths anyway), doubles outside the
// int range, strings, arrays and objects read as 0.
int ToInt(const Json::Value& value);
// jsoncpp's asBool; strings, arrays and objects read as false.
bool ToBool(const Json::Value& value);
// The text of a string (and jsoncpp's text of a number or bool); "" otherwise.
std::string ToText(const Json::Value& value);

// The member, after making `object` an object when it is not one.
Json::Value& ObjectMember(Json::Value& object, const char* key);
// The element, after making `array` an array when it is not one; the array
// grows with nulls to reach the index.
Json::Value& ArrayElement(Json::Value& array, size_t index);

}  // namespace profiles::json
