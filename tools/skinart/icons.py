"""Device bar icons, power and phone icons, light and mark images of the skin."""

import os

GREY = "#98A1AF"
ACCENT = "#62A2FF"
SYNC = "#4CC38A"


def vertical_gradient(name, top, bottom):
    """A top-to-bottom linear gradient for an SVG <defs> block."""
    return (f'<linearGradient id="{name}" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="{top}"/>'
            f'<stop offset="1" stop-color="{bottom}"/></linearGradient>')


def svg(w, h, body):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" viewBox="0 0 {w} {h}">\n'
            f'{body}\n</svg>\n')


# Glyphs drawn on a 40 x 40 grid with stroke colour {c}.
GLYPHS = {
    "kb": '<rect x="4" y="11" width="32" height="18" rx="3.5" fill="none" stroke="{c}" stroke-width="2"/>'
          '<g fill="{c}"><rect x="8" y="15" width="3" height="3" rx="0.8"/><rect x="13" y="15" width="3" height="3" rx="0.8"/>'
          '<rect x="18" y="15" width="3" height="3" rx="0.8"/><rect x="23" y="15" width="3" height="3" rx="0.8"/>'
          '<rect x="28" y="15" width="4" height="3" rx="0.8"/><rect x="8" y="20" width="5" height="3" rx="0.8"/>'
          '<rect x="15" y="20" width="3" height="3" rx="0.8"/><rect x="20" y="20" width="3" height="3" rx="0.8"/>'
          '<rect x="25" y="20" width="7" height="3" rx="0.8"/><rect x="12" y="24.5" width="16" height="2.2" rx="1"/></g>',
    "ms": '<path d="M20 6 C14 6 11.5 10.5 11.5 15.5 V24.5 C11.5 30 15.3 34 20 34 C24.7 34 28.5 30 28.5 24.5 V15.5 C28.5 10.5 26 6 20 6 Z" '
          'fill="none" stroke="{c}" stroke-width="2"/><path d="M20 7 V16 M12 17 H28" stroke="{c}" stroke-width="1.8"/>'
          '<rect x="18.6" y="9.5" width="2.8" height="4.5" rx="1.4" fill="{c}"/>',
    "hard_mp": '<rect x="4" y="10" width="32" height="21" rx="2" fill="none" stroke="{c}" stroke-width="2"/>'
               '<rect x="7.5" y="13.5" width="25" height="14" rx="1" fill="none" stroke="{c}" stroke-width="1.2" stroke-opacity="0.7"/>'
               '<rect x="27" y="7.5" width="7" height="3.5" rx="1" fill="{c}"/>',
    "soft_mp": '<rect x="4" y="10" width="32" height="21" rx="6" fill="none" stroke="{c}" stroke-width="2"/>'
               '<rect x="7.5" y="13.5" width="25" height="14" rx="3.5" fill="none" stroke="{c}" stroke-width="1.2" '
               'stroke-dasharray="2 2" stroke-opacity="0.8"/>',
    "hd": '<path d="M9 23 V19 C9 12.5 14 8 20 8 C26 8 31 12.5 31 19 V23" fill="none" stroke="{c}" stroke-width="2.2" stroke-linecap="round"/>'
          '<rect x="6" y="21" width="7" height="11" rx="3" fill="{c}"/><rect x="27" y="21" width="7" height="11" rx="3" fill="{c}"/>',
    "hub": '<circle cx="20" cy="20" r="4.5" fill="none" stroke="{c}" stroke-width="2"/>'
           '<path d="M20 15.5 V7 M16 22.5 L9 28 M24 22.5 L31 28" stroke="{c}" stroke-width="2" stroke-linecap="round"/>'
           '<g fill="{c}"><circle cx="20" cy="6" r="2.5"/><circle cx="8" cy="29" r="2.5"/><circle cx="32" cy="29" r="2.5"/></g>',
    "unknow": '<circle cx="20" cy="20" r="13" fill="none" stroke="{c}" stroke-width="2"/>'
              '<path d="M15.8 16.5 C15.8 13.8 17.8 12.3 20.2 12.3 C22.7 12.3 24.4 13.9 24.4 16 C24.4 19.4 20.2 19.6 20.2 23" '
              'fill="none" stroke="{c}" stroke-width="2.2" stroke-linecap="round"/><circle cx="20.2" cy="27.4" r="1.5" fill="{c}"/>',
}

SYNC_BADGE = ('<circle cx="32" cy="32" r="7" fill="#16191E"/><circle cx="32" cy="32" r="5.6" fill="{s}"/>'
              '<path d="M29.2 31.2 A3 3 0 0 1 34.4 30.2 M34.8 32.8 A3 3 0 0 1 29.6 33.8" fill="none" stroke="#16191E" '
              'stroke-width="1.3" stroke-linecap="round"/><path d="M34.9 28.4 L34.6 30.6 L32.5 30.2 M29.1 35.6 L29.4 33.4 L31.5 33.8" '
              'fill="none" stroke="#16191E" stroke-width="1.2" stroke-linecap="round" stroke-linejoin="round"/>')


def device_icons(root):
    out = os.path.join(root, "common", "device_ico")
    os.makedirs(out, exist_ok=True)
    states = {"normal": (GREY, False), "selected": (ACCENT, False),
              "synchro_normal": (GREY, True), "synchro_selected": (ACCENT, True)}
    for kind, glyph in GLYPHS.items():
        for state, (colour, badge) in states.items():
            body = glyph.replace("{c}", colour)
            if badge:
                body += SYNC_BADGE.replace("{s}", SYNC)
            with open(os.path.join(out, f"{kind}_device_{state}.svg"), "w") as f:
                f.write(svg(40, 40, body))


def power_icons(root):
    out = os.path.join(root, "power")
    os.makedirs(out, exist_ok=True)
    battery = ('<rect x="2" y="5" width="19" height="10" rx="2.5" fill="none" stroke="#E4E7EC" stroke-width="1.5"/>'
               '<rect x="21.5" y="8" width="2" height="4" rx="0.8" fill="#E4E7EC"/>')
    icons = {
        "power": battery + '<rect x="4.5" y="7.5" width="9" height="5" rx="1" fill="#4CC38A"/>',
        "powering": battery + '<path d="M12.8 6.5 L8.2 10.6 H11.4 L10.2 13.5 L14.8 9.4 H11.6 Z" fill="#F5A524"/>',
        "powered": '<path d="M8 3 V7 M16 3 V7" stroke="#E4E7EC" stroke-width="1.6" stroke-linecap="round"/>'
                   '<path d="M5.5 7 H18.5 V10 C18.5 13.6 15.6 15.5 12 15.5 C8.4 15.5 5.5 13.6 5.5 10 Z" fill="#E4E7EC"/>'
                   '<path d="M12 15.5 V18.5" stroke="#E4E7EC" stroke-width="1.8" stroke-linecap="round"/>',
    }
    for name, body in icons.items():
        with open(os.path.join(out, f"{name}.svg"), "w") as f:
            f.write(svg(24, 20, body))
    phone = '<rect x="6" y="2" width="12" height="20" rx="2.6" fill="none" stroke="{c}" stroke-width="1.5"/>'
    phones = {
        "Phone_type_iphone": phone.replace("{c}", "#E4E7EC") + '<rect x="10" y="3.8" width="4" height="1.4" rx="0.7" fill="#E4E7EC"/>',
        "Phone_type_samsung": phone.replace("{c}", "#E4E7EC") + '<circle cx="12" cy="4.6" r="0.9" fill="#E4E7EC"/>'
                              '<path d="M9.5 19.2 H14.5" stroke="#E4E7EC" stroke-width="1" stroke-linecap="round"/>',
        "Phone_type_other": phone.replace("{c}", "#E4E7EC") + '<path d="M10 19.2 H14" stroke="#E4E7EC" stroke-width="1.2" stroke-linecap="round"/>',
        "Phone_type_no_device": phone.replace("{c}", "#5C6370") + '<path d="M4 22 L20 2" stroke="#5C6370" stroke-width="1.5" stroke-linecap="round"/>',
    }
    for name, body in phones.items():
        with open(os.path.join(out, f"{name}.svg"), "w") as f:
            f.write(svg(24, 24, body))
    with open(os.path.join(root, "common", "wireless.svg"), "w") as f:
        f.write(svg(20, 20, '<g fill="none" stroke="#62A2FF" stroke-width="1.7" stroke-linecap="round">'
                            '<path d="M3 8.2 A10 10 0 0 1 17 8.2"/><path d="M5.6 11 A6.2 6.2 0 0 1 14.4 11"/>'
                            '<path d="M8.2 13.8 A2.6 2.6 0 0 1 11.8 13.8"/></g><circle cx="10" cy="16.3" r="1.4" fill="#62A2FF"/>'))


def light_images(root):
    """White shapes that the key caps tint with each light's colour."""
    out = os.path.join(root, "device")
    os.makedirs(out, exist_ok=True)
    files = {
        # Backlight of a keyboard key: a soft rim inside the cap's edge and a
        # glow line under the legend.
        "key_light": svg(40, 40,
                         '<defs><linearGradient id="u" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#FFF" stop-opacity="0"/>'
                         '<stop offset="1" stop-color="#FFF" stop-opacity="0.45"/></linearGradient></defs>'
                         '<rect x="1" y="1" width="38" height="38" rx="6" fill="none" stroke="#FFF" stroke-width="2" stroke-opacity="0.9"/>'
                         '<rect x="2" y="22" width="36" height="16" rx="5" fill="url(#u)"/>'),
        # A light-emitting segment of a strip: a bright core in a soft glow.
        "led_h": svg(40, 16, '<defs><radialGradient id="g" cx="0.5" cy="0.5" r="0.5"><stop offset="0" stop-color="#FFF" stop-opacity="0.55"/>'
                             '<stop offset="1" stop-color="#FFF" stop-opacity="0"/></radialGradient></defs>'
                             '<rect x="0" y="0" width="40" height="16" rx="8" fill="url(#g)"/>'
                             '<rect x="4" y="6" width="32" height="4" rx="2" fill="#FFF"/>'),
        "led_v": svg(16, 40, '<defs><radialGradient id="g" cx="0.5" cy="0.5" r="0.5"><stop offset="0" stop-color="#FFF" stop-opacity="0.55"/>'
                             '<stop offset="1" stop-color="#FFF" stop-opacity="0"/></radialGradient></defs>'
                             '<rect x="0" y="0" width="16" height="40" rx="8" fill="url(#g)"/>'
                             '<rect x="6" y="4" width="4" height="32" rx="2" fill="#FFF"/>'),
        "led_dot": svg(24, 24, '<defs><radialGradient id="g" cx="0.5" cy="0.5" r="0.5"><stop offset="0" stop-color="#FFF" stop-opacity="0.75"/>'
                               '<stop offset="1" stop-color="#FFF" stop-opacity="0"/></radialGradient></defs>'
                               '<circle cx="12" cy="12" r="12" fill="url(#g)"/><circle cx="12" cy="12" r="4.5" fill="#FFF"/>'),
        # The logo of the mouse: a stylised V mark that lights up.
        "logo_light": svg(40, 40, '<defs><radialGradient id="g" cx="0.5" cy="0.5" r="0.5"><stop offset="0" stop-color="#FFF" stop-opacity="0.45"/>'
                                  '<stop offset="1" stop-color="#FFF" stop-opacity="0"/></radialGradient></defs>'
                                  '<circle cx="20" cy="20" r="20" fill="url(#g)"/>'
                                  '<path d="M10 12 L20 30 L30 12 L25.5 12 L20 22.5 L14.5 12 Z" fill="#FFF"/>'),
        # Mark of a key whose assignment differs from its default.
        "keyset_mark": svg(12, 12, '<circle cx="6" cy="6" r="4.5" fill="#3D8BFD" stroke="#16191E" stroke-width="1.5"/>'),
    }
    for name, text in files.items():
        with open(os.path.join(out, f"{name}.svg"), "w") as f:
            f.write(text)
