// An ALSA external control plugin that presents a headset card for the ALSA
// backend's tests: "Mic Capture Volume" 0..42 (-12 dB .. +30 dB, 1 dB a
// step), "Mic Capture Switch" and, unless the configuration says
// `monitoring 0`, "Mic Playback Volume" 0..35 (-35 dB .. 0 dB) and "Mic
// Playback Switch". After every write the raw values are written to the file
// the configuration's `state` names, one "<name> <value>" line each, so a
// test sees what the card received; a card opened again starts from that file.

#include <alsa/asoundlib.h>
#include <alsa/control_external.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Control {
  const char* name;
  bool volume;
  long min, max;
  int minDb, stepDb;  // hundredths of a dB
  long value;
};

struct Card {
  snd_ctl_ext_t ext{};
  Control controls[4] = {
      {"Mic Capture Volume", true, 0, 42, -1200, 100, 30},
      {"Mic Capture Switch", false, 0, 1, 0, 0, 1},
      {"Mic Playback Volume", true, 0, 35, -3500, 100, 20},
      {"Mic Playback Switch", false, 0, 1, 0, 0, 0},
  };
  int count = 4;
  std::string statePath;

  void ReadState() {
    FILE* f = std::fopen(statePath.c_str(), "r");
    if (!f) return;
    char line[128];
    while (std::fgets(line, sizeof line, f)) {
      const char* space = std::strrchr(line, ' ');
      if (!space) continue;
      for (int i = 0; i < count; ++i)
        if (std::strncmp(line, controls[i].name, size_t(space - line)) == 0 &&
            std::strlen(controls[i].name) == size_t(space - line))
          controls[i].value = std::strtol(space + 1, nullptr, 10);
    }
    std::fclose(f);
  }

  void WriteState() const {
    if (statePath.empty()) return;
    if (FILE* f = std::fopen(statePath.c_str(), "w")) {
      for (int i = 0; i < count; ++i) std::fprintf(f, "%s %ld\n", controls[i].name, controls[i].value);
      std::fclose(f);
    }
  }
};

Card* Of(snd_ctl_ext_t* ext) { return static_cast<Card*>(ext->private_data); }

void Close(snd_ctl_ext_t* ext) { delete Of(ext); }
int Count(snd_ctl_ext_t* ext) { return Of(ext)->count; }

int List(snd_ctl_ext_t* ext, unsigned int offset, snd_ctl_elem_id_t* id) {
  snd_ctl_elem_id_set_interface(id, SND_CTL_ELEM_IFACE_MIXER);
  snd_ctl_elem_id_set_name(id, Of(ext)->controls[offset].name);
  return 0;
}

snd_ctl_ext_key_t Find(snd_ctl_ext_t* ext, const snd_ctl_elem_id_t* id) {
  const char* name = snd_ctl_elem_id_get_name(id);
  for (int i = 0; i < Of(ext)->count; ++i)
    if (std::strcmp(name, Of(ext)->controls[i].name) == 0) return snd_ctl_ext_key_t(i);
  return SND_CTL_EXT_KEY_NOT_FOUND;
}

int Attribute(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, int* type, unsigned int* acc, unsigned int* count) {
  const Control& c = Of(ext)->controls[key];
  *type = c.volume ? SND_CTL_ELEM_TYPE_INTEGER : SND_CTL_ELEM_TYPE_BOOLEAN;
  *acc = SND_CTL_EXT_ACCESS_READWRITE;
  if (c.volume) *acc |= SND_CTL_EXT_ACCESS_TLV_READ | SND_CTL_EXT_ACCESS_TLV_CALLBACK;
  *count = 1;
  return 0;
}

int IntegerInfo(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, long* min, long* max, long* step) {
  const Control& c = Of(ext)->controls[key];
  *min = c.min;
  *max = c.max;
  *step = 0;
  return 0;
}

int Read(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, long* value) {
  *value = Of(ext)->controls[key].value;
  return 0;
}

int Write(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, long* value) {
  Control& c = Of(ext)->controls[key];
  if (*value < c.min || *value > c.max) return -EINVAL;
  const bool changed = c.value != *value;
  c.value = *value;
  Of(ext)->WriteState();
  return changed ? 1 : 0;
}

int Tlv(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, int op, unsigned int, unsigned int* tlv, unsigned int size) {
  const Control& c = Of(ext)->controls[key];
  if (op != 0 || !c.volume || size < 4 * sizeof(unsigned int)) return -ENXIO;
  tlv[0] = SND_CTL_TLVT_DB_SCALE;
  tlv[1] = 2 * sizeof(unsigned int);
  tlv[2] = unsigned(c.minDb);
  tlv[3] = unsigned(c.stepDb);
  return 0;
}

int ReadEvent(snd_ctl_ext_t*, snd_ctl_elem_id_t*, unsigned int*) { return -EAGAIN; }

snd_ctl_ext_callback_t kCallbacks = [] {
  snd_ctl_ext_callback_t cb{};
  cb.close = Close;
  cb.elem_count = Count;
  cb.elem_list = List;
  cb.find_elem = Find;
  cb.get_attribute = Attribute;
  cb.get_integer_info = IntegerInfo;
  cb.read_integer = Read;
  cb.write_integer = Write;
  cb.read_event = ReadEvent;
  return cb;
}();

}  // namespace

extern "C" SND_CTL_PLUGIN_DEFINE_FUNC(vx27test) {
  (void)root;
  Card* card = new Card;
  snd_config_iterator_t i, next;
  snd_config_for_each(i, next, conf) {
    snd_config_t* n = snd_config_iterator_entry(i);
    const char* id = nullptr;
    if (snd_config_get_id(n, &id) < 0) continue;
    if (std::strcmp(id, "monitoring") == 0) {
      if (snd_config_get_bool(n) == 0) card->count = 2;
    } else if (std::strcmp(id, "state") == 0) {
      const char* path = nullptr;
      if (snd_config_get_string(n, &path) == 0) card->statePath = path;
    }
  }
  if (!card->statePath.empty()) card->ReadState();
  card->ext.version = SND_CTL_EXT_VERSION;
  card->ext.card_idx = 0;
  std::strcpy(card->ext.id, "VX27Test");
  std::strcpy(card->ext.driver, "vx27test");
  std::strcpy(card->ext.name, "VX27 test headset");
  std::strcpy(card->ext.longname, "VX27 test headset card");
  std::strcpy(card->ext.mixername, "VX27 test mixer");
  card->ext.callback = &kCallbacks;
  card->ext.private_data = card;
  card->ext.tlv.c = Tlv;
  const int err = snd_ctl_ext_create(&card->ext, name, mode);
  if (err < 0) {
    delete card;
    return err;
  }
  *handlep = card->ext.handle;
  return 0;
}

SND_CTL_PLUGIN_SYMBOL(vx27test);
