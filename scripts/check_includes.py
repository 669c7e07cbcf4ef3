#!/usr/bin/env python3
"""Fails on an #include that runs against the layering of src/.

Folders from the bottom up: common, platform, settings, log, hosts, alerts, monitor, app, then the Qt side:
platform/qt (the seams on Qt) and ui (the widgets). A folder may include its own headers and those of the
folders below it, with these limits: common includes nothing of the project, platform/qt only platform and
common, and only app and ui include app. main.cpp, at the top, may include anything. With a strict order
there can be no cycle between folders.
"""
import pathlib
import re
import sys

ORDER = ["common", "platform", "settings", "log", "hosts", "alerts", "monitor", "app", "platform/qt", "ui"]
ALLOWED = {folder: set(ORDER[: i + 1]) for i, folder in enumerate(ORDER)}
ALLOWED["common"] = {"common"}
ALLOWED["platform/qt"] = {"platform/qt", "platform", "common"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def folder_of(path: str) -> str:
    """The layer a path inside src/ belongs to ("" for a file at the top, such as main.cpp)."""
    if path.startswith("platform/qt/"):
        return "platform/qt"
    return path.split("/", 1)[0] if "/" in path else ""


def main() -> int:
    src = pathlib.Path(__file__).resolve().parent.parent / "src"
    errors = []
    for file in sorted(src.rglob("*")):
        if file.suffix not in (".h", ".cpp"):
            continue
        own = folder_of(file.relative_to(src).as_posix())
        if not own:
            continue
        for number, line in enumerate(file.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            target = folder_of(match.group(1))
            if target and target not in ALLOWED.get(own, set()):
                errors.append(f"{file.relative_to(src.parent)}:{number}: {own}/ may not include {match.group(1)}")
    for error in errors:
        print(error, file=sys.stderr)
    if errors:
        print(f"{len(errors)} forbidden include(s)", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
