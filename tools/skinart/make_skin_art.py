#!/usr/bin/env python3
"""Writes the skin's generated art: the device bar, power and light images
(SVG sources) and the four device pages with their pictures.

    python3 tools/skinart/make_skin_art.py [skin folder]

Then render the SVG sources to PNG with tools/skinart/render_skin_images.sh.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import icons  # noqa: E402
import keyboard  # noqa: E402
import pages  # noqa: E402

EDITORS = {
    "light": '<LightSetControlUI name="LightControlItem"/>',
    "keys": '<KeySetControlUI name="KeySetControlItem"/>',
    "macro": '<MacroSetControlUI name="MacroControlItem"/>',
    "shoot": '<ShootKeySetControlUI name="ShootControlItem"/>',
    "voice": '<Voice6533SetControlUI name="Voice6533ControlItem"/>',
    "magic": '<MagicSetControlUI name="MagicControlItem"/>',
    "virtual": '<VirtualSetControlUI name="VirtualSetItem"/>',
}


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..", "skin")
    root = os.path.abspath(root)
    os.makedirs(os.path.join(root, "device"), exist_ok=True)
    icons.device_icons(root)
    icons.power_icons(root)
    icons.light_images(root)
    keyboard.write(root)
    pages.write(root)
    out = os.path.join(root, "XML", "DeviceXml")
    os.makedirs(out, exist_ok=True)
    e = EDITORS
    f = pages.frame
    kb_area = pages.function_area(
        [e["light"], e["keys"], f("keyboard_system_receiver_page", "tab_system_text")],
        [e["macro"], "<Control/>", keyboard.system_page(pages.option_row, pages.ROW, pages.LABEL),
         f("keyboard_other_page", "tab_other_text")])
    files = {
        "keyboarddevice.xml": keyboard.page_xml(pages.PAGE, kb_area),
        "mousedevice.xml": pages.mouse_page(e["keys"], e["light"], e["macro"], e["shoot"], None),
        "mousepaddevice.xml": pages.pad_page(e["light"]),
        "ru6533device.xml": pages.headset_page(e["light"], e["voice"], e["magic"], e["virtual"]),
    }
    for name, text in files.items():
        with open(os.path.join(out, name), "w") as fh:
            fh.write(text)


if __name__ == "__main__":
    main()
