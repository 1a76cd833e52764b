#!/usr/bin/env python3
"""Checks a manual page against the --help of its program, so that the two
never drift: every option the program prints must have an entry in the page's
OPTIONS section, with the same short name and value name, and every argument
it prints must appear in the SYNOPSIS.

    man_page_check.py PROGRAM MAN_PAGE
"""
import re
import subprocess
import sys

HELP_OPTION = re.compile(r"^\s+(?:-(\w), )?--([\w-]+)(?: <([^>]+)>)?(?:\s{2,}|$)")


def help_entries(program):
    """(short, long, value) for each option and the argument names --help prints."""
    text = subprocess.run([program, "--help"], check=True, capture_output=True, text=True).stdout
    options, arguments, section = [], [], None
    for line in text.splitlines():
        if not line.startswith(" "):
            section = line.rstrip(":")
            continue
        if section == "Options":
            match = HELP_OPTION.match(line)
            if match:
                options.append(match.groups())
        elif section == "Arguments" and re.match(r"^\s{2}\S", line):
            arguments.append(line.split()[0])
    return options, arguments


def plain(roff):
    """A line of roff as the reader sees it: no font changes, macro names or quotes."""
    roff = re.sub(r"\\f(\[[^]]*\]|.)", "", roff)
    roff = re.sub(r"^\.\w+\s*", "", roff).replace("\\-", "-").replace('"', "")
    return " ".join(roff.split())


def page_sections(path):
    """The page's sections: name to its lines, and OPTIONS' entries as their tags."""
    sections, tags, section, previous = {}, [], None, None
    for line in open(path, encoding="utf-8").read().splitlines():
        if line.startswith(".SH"):
            section = plain(line)
            sections[section] = []
        elif section is not None:
            sections[section].append(line)
            if section == "OPTIONS" and previous == ".TP":
                tags.append(plain(line))
        previous = line.strip()
    return sections, tags


def main(program, page):
    options, arguments = help_entries(program)
    if len(options) < 5:
        sys.exit(f"{program} --help printed {len(options)} options: is its format still understood?")
    sections, tags = page_sections(page)
    synopsis = " ".join(plain(line) for line in sections.get("SYNOPSIS", []))
    missing = []
    for short, long, value in options:
        tag = next((t for t in tags if re.search(rf"(^|[ ,])--{re.escape(long)}\b(?!-)", t)), None)
        words = tag.replace(",", " ").split() if tag else []
        wanted = [f"--{long}"] + ([f"-{short}"] if short else []) + ([value] if value else [])
        if not all(word in words for word in wanted):
            missing.append(f"{' '.join(wanted)} (entry: {tag or 'none'})")
    missing += [f"argument {a} (not in the SYNOPSIS)" for a in arguments if a not in synopsis.split()]
    if missing:
        print(f"{page} does not document what {program} --help prints:", file=sys.stderr)
        for item in missing:
            print(f"  {item}", file=sys.stderr)
        return 1
    print(f"{page}: all {len(options)} options and {len(arguments)} arguments of --help documented")
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2]))
