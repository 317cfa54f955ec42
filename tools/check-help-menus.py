#!/usr/bin/env python3
"""Every command of the frame's menus and of the log view's context menu is named in the help
page of its language.

Reads res/menus.rc (the Japanese menu first, then the English one), the context menu's rows
(TextId::kContext...) of src/config/ui_text.cpp and res/help/quillon_*.html, and prints each
item that its help page does not name. Exit status 1 when one is missing.
"""
import html
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent


def menu_items(rc_text):
    """The menu item texts of each language, without accelerator marks and shortcuts."""
    items = {"ja": [], "en": []}
    language = None
    for line in rc_text.splitlines():
        if "LANGUAGE LANG_JAPANESE" in line:
            language = "ja"
        elif "LANGUAGE LANG_ENGLISH" in line:
            language = "en"
        match = re.match(r'\s*MENUITEM\s+"([^"]*)"', line)
        if language and match:
            text = match.group(1).split("\\t")[0]
            text = re.sub(r"\(&.\)", "", text).replace("&", "")
            text = text.rstrip(".").strip()
            if text:
                items[language].append(text)
    return items


def context_items(ui_text):
    """The context menu's texts of each language: the ui_text rows of the kContext ids."""
    items = {"ja": [], "en": []}
    for english, japanese in re.findall(r'\{TextId::kContext\w+,\s*u"([^"]*)",\s*u"([^"]*)"\}', ui_text):
        items["en"].append(english)
        items["ja"].append(japanese)
    return items


def page_text(path):
    """The page's text without tags, entities decoded and blanks collapsed."""
    text = re.sub(r"<[^>]+>", "", path.read_text(encoding="utf-8"))
    return re.sub(r"\s+", " ", html.unescape(text))


def main():
    sources = {
        "menu item": menu_items((ROOT / "res" / "menus.rc").read_text(encoding="utf-8")),
        "context menu item": context_items((ROOT / "src" / "config" / "ui_text.cpp").read_text(encoding="utf-8")),
    }
    missing = 0
    total = 0
    for kind, items in sources.items():
        if not all(items.values()):
            # A pattern that finds nothing would pass every page: the source changed its form.
            print(f"help: no {kind}s found in the sources")
            return 1
        for language, texts in items.items():
            page = page_text(ROOT / "res" / "help" / f"quillon_{language}.html")
            for text in texts:
                total += 1
                if text not in page:
                    print(f"help ({language}): the {kind} \"{text}\" is not mentioned")
                    missing += 1
    print(f"{total} menu items, {missing} not in the help pages")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
