#!/usr/bin/env python3
"""Checks that the files which describe the application to the desktop agree
with each other and with the build, where no validator looks:

- the desktop entry's MIME types and categories are the metainfo's, and each
  type is defined by the application's MIME file or by the system's
  shared-mime-info;
- the desktop entry, the metainfo and the MIME file name the application's id
  (and its icon) the same way;
- the newest release in the metainfo and in the Debian changelog is the
  project's version;
- every screenshot in the README is in the metainfo.

    metadata_check.py SOURCE_DIR APP_ID VERSION
"""
import configparser
import glob
import re
import sys
import xml.etree.ElementTree as ET

MIME_NS = "{http://www.freedesktop.org/standards/shared-mime-info}"


def defined_mime_types(paths):
    types = set()
    for path in paths:
        for node in ET.parse(path).getroot().iter(MIME_NS + "mime-type"):
            types.add(node.get("type"))
            types.update(alias.get("type") for alias in node.iter(MIME_NS + "alias"))
    return types


def main(source, app_id, version):
    problems = []

    def expect(condition, message):
        if not condition:
            problems.append(message)

    desktop = configparser.ConfigParser(interpolation=None)
    desktop.optionxform = str
    desktop.read(f"{source}/resources/gameoflife.desktop", encoding="utf-8")
    entry = desktop["Desktop Entry"]
    metainfo = ET.parse(f"{source}/resources/gameoflife.metainfo.xml").getroot()
    mime_file = f"{source}/resources/gameoflife-mime.xml"
    own_types = defined_mime_types([mime_file])

    desktop_types = {t for t in entry.get("MimeType", "").split(";") if t}
    metainfo_types = {node.text for node in metainfo.iterfind("provides/mediatype")}
    expect(desktop_types == metainfo_types,
           f"the desktop entry opens {sorted(desktop_types)}, the metainfo says {sorted(metainfo_types)}")
    desktop_categories = [c for c in entry.get("Categories", "").split(";") if c]
    metainfo_categories = [node.text for node in metainfo.iterfind("categories/category")]
    expect(desktop_categories == metainfo_categories,
           f"the desktop entry's categories are {desktop_categories}, the metainfo's {metainfo_categories}")
    known = own_types | defined_mime_types(glob.glob("/usr/share/mime/packages/freedesktop.org.xml"))
    for undefined in sorted(desktop_types - known):
        expect(False, f"{undefined} is opened but defined nowhere (add it to {mime_file})")

    expect(metainfo.findtext("id") == app_id, f"the metainfo's id is {metainfo.findtext('id')}, not {app_id}")
    launchable = metainfo.findtext("launchable[@type='desktop-id']")
    expect(launchable == f"{app_id}.desktop", f"the metainfo launches {launchable}, not {app_id}.desktop")
    expect(entry.get("Icon") == app_id, f"the desktop entry's icon is {entry.get('Icon')}, not {app_id}")
    for node in ET.parse(mime_file).getroot().iter(MIME_NS + "icon"):
        expect(node.get("name") == app_id, f"{mime_file} gives the icon {node.get('name')}, not {app_id}")

    releases = metainfo.findall("releases/release")
    newest = releases[0].get("version") if releases else None
    expect(newest == version, f"the metainfo's newest release is {newest}, the project is {version}: add a release")
    with open(f"{source}/packaging/changelog", encoding="utf-8") as changelog:
        first = re.match(r"\S+ \(([^)]+)\)", changelog.readline())
    logged = first.group(1) if first else None
    expect(logged == version, f"packaging/changelog's newest entry is {logged}, the project is {version}")

    with open(f"{source}/README.md", encoding="utf-8") as readme:
        shots = re.findall(r"!\[[^]]*\]\(([^)]+\.png)\)", readme.read())
    images = [node.text for node in metainfo.iterfind("screenshots/screenshot/image")]
    for shot in shots:
        expect(any(image.endswith("/" + shot) for image in images), f"README's screenshot {shot} is not in the metainfo")

    for problem in problems:
        print(problem, file=sys.stderr)
    if not problems:
        print(f"desktop entry, metainfo, MIME file and changelog agree ({len(desktop_types)} types, "
              f"version {version}, {len(shots)} screenshots)")
    return 1 if problems else 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
