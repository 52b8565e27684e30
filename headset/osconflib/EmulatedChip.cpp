// The emulated audio chip: a property store described by a JSON document
//   {"devices": [{"flow": 0, "id": 1, "kind": 1, "state": 1}, ...],
//    "properties": {"R:MuteControl": "0", "P:EQ_Slider1": "3", ...},
//    "fail": ["init", "read:*", "read:P:EQ_Slider2", "write:R:MuteControl",
//             "device:0:1", ...]}
// Property keys are the device's letter (P for a flow 0 device, R for flow 1),
// a colon and the name. A property that is not listed fails its read until it
// is written; a write stores "%d" or "%g" text. "device:<flow>:<index>" makes
// that GetDeviceById call fail after filling the record, as a careless
// library might. Every accepted write is appended to the log file, when one
// is named, as "write <key> <text>".

#include <charconv>
#include <fstream>
#include <map>
#include <set>
#include <vector>

#include <json/json.h>

#include "headset/osconflib/ChipBackend.h"

namespace osconflib {

std::string FormatValue(const PropertyValue& value) {
  char buffer[64];
  const auto end = value.isFloat
                       ? std::to_chars(buffer, buffer + sizeof buffer, double(value.f), std::chars_format::general, 6)
                       : std::to_chars(buffer, buffer + sizeof buffer, value.i);
  return std::string(buffer, end.ptr);
}

namespace {

struct Device {
  int flow = 0;
  AudioDeviceInfo info{};
};

class EmulatedChip final : public ChipBackend {
 public:
  EmulatedChip(std::vector<Device> devices, std::map<std::string, std::string> properties,
               std::set<std::string> failures, std::string logPath)
      : devices_(std::move(devices)),
        properties_(std::move(properties)),
        failures_(std::move(failures)),
        logPath_(std::move(logPath)) {}

  int Init() override { return Fails("init") ? kConfLibFailed : kConfLibOk; }

  int CreateDeviceList() override {
    listed_ = true;
    return Fails("list") ? kConfLibFailed : kConfLibOk;
  }

  int DeviceCount(int flow, unsigned int* count) override {
    if (!count) return kConfLibFailed;
    *count = 0;
    if (!listed_) return kConfLibFailed;
    for (const Device& d : devices_) *count += d.flow == flow ? 1u : 0u;
    return kConfLibOk;
  }

  int DeviceAt(int flow, unsigned int index, AudioDeviceInfo* info) override {
    const Device* device = Nth(flow, index);
    if (!info || !device || !listed_) return kConfLibFailed;
    *info = device->info;
    return Fails("device:" + std::to_string(flow) + ":" + std::to_string(index)) ? kConfLibFailed : kConfLibOk;
  }

  int Read(const AudioDeviceInfo& device, const std::string& name, Extra, std::string* text) override {
    const std::string key = Key(device, name);
    if (key.empty() || Fails("read:*") || Fails("read:" + key)) return kConfLibFailed;
    const auto it = properties_.find(key);
    if (it == properties_.end()) return kConfLibFailed;
    *text = it->second;
    return kConfLibOk;
  }

  int Write(const AudioDeviceInfo& device, const std::string& name, const PropertyValue& value, Extra) override {
    const std::string key = Key(device, name);
    if (key.empty() || Fails("write:*") || Fails("write:" + key)) return kConfLibFailed;
    const std::string text = FormatValue(value);
    properties_[key] = text;
    if (!logPath_.empty()) {
      std::ofstream log(logPath_, std::ios::app);
      log << "write " << key << ' ' << text << '\n';
    }
    return kConfLibOk;
  }

 private:
  bool Fails(const std::string& what) const { return failures_.count(what) != 0; }

  const Device* Nth(int flow, unsigned int index) const {
    for (const Device& d : devices_)
      if (d.flow == flow && index-- == 0) return &d;
    return nullptr;
  }

  // The device is known by its id; its flow gives the key's letter.
  std::string Key(const AudioDeviceInfo& device, const std::string& name) const {
    for (const Device& d : devices_)
      if (d.info.id == device.id && (d.flow == kFlowPlayback || d.flow == kFlowRecording))
        return (d.flow == kFlowPlayback ? "P:" : "R:") + name;
    return {};
  }

  std::vector<Device> devices_;
  std::map<std::string, std::string> properties_;
  std::set<std::string> failures_;
  std::string logPath_;
  bool listed_ = false;
};

uint32_t Word(const Json::Value& object, const char* name) {
  const Json::Value& v = object[name];
  return v.isIntegral() ? uint32_t(v.asLargestInt()) : 0u;
}

}  // namespace

std::unique_ptr<ChipBackend> MakeEmulatedChip(std::string_view description, std::string logPath) {
  Json::CharReaderBuilder builder;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  if (!reader->parse(description.data(), description.data() + description.size(), &root, &errors) ||
      !root.isObject())
    return nullptr;
  std::vector<Device> devices;
  for (const Json::Value& entry : root["devices"]) {
    if (!entry.isObject()) continue;
    Device d;
    d.flow = int(Word(entry, "flow"));
    d.info.id = Word(entry, "id");
    d.info.kind = Word(entry, "kind");
    d.info.opaque = 0;
    d.info.state = Word(entry, "state");
    devices.push_back(d);
  }
  std::map<std::string, std::string> properties;
  const Json::Value& props = root["properties"];
  if (props.isObject())
    for (const std::string& key : props.getMemberNames()) {
      const Json::Value& v = props[key];
      if (v.isString()) properties[key] = v.asString();
      else if (v.isNumeric()) properties[key] = v.isIntegral() ? std::to_string(v.asLargestInt())
                                                                 : FormatValue({true, 0, v.asFloat()});
    }
  std::set<std::string> failures;
  for (const Json::Value& f : root["fail"])
    if (f.isString()) failures.insert(f.asString());
  return std::make_unique<EmulatedChip>(std::move(devices), std::move(properties), std::move(failures),
                                        std::move(logPath));
}

std::string_view BuiltInChipDescription() {
  // A headset with its headphones and microphone; every property the
  // configuration tool uses has a value, the voice effect feature bit is set.
  return R"({
  "devices": [{"flow": 0, "id": 257, "kind": 1, "state": 1},
              {"flow": 1, "id": 513, "kind": 2, "state": 1}],
  "properties": {
    "P:GetSupportFeature": "0,0,0,0,0,0,0",
    "R:GetSupportFeature": "131072,0,0,0,0,0,0",
    "P:VirtualSurroundEffectControl": "0",
    "P:Enable_EQ_GFX": "1",
    "P:EQ_Slider1": "0", "P:EQ_Slider2": "0", "P:EQ_Slider3": "0", "P:EQ_Slider4": "0",
    "P:EQ_Slider5": "0", "P:EQ_Slider6": "0", "P:EQ_Slider7": "0", "P:EQ_Slider8": "0",
    "P:EQ_Slider9": "0", "P:EQ_Slider10": "0",
    "P:Enable_RFX_GFX": "0", "P:RFX_ENVIRONMENT": "0", "P:RFX_ROOMSIZE": "0",
    "R:Enable_ENC_LFX": "0",
    "R:GetMaxVol": "30", "R:GetMinVol": "-12", "R:GetVolStep": "0.1875",
    "R:VolumeControl": "18", "R:VolumeScalarControl": "0.75", "R:MuteControl": "0",
    "R:GetAAMaxVol": "0", "R:GetAAMinVol": "-35", "R:GetAAVolStep": "0.5",
    "R:AAVolumeControl": "-20", "R:AAVolumeScalarControl": "0.4", "R:AAMuteControl": "1",
    "R:Enable_MAGICVOICE": "0", "R:MagicVoice_Selection": "0", "R:Enable_MICECHO": "0"
  }
})";
}

}  // namespace osconflib
