"""The keyboard page: 170 key caps on a full-size keyboard with numpad.

Key indices follow the keyboard's key catalogue order (the factory profile's
"KeyList"): index N is the cap "key_N" and also lights "light_N". Indices
that this ANSI keyboard does not carry (the ISO and Japanese extra keys, the
blank entries and the spare indices 126 to 169) are hidden caps, so every
index still has its cap.
"""

import os

from icons import vertical_gradient

U = 30          # key pitch in layout pixels
GAP = 3         # space between two caps
MARGIN = 14     # case border around the keys

# (index, legend, x, y, width, height) in key units; x counts from the
# macro key column.
MAIN_X = 1.25
NAV_X = MAIN_X + 15.25
PAD_X = NAV_X + 3.25


def run(first, legends, x, y):
    """Single-unit keys side by side, indices counting up from `first`."""
    return [(first + i, t, x + i, y, 1, 1) for i, t in enumerate(legends)]


def keys():
    k = []
    row0 = 0
    k.append((0, "Esc", MAIN_X, row0, 1, 1))
    for i in range(12):
        group = i // 4
        k.append((1 + i, f"F{i + 1}", MAIN_X + 2 + i + group * 0.5, row0, 1, 1))
    k += run(13, ["Prt Sc", "Scr Lk", "Pause"], NAV_X, row0)
    k += [(16, "GM", PAD_X + 2, row0, 1, 1), (17, "", PAD_X + 3, row0, 1, 1)]
    y = 1.25
    k.append((21, "`", MAIN_X, y, 1, 1))
    k += run(22, "1234567890", MAIN_X + 1, y)
    k += [(32, "-", MAIN_X + 11, y, 1, 1), (33, "=", MAIN_X + 12, y, 1, 1), (34, "Backspace", MAIN_X + 13, y, 2, 1)]
    k += run(35, ["Ins", "Home", "Pg Up"], NAV_X, y)
    k += run(38, ["Num", "/", "*", "-"], PAD_X, y)
    y = 2.25
    k.append((42, "Tab", MAIN_X, y, 1.5, 1))
    k += run(43, "QWERTYUIOP[]", MAIN_X + 1.5, y)
    k.append((55, "\\", MAIN_X + 13.5, y, 1.5, 1))
    k += run(56, ["Del", "End", "Pg Dn"], NAV_X, y) + run(59, "789", PAD_X, y) + [(119, "+", PAD_X + 3, y, 1, 2)]
    y = 3.25
    k.append((63, "Caps Lock", MAIN_X, y, 1.75, 1))
    k += run(64, "ASDFGHJKL;'", MAIN_X + 1.75, y)
    k.append((75, "Enter", MAIN_X + 12.75, y, 2.25, 1))
    k += run(76, "456", PAD_X, y)
    y = 4.25
    k.append((84, "Shift", MAIN_X, y, 2.25, 1))
    k += run(85, "ZXCVBNM,./", MAIN_X + 2.25, y)
    k.append((95, "Shift", MAIN_X + 12.25, y, 2.75, 1))
    k.append((96, "\u2191", NAV_X + 1, y, 1, 1))
    k += run(97, "123", PAD_X, y) + [(118, "Enter", PAD_X + 3, y, 1, 2)]
    y = 5.25
    k += [(105, "Ctrl", MAIN_X, y, 1.25, 1), (106, "Win", MAIN_X + 1.25, y, 1.25, 1), (107, "Alt", MAIN_X + 2.5, y, 1.25, 1),
          (108, "", MAIN_X + 3.75, y, 6.25, 1), (109, "Alt", MAIN_X + 10, y, 1, 1), (125, "Win", MAIN_X + 11, y, 1, 1),
          (110, "Fn", MAIN_X + 12, y, 1, 1), (111, "Menu", MAIN_X + 13, y, 1, 1), (112, "Ctrl", MAIN_X + 14, y, 1, 1)]
    k += run(113, ["\u2190", "\u2193", "\u2192"], NAV_X, y)
    k += [(116, "0", PAD_X, y, 2, 1), (117, ".", PAD_X + 2, y, 1, 1)]
    for i in range(5):
        k.append((120 + i, f"M{i + 1}", 0, 1.25 + i, 1, 1))
    return k


WIDTH_U = PAD_X + 4
HEIGHT_U = 6.25
BODY_W = int(WIDTH_U * U - GAP + 2 * MARGIN)
BODY_H = int(HEIGHT_U * U - GAP + 2 * MARGIN)


def cap_rect(x, y, w, h):
    left = MARGIN + round(x * U)
    top = MARGIN + round(y * U)
    return left, top, left + round(w * U) - GAP, top + round(h * U) - GAP


def body_svg():
    w, h = BODY_W, BODY_H
    return f'''<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" viewBox="0 0 {w} {h}">
  <defs>{vertical_gradient("case", "#2A3038", "#191C21")}{vertical_gradient("plate", "#101215", "#15181C")}</defs>
  <rect x="1" y="1" width="{w - 2}" height="{h - 2}" rx="12" fill="url(#case)" stroke="#3E4551" stroke-width="1.5"/>
  <rect x="3" y="2.5" width="{w - 6}" height="2" rx="1" fill="#FFFFFF" fill-opacity="0.06"/>
  <rect x="{MARGIN - 5}" y="{MARGIN - 5}" width="{w - 2 * MARGIN + 10}" height="{h - 2 * MARGIN + 10}" rx="7" fill="url(#plate)"/>
  <rect x="{MARGIN - 5 + round(PAD_X * U)}" y="{MARGIN + 2}" width="{U * 2 - GAP - 4}" height="{U - GAP - 4}" rx="4" fill="#1B1F25"/>
  <g fill="#3D8BFD"><circle cx="{MARGIN + round(PAD_X * U) + 6}" cy="{MARGIN + 13}" r="2"/>
  <circle cx="{MARGIN + round(PAD_X * U) + 20}" cy="{MARGIN + 13}" r="2" fill-opacity="0.35"/>
  <circle cx="{MARGIN + round(PAD_X * U) + 34}" cy="{MARGIN + 13}" r="2" fill-opacity="0.35"/></g>
</svg>
'''


KEY_STYLE = ('  <Style name="kb_key" value="bkcolor=&quot;#FF2E343D&quot; bkcolor2=&quot;#FF22262D&quot; '
             'hotbkcolor=&quot;#FF3A424D&quot; pushedbkcolor=&quot;#FF1B1E23&quot; bordersize=&quot;1&quot; '
             'bordercolor=&quot;#FF3A404B&quot; borderround=&quot;6,6&quot; textcolor=&quot;#FFC9CED6&quot; font=&quot;10&quot; '
             'resourcetext=&quot;false&quot; wordbreak=&quot;true&quot; lightimage=&quot;file=\'device/key_light.png\' corner=\'7,7,7,7\'&quot;"/>')


def page_xml(page, function_area):
    caps = []
    present = set()
    for index, legend, x, y, w, h in keys():
        present.add(index)
        l, t, r, b = cap_rect(x, y, w, h)
        mark = f"dest='{r - l - 10},3,{r - l - 3},10'"
        caps.append(f'          <DeviceKeyButton name="key_{index}" userdata="light_{index}" text="{escape(legend)}" '
                    f'style="kb_key" float="true" pos="{l},{t},{r},{b}" keysetimage="file=\'device/keyset_mark.png\' {mark}"/>')
    for index in range(170):
        if index not in present:
            caps.append(f'          <DeviceKeyButton name="key_{index}" userdata="light_{index}" style="kb_key" '
                        f'float="true" pos="0,0,0,0" visible="false"/>')
    assert len(caps) == 170
    body = f'''    <VerticalLayout name="keyboard_device_body" childpadding="12">
      <VerticalLayout name="keyboard_device_stage" height="256" bkcolor="#FF1E2228" borderround="14,14" inset="0,22,0,0" childalign="center">
        <SelectPanel name="keyboard_device_key_light" width="{BODY_W}" height="{BODY_H}" bkimage="device/keyboard.png">
{chr(10).join(caps)}
        </SelectPanel>
      </VerticalLayout>
{function_area}
    </VerticalLayout>'''
    return page.format(comment="The keyboard page: a full-size keyboard with numpad and five macro keys; cap key_N also "
                               "shows light_N. Indices the keyboard does not carry are hidden caps.",
                       styles=KEY_STYLE, device="GesterinKeyboardDevice", name="keyboard_device_page", body=body)


def system_page(option_row, row, label):
    """The keyboard's settings: polling rate, repeat delay and rate, the lock options, the reset."""
    rows = ['<Label name="keyboard_system_page_title" text="tab_system_text" font="7" height="22" textcolor="#FF98A1AF"/>',
            option_row("polling_rate_text", "polling_rate_option_",
                       ["polling_125", "polling_250", "polling_500", "polling_1000"], "kb_polling", 64, 130),
            option_row("repeat_delay_text", "repeat_delay_check_",
                       ["repeat_delay_250", "repeat_delay_500", "repeat_delay_750", "repeat_delay_1000"], "kb_delay", 84, 130),
            f'<HorizontalLayout {row}><Label width="130" {label}/><Label name="repeat_delay_time_label1" width="220" {label}/>'
            '<Control/></HorizontalLayout>',
            f'<HorizontalLayout {row}><Label text="repeat_rate_text" width="130" {label}/>'
            '<Slider name="repeat_rate_slider" min="0" max="100" sendmove="true" width="260" height="20" padding="0,4,0,0" '
            'thumbsize="16,16"/><Control/></HorizontalLayout>',
            f'<HorizontalLayout {row}><Label text="lock_options_text" width="130" {label}/>'
            '<CheckBox name="winlockflag_option" text="win_lock_text" width="160"/>'
            '<CheckBox name="wflag_option" text="w_flag_text" width="130"/>'
            '<CheckBox name="6flag_option" text="six_key_text" width="150"/><Control/></HorizontalLayout>',
            f'<HorizontalLayout {row}><Label width="130" {label}/>'
            '<Button name="reset_repeat_btn" text="reset_repeat_text" width="140" height="26" bkcolor="#FF2E343D" '
            'hotbkcolor="#FF3A424D" borderround="6,6" textcolor="#FFC9CED6"/><Control/></HorizontalLayout>']
    body = "".join(rows)
    return f'<VerticalLayout name="keyboard_system_page" inset="18,14,18,14" childpadding="6">{body}</VerticalLayout>'


def escape(text):
    return text.replace("&", "&amp;").replace('"', "&quot;").replace("<", "&lt;")


def write(root):
    with open(os.path.join(root, "device", "keyboard.svg"), "w") as f:
        f.write(body_svg())
