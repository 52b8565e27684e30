// The USB headset's card through ALSA's control interface. The card is the
// one whose /proc/asound/cardN/usbid reads 0c76:1630 (or the control device
// VX27_AUDIO_ALSA_CTL names). Its playback PCM is device 0 of flow 0 (kind 1,
// state 1), its capture PCM device 0 of flow 1 (kind 2); both ids are fixed,
// so they stay the same when the headset is plugged in again.
//
// The chip's properties map onto the card's mixer controls:
//   MuteControl            "Mic Capture Switch" (muted = switch off)
//   VolumeScalarControl    "Mic Capture Volume" as a 0..1 level
//   VolumeControl          "Mic Capture Volume" in dB
//   GetMaxVol/MinVol/VolStep  its dB range and the dB of one raw step
// and the "AA" properties onto the monitoring path, "Mic Playback …" or else
// "Sidetone Playback …". "GetSupportFeature" answers seven zeros. Every
// other property (equaliser, room effects, surround, noise suppression, voice
// effects) has no control and fails.

#include <alsa/asoundlib.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <string>

#include "headset/osconflib/AlsaMapping.h"
#include "headset/osconflib/ChipBackend.h"

namespace osconflib {
namespace {

constexpr const char* kHeadsetUsbId = "0c76:1630";
constexpr uint32_t kPlaybackId = 0x16300000;
constexpr uint32_t kRecordingId = 0x16300001;
constexpr const char* kFeatures = "0,0,0,0,0,0,0";

struct CtlCloser {
  void operator()(snd_ctl_t* ctl) const { snd_ctl_close(ctl); }
};
using CtlHandle = std::unique_ptr<snd_ctl_t, CtlCloser>;

std::string ReadFirstLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

bool FileExists(const std::string& path) { return std::ifstream(path).good(); }

// One mixer element by name, with its info.
class Element {
 public:
  // The id comes from the card's element list, numid included: the dB
  // look-ups need it on cards that do not fill it in from a name.
  Element(snd_ctl_t* ctl, const std::string& name) : ctl_(ctl) {
    snd_ctl_elem_id_malloc(&id_);
    snd_ctl_elem_info_malloc(&info_);
    if (!ctl_ || !FindListed(name)) return;
    snd_ctl_elem_info_set_id(info_, id_);
    present_ = snd_ctl_elem_info(ctl_, info_) == 0;
  }
  ~Element() {
    snd_ctl_elem_info_free(info_);
    snd_ctl_elem_id_free(id_);
  }
  Element(const Element&) = delete;
  Element& operator=(const Element&) = delete;

  bool Present() const { return present_; }

  bool FindListed(const std::string& name) {
    snd_ctl_elem_list_t* list = nullptr;
    if (snd_ctl_elem_list_malloc(&list) < 0) return false;
    bool found = false;
    if (snd_ctl_elem_list(ctl_, list) == 0 &&
        snd_ctl_elem_list_alloc_space(list, snd_ctl_elem_list_get_count(list)) == 0 &&
        snd_ctl_elem_list(ctl_, list) == 0) {
      for (unsigned int i = 0; i < snd_ctl_elem_list_get_used(list) && !found; ++i) {
        if (snd_ctl_elem_list_get_interface(list, i) != SND_CTL_ELEM_IFACE_MIXER ||
            snd_ctl_elem_list_get_index(list, i) != 0 || name != snd_ctl_elem_list_get_name(list, i))
          continue;
        snd_ctl_elem_list_get_id(list, i, id_);
        found = true;
      }
      snd_ctl_elem_list_free_space(list);
    }
    snd_ctl_elem_list_free(list);
    return found;
  }
  long Min() const { return snd_ctl_elem_info_get_min(info_); }
  long Max() const { return snd_ctl_elem_info_get_max(info_); }

  bool Get(long* raw) const {
    snd_ctl_elem_value_t* value;
    snd_ctl_elem_value_alloca(&value);
    snd_ctl_elem_value_set_id(value, id_);
    if (snd_ctl_elem_read(ctl_, value) < 0) return false;
    *raw = snd_ctl_elem_value_get_integer(value, 0);
    return true;
  }
  bool Set(long raw) const {
    snd_ctl_elem_value_t* value;
    snd_ctl_elem_value_alloca(&value);
    snd_ctl_elem_value_set_id(value, id_);
    const unsigned int count = snd_ctl_elem_info_get_count(info_);
    for (unsigned int c = 0; c < count; ++c) snd_ctl_elem_value_set_integer(value, c, raw);
    return snd_ctl_elem_write(ctl_, value) >= 0;
  }
  bool DbRange(long* minDb, long* maxDb) const { return snd_ctl_get_dB_range(ctl_, id_, minDb, maxDb) == 0; }
  bool ToDb(long raw, long* db) const { return snd_ctl_convert_to_dB(ctl_, id_, raw, db) == 0; }
  // The level of a raw value: by dB when the element has a dB range.
  double Level(long raw) const {
    long minDb = 0, maxDb = 0, db = 0;
    if (DbRange(&minDb, &maxDb) && ToDb(raw, &db)) return alsa::LevelFromDb(db, minDb, maxDb);
    return alsa::LevelFromRaw(raw, Min(), Max());
  }

 private:
  snd_ctl_t* ctl_;
  snd_ctl_elem_id_t* id_ = nullptr;
  snd_ctl_elem_info_t* info_ = nullptr;
  bool present_ = false;
};

std::string Text(double v) { return FormatValue({true, 0, float(v)}); }

// One volume with its switch: the microphone's capture or the monitoring path.
struct Path {
  std::string volume;
  std::string mute;
};

class AlsaChip final : public ChipBackend {
 public:
  explicit AlsaChip(std::string controlName) : controlName_(std::move(controlName)) {}

  int Init() override { return kConfLibOk; }

  int CreateDeviceList() override {
    ctl_.reset();
    playback_ = capture_ = false;
    std::string name = controlName_;
    if (name.empty()) {
      int card = -1;
      while (snd_card_next(&card) == 0 && card >= 0) {
        const std::string folder = "/proc/asound/card" + std::to_string(card);
        if (ReadFirstLine(folder + "/usbid") != kHeadsetUsbId) continue;
        name = "hw:" + std::to_string(card);
        playback_ = FileExists(folder + "/pcm0p/info");
        capture_ = FileExists(folder + "/pcm0c/info");
        break;
      }
    } else {
      playback_ = capture_ = true;
    }
    snd_ctl_t* ctl = nullptr;
    if (name.empty() || snd_ctl_open(&ctl, name.c_str(), 0) < 0) {
      playback_ = capture_ = false;
      return kConfLibFailed;
    }
    ctl_.reset(ctl);
    return kConfLibOk;
  }

  int DeviceCount(int flow, unsigned int* count) override {
    *count = (flow == kFlowPlayback && playback_) || (flow == kFlowRecording && capture_) ? 1u : 0u;
    return ctl_ ? kConfLibOk : kConfLibFailed;
  }

  int DeviceAt(int flow, unsigned int index, AudioDeviceInfo* info) override {
    unsigned int count = 0;
    if (DeviceCount(flow, &count) != kConfLibOk || index >= count) return kConfLibFailed;
    const bool playback = flow == kFlowPlayback;
    *info = AudioDeviceInfo{playback ? kPlaybackId : kRecordingId, playback ? 1u : 2u, 0u, 1u};
    return kConfLibOk;
  }

  int Read(const AudioDeviceInfo& device, const std::string& name, Extra, std::string* text) override {
    if (!ctl_) return kConfLibFailed;
    if (name == "GetSupportFeature" && (device.id == kPlaybackId || device.id == kRecordingId)) {
      *text = kFeatures;
      return kConfLibOk;
    }
    if (device.id != kRecordingId) return kConfLibFailed;
    const bool monitoring = name.rfind("AA", 0) == 0 || name.rfind("GetAA", 0) == 0;
    const Path path = monitoring ? MonitoringPath() : Path{"Mic Capture Volume", "Mic Capture Switch"};
    const std::string what = Unprefixed(name);
    if (what == "MuteControl") {
      Element sw(ctl_.get(), path.mute);
      long on = 0;
      if (!sw.Present() || !sw.Get(&on)) return kConfLibFailed;
      *text = on ? "0" : "1";
      return kConfLibOk;
    }
    Element volume(ctl_.get(), path.volume);
    long raw = 0, minDb = 0, maxDb = 0, db = 0;
    if (!volume.Present()) return kConfLibFailed;
    if (what == "VolumeScalarControl") {
      if (!volume.Get(&raw)) return kConfLibFailed;
      *text = Text(volume.Level(raw));
      return kConfLibOk;
    }
    if (what == "VolumeControl") {
      if (!volume.Get(&raw) || !volume.ToDb(raw, &db)) return kConfLibFailed;
      *text = Text(db / 100.0);
      return kConfLibOk;
    }
    if (!volume.DbRange(&minDb, &maxDb)) return kConfLibFailed;
    if (what == "GetMaxVol") *text = Text(maxDb / 100.0);
    else if (what == "GetMinVol") *text = Text(minDb / 100.0);
    else if (what == "GetVolStep" && volume.Max() > volume.Min())
      *text = Text((maxDb - minDb) / 100.0 / double(volume.Max() - volume.Min()));
    else return kConfLibFailed;
    return kConfLibOk;
  }

  int Write(const AudioDeviceInfo& device, const std::string& name, const PropertyValue& value, Extra) override {
    if (!ctl_ || device.id != kRecordingId) return kConfLibFailed;
    const bool monitoring = name.rfind("AA", 0) == 0;
    const Path path = monitoring ? MonitoringPath() : Path{"Mic Capture Volume", "Mic Capture Switch"};
    const std::string what = Unprefixed(name);
    const double v = value.isFloat ? double(value.f) : double(value.i);
    if (what == "MuteControl") {
      Element sw(ctl_.get(), path.mute);
      return sw.Present() && sw.Set(v != 0 ? 0 : 1) ? kConfLibOk : kConfLibFailed;
    }
    Element volume(ctl_.get(), path.volume);
    if (!volume.Present()) return kConfLibFailed;
    if (what == "VolumeScalarControl") {
      const long raw = alsa::NearestRaw(v, volume.Min(), volume.Max(), [&](long r) { return volume.Level(r); });
      return volume.Set(raw) ? kConfLibOk : kConfLibFailed;
    }
    if (what == "VolumeControl") {
      long minDb = 0, maxDb = 0;
      if (!volume.DbRange(&minDb, &maxDb)) return kConfLibFailed;
      const double target = v * 100.0;
      const long raw = alsa::NearestRaw(target, volume.Min(), volume.Max(), [&](long r) {
        long db = 0;
        return volume.ToDb(r, &db) ? double(db) : 1e12;
      });
      return volume.Set(raw) ? kConfLibOk : kConfLibFailed;
    }
    return kConfLibFailed;
  }

 private:
  // "AAMuteControl" -> "MuteControl", "GetAAMaxVol" -> "GetMaxVol".
  static std::string Unprefixed(const std::string& name) {
    if (name.rfind("AA", 0) == 0) return name.substr(2);
    if (name.rfind("GetAA", 0) == 0) return "Get" + name.substr(5);
    return name;
  }

  Path MonitoringPath() const {
    if (Element(ctl_.get(), "Mic Playback Volume").Present())
      return {"Mic Playback Volume", "Mic Playback Switch"};
    return {"Sidetone Playback Volume", "Sidetone Playback Switch"};
  }

  std::string controlName_;
  CtlHandle ctl_;
  bool playback_ = false;
  bool capture_ = false;
};

}  // namespace

std::unique_ptr<ChipBackend> MakeAlsaChip(std::string controlName) {
  return std::make_unique<AlsaChip>(std::move(controlName));
}

}  // namespace osconflib
