#!/usr/bin/env python3
"""Writes the factory data files of DefaultData/.

The files are data and are committed; this script documents where their values
come from and rebuilds them: python3 profiles/factory/make_default_data.py
"""
import json
import os
import sys

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "DefaultData")

# Default key function codes (c0 c1 c2) of the keyboard's keys 0..125; keys
# 126..169 are 20 00 00. The keyboard finds each key in its key map by these.
KEYBOARD_DEFAULTS = """
20 00 29|20 00 3A|20 00 3B|20 00 3C|20 00 3D|20 00 3E|20 00 3F|20 00 40
20 00 41|20 00 42|20 00 43|20 00 44|20 00 45|20 00 46|20 00 47|20 00 48
A0 1B 00|A0 24 00|20 00 00|20 00 00|20 00 00|20 00 35|20 00 1E|20 00 1F
20 00 20|20 00 21|20 00 22|20 00 23|20 00 24|20 00 25|20 00 26|20 00 27
20 00 2D|20 00 2E|20 00 2A|20 00 49|20 00 4A|20 00 4B|20 00 53|20 00 54
20 00 55|20 00 56|20 00 2B|20 00 14|20 00 1A|20 00 08|20 00 15|20 00 17
20 00 1C|20 00 18|20 00 0C|20 00 12|20 00 13|20 00 2F|20 00 30|20 00 31
20 00 4C|20 00 4D|20 00 4E|20 00 5F|20 00 60|20 00 61|20 00 32|20 00 39
20 00 04|20 00 16|20 00 07|20 00 09|20 00 0A|20 00 0B|20 00 0D|20 00 0E
20 00 0F|20 00 33|20 00 34|20 00 28|20 00 5C|20 00 5D|20 00 5E|20 00 8A
20 00 8B|20 00 90|20 00 91|20 00 88|20 02 00|20 00 1D|20 00 1B|20 00 06
20 00 19|20 00 05|20 00 11|20 00 10|20 00 36|20 00 37|20 00 38|20 20 00
20 00 52|20 00 59|20 00 5A|20 00 5B|20 00 87|20 00 89|20 00 64|20 00 85
20 00 00|20 01 00|20 08 00|20 04 00|20 00 2C|20 40 00|A0 01 00|20 00 65
20 10 00|20 00 50|20 00 51|20 00 4F|20 00 62|20 00 63|20 00 58|20 00 57
D0 A2 01|D0 A2 02|D0 A2 03|D0 A2 04|D0 A2 05|20 80 00
"""

# The mouse's buttons 0..10: left, right, middle, forward, back, DPI up, DPI
# down, DPI loop, game mode, M8, fire.
MOUSE_DEFAULTS = ["10 01 00", "10 02 00", "10 04 00", "10 10 00", "10 08 00", "13 01 00",
                  "13 02 00", "13 03 00", "A0 1B 00", "16 90 01", "14 78 02"]

KEYBOARD_KEYS = 170
KEYBOARD_LIGHTS = 170
MOUSE_LIGHTS = 15
PAD_LIGHTS = 15
HEADSET_LIGHTS = 13


def code(text):
    c0, c1, c2 = (int(x, 16) for x in text.split())
    return c0 << 16 | c1 << 8 | c2


def keyboard_codes():
    codes = [code(t) for t in KEYBOARD_DEFAULTS.replace("\n", "|").split("|") if t.strip()]
    assert len(codes) == 126, len(codes)
    return codes + [code("20 00 00")] * (KEYBOARD_KEYS - len(codes))


def key_list(codes):
    return [{"Assignment": c, "DefaultAssignment": c} for c in codes]


def light_info(mode, light=4, speed=2, fx=1, multi=1, rgb=(255, 0, 0)):
    return {"SelectItem": mode, "Light": light, "Speed": speed, "Fx": fx, "MultiColor": multi,
            "Red": rgb[0], "Green": rgb[1], "Blue": rgb[2], "ZZCCLedMode": 0, "CustomGroup": 0,
            "OldLedmode": mode}


def light_list(lights):
    # One element per light; null means the light has no area mode of its own
    # and follows the device's effect.
    return [None] * lights


def profile(name, entry):
    return {"Device": [entry], "profilename": "Default", "profileUUID": name}


def keyboard():
    groups = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255), (0, 255, 255)]
    colours = [[{"Red": r, "Green": g, "Blue": b, "Alpha": 255}] * KEYBOARD_LIGHTS
               for (r, g, b) in groups]
    entry = {
        "LightInfo": light_info(1),
        "AudioLightInfo": {"AudioMode": 0, "BkColorR": 0, "BkColorG": 0, "BkColorB": 0,
                           "FgColorR": 255, "FgColorG": 0, "FgColorB": 0, "7ColorFlags": 1,
                           "ColorTypeFlags": 1},
        "LightList": light_list(KEYBOARD_LIGHTS),
        "KeyList": key_list(keyboard_codes()),
        # Repeat rate slider value, repeat delay option 1 (500 ms), six-key
        # mode off, polling option 0, W and Windows-key locks off.
        "SystemStages": {"Repeat": 20, "RepeatDelay": 1, "Key6Flag": 0, "PollingRate": 0,
                         "WFlag": 0, "WinFlag": 0},
        "CustomLightMode": {"LightColorInfo": colours, "CustomLightModeGroupIndex": 0},
    }
    return profile("keyboard", entry)


def mouse():
    # Slider steps of the stages (400, 800, 1600, 2400, 3200, 4800, 6400 DPI on
    # the first sensor) and their colours.
    steps = [1, 10, 26, 42, 56, 72, 88]
    colours = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0), (0, 255, 255),
               (255, 0, 255), (255, 255, 255)]
    stages = [{"StageActive": 1, "StageXY": 0, "StageDPIX": s, "StageDPIY": s,
               "StageColorR": r, "StageColorG": g, "StageColorB": b}
              for s, (r, g, b) in zip(steps, colours)]
    entry = {
        "LightInfo": light_info(1),
        "LightList": light_list(MOUSE_LIGHTS),
        "KeyList": key_list([code(t) for t in MOUSE_DEFAULTS]),
        "DPIStages": {"StageActive": 1, "StageDPIs": stages},
        "SystemStages": {"DoubleClickTime": 500, "MouseSpeed": 10, "PointerPrecision": 1,
                         "ScorllPage": 0, "WheelScorlllinse": 3},
        "ReportStages": {"StageActive": 0, "SilentAltitude": 0, "Linear_Calibration": 0,
                         "Ripple": 0, "ble_sleep1": 1, "ble_sleep2": 10, "device_sleep1": 1,
                         "device_sleep2": 10, "key_debounce_time": 4},
    }
    return profile("mouse", entry)


def mouse_pad():
    return profile("MousePad", {"LightInfo": light_info(0), "LightList": light_list(PAD_LIGHTS)})


EQ_PRESETS = [
    [7, 11, 2, -3, -1, 4, 9, 12, 9, 5],
    [7, 11, 6, -3, -11, -1, 6, 13, 6, 13],
    [10, 4, 0, -3, -4, -3, -2, -1, 0, 0],
    [2, 1, -2, -3, -5, -7, 0, 4, 9, 8],
    [0, 0, 0, 0, 0, 0, 0, 0, 0, 0],
    [7, 14, -13, -6, -1, 8, 13, 7, 2, 6],
    [14, 10, 4, 0, -4, -3, -1, 1, 2, 3],
    [2, 1, -2, -3, -5, -1, 7, 11, 15, 13],
    [8, 2, -4, -8, 1, 3, 8, 11, 14, 16],
    [-3, 4, 10, 0, -11, 3, 9, 13, 6, 0],
    [18, 14, 8, 2, -3, -6, -1, 2, 5, 6],
    [2, 1, -2, -4, -8, 4, 12, 16, 18, 15],
]


def headset():
    # Slot 0 is never used (type 0 reads slot 1); slots 1..12 are the presets.
    slots = [[0] * 10] + EQ_PRESETS
    entry = {
        "LightInfo": light_info(0),
        "LightList": light_list(HEADSET_LIGHTS),
        "SystemSetStages": {"MagicEnable": 0, "MagicType": 0, "EqType": 5,
                            "CustomEqSeletIndex": 0, "MicInSelect": 1, "MicInValue": 80,
                            "MicMoniterSelect": 0, "MicMoniterValue": 50},
        "EQHzValueInfo": [[{"value": v} for v in slot] for slot in slots],
        "CustomEQNameInfo": [],
        "CustomEQHzValueInfo": [],
    }
    return profile("HD", entry)


# Built-in light modes per model (catalogue index 0 keyboard, 1 mouse, 2 mouse
# pad, 3 headset): text id of the name, whether the mode is offered, and the
# mode value the firmware uses. Hidden entries keep their place so that indices
# never shift.
KEYBOARD_MODES = [
    ("light_mode_reserved", False), ("light_mode_column_wave", True),
    ("light_mode_column_wave_2", True), ("light_mode_sequence_wave", True),
    ("light_mode_colour_cycle", True), ("light_mode_column_breathing", True),
    ("light_mode_static", True), ("light_mode_rise_fall", True),
    ("light_mode_reactive_rainbow", True), ("light_mode_reactive", True),
    ("light_mode_starlight", True), ("light_mode_key_colour_cycle", True),
    ("light_mode_row_wave", True), ("light_mode_bouncing_wave", True),
    ("light_mode_light_show", True), ("light_mode_twinkle_2", True),
    ("light_mode_sweeping_wave", True), ("light_mode_fixed_colour", True),
    ("light_mode_diagonal_wave", True), ("light_mode_reserved", False),
    ("light_mode_custom", True), ("light_mode_running_key", True),
    ("light_mode_twinkle", True), ("light_mode_blink", True), ("light_mode_comet", True),
    ("light_mode_rise_fall_2", True), ("light_mode_four_colour_breathing", True),
    ("light_mode_four_colour_blink", True), ("light_mode_off", True),
    ("light_mode_music", True), ("light_mode_host_colour", True),
]
# Modes 29 and 30 are computed by the host; the keyboard is told 0xFE for them.
KEYBOARD_HOST_MODES = {29, 30}
MOUSE_MODES = [
    ("light_mode_static", True), ("light_mode_breathing", True), ("light_mode_wave", True),
    ("light_mode_colour_cycle", True), ("light_mode_trail", True),
    ("light_mode_four_colour_breathing", True), ("light_mode_blink", True),
    ("light_mode_reactive", True), ("light_mode_four_colour_blink", True),
    ("light_mode_reserved", False), ("light_mode_off", True), ("light_mode_reserved", False),
]
PAD_MODES = [
    ("light_mode_wave", True), ("light_mode_colour_cycle", True), ("light_mode_breathing", True),
    ("light_mode_static", True), ("light_mode_blink", True), ("light_mode_reserved", False),
    ("light_mode_light_trail", True), ("light_mode_pair_trail", True), ("light_mode_off", True),
]
HEADSET_MODES = [
    ("light_mode_wave", True), ("light_mode_colour_cycle", True), ("light_mode_breathing", True),
    ("light_mode_static", True), ("light_mode_blink", True), ("light_mode_reserved", False),
    ("light_mode_ring_chase", True), ("light_mode_pair_chase", True), ("light_mode_off", True),
]
AREA_MODES = ["light_area_breathing", "light_area_static", "light_area_blink",
              "light_area_colour_cycle", "light_area_off"]


def default_light():
    def modes(table, host=()):
        return [{"LightName": name, "visible": visible, "value": 0xFE if i in host else i}
                for i, (name, visible) in enumerate(table)]
    return {
        "DefaultLightName": [modes(KEYBOARD_MODES, KEYBOARD_HOST_MODES), modes(MOUSE_MODES),
                             modes(PAD_MODES), modes(HEADSET_MODES)],
        "AreaLightName": [[{"LightName": n} for n in AREA_MODES] for _ in range(4)],
    }


# The offered languages in list order. Index 0 Simplified Chinese, 2
# Traditional Chinese and 15 Thai are fixed by the font rule; English carries
# the default ID 520. The ID of index i is 510 + 10 x i.
LANGUAGES = ["cn", "en", "tw", "ja", "ko", "de", "fr", "es", "pt", "it", "ru", "pl", "tr", "vi", "id", "th"]


def language_config():
    return {"Language": [
        {"Language_ID": 510 + 10 * i, "Language_name": name, "Language_file": f"lan_{name}.xml",
         "Language_text": f"language_name_{name}"}
        for i, name in enumerate(LANGUAGES)]}


def palette():
    presets = [0xFFFF0000, 0xFFFF8000, 0xFFFFFF00, 0xFF80FF00, 0xFF00FF00, 0xFF00FF80,
               0xFF00FFFF, 0xFF0080FF, 0xFF0000FF, 0xFF8000FF, 0xFFFF00FF, 0xFFFF0080,
               0xFFFFFFFF, 0xFFC0C0C0, 0xFF808080, 0xFF800000, 0xFF808000, 0xFF008000,
               0xFF008080, 0xFF000080]
    return {"coloroptioninfo": {
        "palletDialogcoloroption": [{"color": "%08X" % c} for c in presets],
        "palletDialogcoloroption_selectitem": 4,
        "palletDialogcollectcoloroption": [{"color": "FFFFFFFF", "UserData": ""}] * 20,
        "palletDialogcollectcoloroption_selectitem": 0,
    }}


def shoot_data(weapon):
    # 30 shots; each shot is a left click followed by a counter move and the
    # delay before the next shot. The four weapons pull up harder and faster in
    # turn; the pull grows over the first shots and the sideways drift
    # alternates.
    delay = [100, 90, 120, 80][weapon]
    events = []
    for n in range(30):
        x = (n // 5) % 3
        left = (n // 10) % 2 == 0
        y = min(2 + weapon + n // 3, 20)
        xa = "down" if left else "up"
        ya = "up"  # "up" flag clear: the mouse moves down against the recoil
        events += [
            {"Type": 1, "Action": "down", "Button": 1, "Delay": 10},
            {"Type": 1, "Action": "up", "Button": 1, "Delay": 0},
            {"Type": 4, "Action": xa, "Button": x, "Delay": 5},
            {"Type": 5, "Action": ya, "Button": y, "Delay": delay},
            {"Type": 4, "Action": xa, "Button": 0, "Delay": 0},
            {"Type": 5, "Action": ya, "Button": 0, "Delay": 0},
        ]
    return {"Events": events}


def audio_file():
    return {"Device": {"AudioLightInfo": {
        "nAudioStyle": 0,
        "nStyleName1": "第一组", "nStyleName2": "第二组", "nStyleName3": "第三组",
        "nStyleName4": "第四组",
        "nStyleR0": 9, "nStyleG0": 0, "nStyleB0": 0,
        "nStyleR1": 0, "nStyleG1": 9, "nStyleB1": 0,
        "nStyleR2": 0, "nStyleG2": 0, "nStyleB2": 9,
        "nStyleR3": 9, "nStyleG3": 9, "nStyleB3": 9,
    }}}


def write(name, value):
    with open(os.path.join(OUT, name), "w", encoding="utf-8") as f:
        json.dump(value, f, ensure_ascii=False, indent=3, sort_keys=True)
        f.write("\n")


def main():
    os.makedirs(OUT, exist_ok=True)
    write("keyboard.Json", keyboard())
    write("mouse.Json", mouse())
    write("MousePad.Json", mouse_pad())
    write("HD.Json", headset())
    write("default_light.json", default_light())
    write("Language.config", language_config())
    write("color_option_info.config", palette())
    for w in range(4):
        write("ShootData_%d.Shoot" % w, shoot_data(w))
    write("AudioFile.json", audio_file())
    return 0


if __name__ == "__main__":
    sys.exit(main())
