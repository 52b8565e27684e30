#pragma once
// JSON sections of a profile's device entry <-> profile records. The member
// names are written here once, letter for letter as the files spell them
// ("ScorllPage", "WheelScorlllinse", "Cyle", "CustomEqSeletIndex",
// "MicMoniterSelect"). Readers never throw: a missing member reads as 0 or
// false, values are narrowed to the field width by plain truncation.

#include <cstdint>
#include <span>
#include <vector>

#include <json/json.h>

#include "profiles/ProfileRecords.h"

namespace profiles::sections {

// Section names of the device entry.
inline constexpr const char* kLightInfo = "LightInfo";
inline constexpr const char* kAudioLightInfo = "AudioLightInfo";
inline constexpr const char* kLightList = "LightList";
inline constexpr const char* kKeyList = "KeyList";
inline constexpr const char* kSystemStages = "SystemStages";
inline constexpr const char* kReportStages = "ReportStages";
inline constexpr const char* kCustomLightMode = "CustomLightMode";
inline constexpr const char* kLightColorInfo = "LightColorInfo";
inline constexpr const char* kCustomGroupIndex = "CustomLightModeGroupIndex";
inline constexpr const char* kDpiStages = "DPIStages";
inline constexpr const char* kStageActive = "StageActive";
inline constexpr const char* kStageDpis = "StageDPIs";
inline constexpr const char* kSystemSetStages = "SystemSetStages";
inline constexpr const char* kEqValues = "EQHzValueInfo";
inline constexpr const char* kCustomEqNames = "CustomEQNameInfo";
inline constexpr const char* kCustomEqValues = "CustomEQHzValueInfo";
inline constexpr const char* kEqBandValue = "value";
inline constexpr const char* kEqName = "Name";
// Root members of a profile file and of the light files.
inline constexpr const char* kDevice = "Device";
inline constexpr const char* kProfileName = "profilename";
inline constexpr const char* kProfileUuid = "profileUUID";
inline constexpr const char* kLightConfigList = "LightInfo";
inline constexpr const char* kLightName = "LightName";
inline constexpr const char* kGuid = "Guid";
inline constexpr const char* kEffectList = "LEDEffectList";

LightInfoRecord ReadLightInfo(const Json::Value& section);
// The whole "LightInfo" object (bytes 8-10 are not written).
Json::Value WriteLightInfo(const LightInfoRecord& record);

AudioLightRecord ReadAudioLight(const Json::Value& section);
Json::Value WriteAudioLight(const AudioLightRecord& record);

// One "LightList" element; a null element gives an entry with present = 0.
LightModeEntry ReadLightModeEntry(const Json::Value& element);
std::vector<LightModeEntry> ReadLightList(const Json::Value& section);

// One "KeyList" element; the key index is the element's position.
KeyAssignment ReadKeyAssignment(const Json::Value& element, uint16_t keyIndex);
std::vector<KeyAssignment> ReadKeyList(const Json::Value& section);
// Writes "Assignment" of elements 0..n-1 ("DefaultAssignment" is factory data
// and never written); elements are created when the array is shorter.
void WriteKeyList(Json::Value& section, std::span<const KeyAssignment> keys);

KeyboardSystemSettings ReadKeyboardSystem(const Json::Value& section);
void WriteKeyboardSystem(Json::Value& section, const KeyboardSystemSettings& settings);

CustomColor ReadCustomColor(const Json::Value& element);
void WriteCustomColor(Json::Value& element, const CustomColor& color);

DpiStage ReadDpiStage(const Json::Value& element);
void WriteDpiStage(Json::Value& element, const DpiStage& stage);

// "SystemStages" gives words 0-2 (low half), "ReportStages" the rest.
MouseSystemSettings ReadMouseSystem(const Json::Value& systemStages,
                                    const Json::Value& reportStages);
void WriteMouseSystem(Json::Value& systemStages, Json::Value& reportStages,
                      const MouseSystemSettings& settings);

HeadsetSettings ReadHeadsetSettings(const Json::Value& section);
void WriteHeadsetSettings(Json::Value& section, const HeadsetSettings& settings);

LightEffectStep ReadLightEffectStep(const Json::Value& element);
// The steps of a light effect file's document ({"LEDEffectList": [step, ...]}).
std::vector<LightEffectStep> ReadLightEffectList(const Json::Value& effect);

}  // namespace profiles::sections
