#include "profiles/Sections.h"

#include "profiles/JsonAccess.h"

namespace profiles::sections {
namespace {

using json::Member;
using json::ToBool;
using json::ToInt;

uint8_t Byte(const Json::Value& object, const char* key) {
  return uint8_t(ToInt(Member(object, key)));
}
uint8_t Flag(const Json::Value& object, const char* key) {
  return ToBool(Member(object, key)) ? 1 : 0;
}
uint16_t Half(const Json::Value& object, const char* key) {
  return uint16_t(ToInt(Member(object, key)));
}

}  // namespace

LightInfoRecord ReadLightInfo(const Json::Value& s) {
  LightInfoRecord r;
  r.selectItem = Byte(s, "SelectItem");
  r.light = Byte(s, "Light");
  r.speed = Byte(s, "Speed");
  r.fx = Byte(s, "Fx");
  r.multiColor = Flag(s, "MultiColor");
  r.red = Byte(s, "Red");
  r.green = Byte(s, "Green");
  r.blue = Byte(s, "Blue");
  r.zzccLedMode = Byte(s, "ZZCCLedMode");
  r.customGroup = Byte(s, "CustomGroup");
  r.oldLedMode = Byte(s, "OldLedmode");
  return r;
}

Json::Value WriteLightInfo(const LightInfoRecord& r) {
  Json::Value s(Json::objectValue);
  s["SelectItem"] = int(r.selectItem);
  s["Light"] = int(r.light);
  s["Speed"] = int(r.speed);
  s["Fx"] = int(r.fx);
  s["MultiColor"] = r.multiColor != 0 ? 1 : 0;
  s["Red"] = int(r.red);
  s["Green"] = int(r.green);
  s["Blue"] = int(r.blue);
  s["ZZCCLedMode"] = int(r.zzccLedMode);
  s["CustomGroup"] = int(r.customGroup);
  s["OldLedmode"] = int(r.oldLedMode);
  return s;
}

AudioLightRecord ReadAudioLight(const Json::Value& s) {
  AudioLightRecord r;
  r.audioMode = Byte(s, "AudioMode");
  r.bkRed = Byte(s, "BkColorR");
  r.bkGreen = Byte(s, "BkColorG");
  r.bkBlue = Byte(s, "BkColorB");
  r.fgRed = Byte(s, "FgColorR");
  r.fgGreen = Byte(s, "FgColorG");
  r.fgBlue = Byte(s, "FgColorB");
  r.sevenColor = Flag(s, "7ColorFlags");
  r.colorType = Flag(s, "ColorTypeFlags");
  return r;
}

Json::Value WriteAudioLight(const AudioLightRecord& r) {
  Json::Value s(Json::objectValue);
  s["AudioMode"] = int(r.audioMode);
  s["BkColorR"] = int(r.bkRed);
  s["BkColorG"] = int(r.bkGreen);
  s["BkColorB"] = int(r.bkBlue);
  s["FgColorR"] = int(r.fgRed);
  s["FgColorG"] = int(r.fgGreen);
  s["FgColorB"] = int(r.fgBlue);
  s["7ColorFlags"] = int(r.sevenColor);
  s["ColorTypeFlags"] = int(r.colorType);
  return s;
}

LightModeEntry ReadLightModeEntry(const Json::Value& e) {
  LightModeEntry r;
  if (e.isNull()) return r;
  r.mode = Byte(e, "LEDREGMode");
  r.brightness = Byte(e, "LEDBrightness");
  r.speed = Byte(e, "LEDSpeed");
  r.direction = Flag(e, "LEDDirection");
  r.multiColor = Flag(e, "LEDMultiColor");
  r.red = Byte(e, "red");
  r.green = Byte(e, "green");
  r.blue = Byte(e, "blue");
  r.present = 1;
  return r;
}

std::vector<LightModeEntry> ReadLightList(const Json::Value& section) {
  std::vector<LightModeEntry> list;
  const size_t n = json::ArraySize(section);
  list.reserve(n);
  for (size_t i = 0; i < n; ++i) list.push_back(ReadLightModeEntry(json::Element(section, i)));
  return list;
}

KeyAssignment ReadKeyAssignment(const Json::Value& e, uint16_t keyIndex) {
  return KeyAssignment{
      KeyFunction::FromCode(keyIndex, uint32_t(ToInt(Member(e, "Assignment")))),
      KeyFunction::FromCode(keyIndex, uint32_t(ToInt(Member(e, "DefaultAssignment"))))};
}

std::vector<KeyAssignment> ReadKeyList(const Json::Value& section) {
  std::vector<KeyAssignment> list;
  const size_t n = json::ArraySize(section);
  list.reserve(n);
  for (size_t i = 0; i < n; ++i)
    list.push_back(ReadKeyAssignment(json::Element(section, i), uint16_t(i)));
  return list;
}

void WriteKeyList(Json::Value& section, std::span<const KeyAssignment> keys) {
  for (size_t i = 0; i < keys.size(); ++i) {
    Json::Value& element = json::ArrayElement(section, i);
    json::ObjectMember(element, "Assignment") = int(keys[i].assignment.Code());
  }
}

KeyboardSystemSettings ReadKeyboardSystem(const Json::Value& s) {
  KeyboardSystemSettings r;
  r.repeat = Half(s, "Repeat");
  r.repeatDelay = Half(s, "RepeatDelay");
  r.key6Flag = Half(s, "Key6Flag");
  r.pollingRate = Half(s, "PollingRate");
  r.wFlag = Half(s, "WFlag");
  r.winFlag = Half(s, "WinFlag");
  return r;
}

void WriteKeyboardSystem(Json::Value& s, const KeyboardSystemSettings& r) {
  json::ObjectMember(s, "Repeat") = int(r.repeat);
  s["RepeatDelay"] = int(r.repeatDelay);
  s["Key6Flag"] = int(r.key6Flag);
  s["PollingRate"] = int(r.pollingRate);
  s["WFlag"] = int(r.wFlag);
  s["WinFlag"] = int(r.winFlag);
}

CustomColor ReadCustomColor(const Json::Value& e) {
  return CustomColor{Byte(e, "Red"), Byte(e, "Green"), Byte(e, "Blue"), Byte(e, "Alpha")};
}

void WriteCustomColor(Json::Value& e, const CustomColor& c) {
  json::ObjectMember(e, "Red") = int(c.red);
  e["Green"] = int(c.green);
  e["Blue"] = int(c.blue);
  e["Alpha"] = int(c.alpha);
}

DpiStage ReadDpiStage(const Json::Value& e) {
  DpiStage r;
  r.active = Byte(e, "StageActive");
  r.xy = Byte(e, "StageXY");
  r.dpiX = Half(e, "StageDPIX");
  r.dpiY = Half(e, "StageDPIY");
  r.red = Byte(e, "StageColorR");
  r.green = Byte(e, "StageColorG");
  r.blue = Byte(e, "StageColorB");
  return r;
}

void WriteDpiStage(Json::Value& e, const DpiStage& r) {
  json::ObjectMember(e, "StageActive") = int(r.active);
  e["StageXY"] = int(r.xy);
  e["StageDPIX"] = int(r.dpiX);
  e["StageDPIY"] = int(r.dpiY);
  e["StageColorR"] = int(r.red);
  e["StageColorG"] = int(r.green);
  e["StageColorB"] = int(r.blue);
}

MouseSystemSettings ReadMouseSystem(const Json::Value& sys, const Json::Value& rep) {
  MouseSystemSettings r;
  r.doubleClickTime = Half(sys, "DoubleClickTime");
  r.mouseSpeed = Half(sys, "MouseSpeed");
  r.pointerPrecision = Half(sys, "PointerPrecision");
  r.scrollPage = Half(sys, "ScorllPage");
  r.wheelScrollLines = Half(sys, "WheelScorlllinse");
  r.reportRate = Half(rep, "StageActive");
  r.silentAltitude = Half(rep, "SilentAltitude");
  r.linearCalibration = Half(rep, "Linear_Calibration");
  r.ripple = Half(rep, "Ripple");
  r.bleSleep1 = Half(rep, "ble_sleep1");
  r.bleSleep2 = Half(rep, "ble_sleep2");
  r.deviceSleep1 = Half(rep, "device_sleep1");
  r.deviceSleep2 = Half(rep, "device_sleep2");
  r.keyDebounceTime = Half(rep, "key_debounce_time");
  return r;
}

void WriteMouseSystem(Json::Value& sys, Json::Value& rep, const MouseSystemSettings& r) {
  json::ObjectMember(sys, "DoubleClickTime") = int(r.doubleClickTime);
  sys["MouseSpeed"] = int(r.mouseSpeed);
  sys["PointerPrecision"] = int(r.pointerPrecision);
  sys["ScorllPage"] = int(r.scrollPage);
  sys["WheelScorlllinse"] = int(r.wheelScrollLines);
  json::ObjectMember(rep, "StageActive") = int(r.reportRate);
  rep["SilentAltitude"] = int(r.silentAltitude);
  rep["Linear_Calibration"] = int(r.linearCalibration);
  rep["Ripple"] = int(r.ripple);
  rep["ble_sleep1"] = int(r.bleSleep1);
  rep["ble_sleep2"] = int(r.bleSleep2);
  rep["device_sleep1"] = int(r.deviceSleep1);
  rep["device_sleep2"] = int(r.deviceSleep2);
  rep["key_debounce_time"] = int(r.keyDebounceTime);
}

HeadsetSettings ReadHeadsetSettings(const Json::Value& s) {
  HeadsetSettings r;
  r.magicEnable = ToInt(Member(s, "MagicEnable"));
  r.magicType = ToInt(Member(s, "MagicType"));
  r.eqType = ToInt(Member(s, "EqType"));
  r.customEqSelectIndex = ToInt(Member(s, "CustomEqSeletIndex"));
  r.micInSelect = ToInt(Member(s, "MicInSelect"));
  r.micInValue = ToInt(Member(s, "MicInValue"));
  r.micMonitorSelect = ToInt(Member(s, "MicMoniterSelect"));
  r.micMonitorValue = ToInt(Member(s, "MicMoniterValue"));
  return r;
}

void WriteHeadsetSettings(Json::Value& s, const HeadsetSettings& r) {
  json::ObjectMember(s, "MagicEnable") = r.magicEnable;
  s["MagicType"] = r.magicType;
  s["EqType"] = r.eqType;
  s["CustomEqSeletIndex"] = r.customEqSelectIndex;
  s["MicInSelect"] = r.micInSelect;
  s["MicInValue"] = r.micInValue;
  s["MicMoniterSelect"] = r.micMonitorSelect;
  s["MicMoniterValue"] = r.micMonitorValue;
}

LightEffectStep ReadLightEffectStep(const Json::Value& e) {
  LightEffectStep r;
  r.mode = Byte(e, "LEDREGMode");
  r.brightness = Byte(e, "LEDBrightness");
  r.speed = Byte(e, "LEDSpeed");
  r.direction = Byte(e, "LEDDirection");
  r.multiColor = Byte(e, "LEDMultiColor");
  r.red = Byte(e, "red");
  r.green = Byte(e, "green");
  r.blue = Byte(e, "blue");
  r.time = ToInt(Member(e, "Time"));
  r.cycle = ToInt(Member(e, "Cyle"));
  return r;
}

std::vector<LightEffectStep> ReadLightEffectList(const Json::Value& effect) {
  const Json::Value& list = Member(effect, kEffectList);
  std::vector<LightEffectStep> steps;
  steps.reserve(json::ArraySize(list));
  for (size_t i = 0; i < json::ArraySize(list); ++i) steps.push_back(ReadLightEffectStep(json::Element(list, i)));
  return steps;
}

}  // namespace profiles::sections
