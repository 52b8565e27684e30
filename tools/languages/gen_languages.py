#!/usr/bin/env python3
"""Writes the language files the program offers beyond cn, en and tw.

The text ids are those of skin/lan_en.xml (the last value of an id that
appears twice is the one the program shows), followed by any id only
lan_cn.xml or lan_tw.xml has. Each language's texts come from its table
tools/languages/translations/<name>.tsv: one "id<TAB>text" per line, "#" starts a
comment line, "\\t" and "\\n" in a text stand for a tab and a line break.

For every id the table lacks the English text is written and the id is
reported, unless the English text is the same in every language (a key cap
such as "F5", "Num 7" or "[", the product name, an empty text).

Every file, cn, en and tw included, names every language in that language's
own words ("language_name_<name>"); cn, en and tw get the names they lack in
a "<!-- languages -->" block just before </Language>.

The languages are those of DefaultData/Language.config (written by
profiles/factory/make_default_data.py); each needs its own name below.

Run again after text ids are added to lan_en.xml; the report lists what the
tables still lack. --strict exits 1 when anything is missing.
"""

import argparse
import json
import re
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
SKIN = ROOT / "skin"
TABLES = ROOT / "tools" / "languages" / "translations"
CONFIG = ROOT / "DefaultData" / "Language.config"

# Each language's name in its own words.
OWN_NAMES = {
    "cn": "简体中文",
    "en": "English",
    "tw": "繁體中文",
    "ja": "日本語",
    "ko": "한국어",
    "de": "Deutsch",
    "fr": "Français",
    "es": "Español",
    "pt": "Português",
    "it": "Italiano",
    "ru": "Русский",
    "pl": "Polski",
    "tr": "Türkçe",
    "vi": "Tiếng Việt",
    "id": "Bahasa Indonesia",
    "th": "ไทย",
}
HAND_WRITTEN = ("cn", "en", "tw")
BLOCK_START = "  <!-- languages -->\n"
BLOCK_END = "  <!-- end languages -->\n"

# Texts every language shows as they are: key caps made of single letters,
# digits, signs and short codes, and the product name.
NEUTRAL = re.compile(r"^(|VX27 MOUSE|[^A-Za-z]*|[A-Z]|[FMK]\d+|Num [0-9/*+\-.]|Fn|Esc|Tab|"
                     r"Ctrl|Alt|Shift|Win|DPI|R %d|G %d|B %d)$")


def languages():
    """(name, file) of every offered language, in list order."""
    entries = json.loads(CONFIG.read_text(encoding="utf-8"))["Language"]
    return [(e["Language_name"], e["Language_file"]) for e in entries]


def read_texts(path):
    """Ordered id -> value of a language file; a later duplicate wins."""
    texts = {}
    for node in ET.parse(path).getroot().iter("Text"):
        texts[node.get("id")] = node.get("value", node.text or "")
    return texts


def reference_texts():
    texts = read_texts(SKIN / "lan_en.xml")
    for other in ("cn", "tw"):
        for key, value in read_texts(SKIN / f"lan_{other}.xml").items():
            texts.setdefault(key, value)
    return texts


def read_table(path):
    table = {}
    problems = []
    if not path.exists():
        return table, [f"{path.name}: no table"]
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        key, tab, text = line.partition("\t")
        if not tab:
            problems.append(f"{path.name}:{number}: no tab after the id")
            continue
        if key in table:
            problems.append(f"{path.name}:{number}: {key} given twice")
        table[key] = text.replace("\\t", "\t").replace("\\n", "\n")
    return table, problems


def escape(text):
    return (text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
            .replace('"', "&quot;").replace("\n", "&#10;").replace("\t", "&#9;"))


def text_line(key, value):
    return f'  <Text id="{escape(key)}" value="{escape(value)}"/>\n'


def placeholders(text):
    return sorted(re.findall(r"%[-0-9.]*[dsuxXf]", text))


def language_names():
    return {f"language_name_{name}": OWN_NAMES[name] for name, _ in languages()}


def write_language(name, file_name, reference, table, report):
    names = language_names()
    out = ['<?xml version="1.0" encoding="utf-8"?>\n', f'<Language name="{escape(OWN_NAMES[name])}">\n']
    for key, english in reference.items():
        if key in names:
            continue
        if key in table:
            value = table[key]
            if placeholders(value) != placeholders(english):
                report.append(f"{name}: {key}: placeholders {placeholders(value)} differ from English "
                              f"{placeholders(english)}")
        else:
            value = english
            if not NEUTRAL.match(english):
                report.append(f"{name}: {key}: no translation (English written)")
        out.append(text_line(key, value))
    for key, value in names.items():
        out.append(text_line(key, value))
    out.append("</Language>\n")
    for key in table:
        if key not in reference:
            report.append(f"{name}: {key}: translated but no longer used")
    (SKIN / file_name).write_text("".join(out), encoding="utf-8")


def add_names_block(file_name):
    """Gives a hand-written file the language names it lacks."""
    path = SKIN / file_name
    text = path.read_text(encoding="utf-8")
    start = text.find(BLOCK_START)
    if start >= 0:
        end = text.index(BLOCK_END, start) + len(BLOCK_END)
        text = text[:start] + text[end:]
    present = read_texts_from_string(text)
    lines = [text_line(k, v) for k, v in language_names().items() if k not in present]
    if lines:
        close = text.rindex("</Language>")
        text = text[:close] + BLOCK_START + "".join(lines) + BLOCK_END + text[close:]
    path.write_text(text, encoding="utf-8")


def read_texts_from_string(text):
    return {n.get("id") for n in ET.fromstring(text.encode("utf-8")).iter("Text")}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--strict", action="store_true", help="exit 1 when a text lacks its translation")
    args = parser.parse_args()

    reference = reference_texts()
    report = []
    written = 0
    for name, file_name in languages():
        if name in HAND_WRITTEN:
            add_names_block(file_name)
            continue
        table, problems = read_table(TABLES / f"{name}.tsv")
        report += problems
        write_language(name, file_name, reference, table, report)
        written += 1
    for line in report:
        print(line)
    print(f"{written} language files written, {len(reference)} text ids, "
          f"{len(report)} remarks", file=sys.stderr)
    return 1 if args.strict and report else 0


if __name__ == "__main__":
    sys.exit(main())
