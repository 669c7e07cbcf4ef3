#!/usr/bin/env python3
"""Fails on an #include that runs against the layering of src/.

Folders from the bottom up: common, platform, settings, log, hosts, alerts, monitor, history, app, then the Qt side:
platform/qt (the seams on Qt) and ui (the widgets). A folder may include its own headers and those of the
folders below it, with these limits: common includes nothing of the project, platform/qt only platform and
common, and only app and ui include app. main.cpp, at the top, may include anything. With a strict order
there can be no cycle between folders.

Both forms count: "app/sms_port.h" and <app/sms_port.h> reach the same header through the include path. An
angle-bracket include outside the project's folders (<QString>, <sys/socket.h>) is the system's own.
`--self-test` checks the checker.
"""
import pathlib
import re
import sys

ORDER = ["common", "platform", "settings", "log", "hosts", "alerts", "monitor", "history", "app", "platform/qt", "ui"]
ALLOWED = {folder: set(ORDER[: i + 1]) for i, folder in enumerate(ORDER)}
ALLOWED["common"] = {"common"}
ALLOWED["platform/qt"] = {"platform/qt", "platform", "common"}
INCLUDE = re.compile(r'^\s*#\s*include\s*(?:"([^"]+)"|<([^>]+)>)')


def folder_of(path: str) -> str:
    """The layer a path inside src/ belongs to ("" for a file at the top, such as main.cpp)."""
    if path.startswith("platform/qt/"):
        return "platform/qt"
    return path.split("/", 1)[0] if "/" in path else ""


def forbidden(own: str, line: str):
    """The header `line` includes when a file of folder `own` may not include it, else None."""
    match = INCLUDE.match(line)
    if not match:
        return None
    quoted, angled = match.groups()
    target = folder_of(quoted or angled)
    if angled and target not in ORDER:
        return None
    if target and target not in ALLOWED.get(own, set()):
        return quoted or angled
    return None


def self_test() -> int:
    cases = [
        ("monitor", '#include "app/sms_port.h"', "app/sms_port.h"),
        ("monitor", "#include <app/sms_port.h>", "app/sms_port.h"),
        ("monitor", "  #  include<app/sms_port.h>", "app/sms_port.h"),
        ("common", "#include <platform/clock.h>", "platform/clock.h"),
        ("platform/qt", "#include <ui/main_window.h>", "ui/main_window.h"),
        ("platform/qt", "#include <platform/qt/qt_clock.h>", None),
        ("monitor", "#include <log/event_log.h>", None),
        ("monitor", "#include <sys/socket.h>", None),
        ("common", "#include <QString>", None),
        ("app", '#include "app/sms_port.h"', None),
        ("monitor", '// #include "app/sms_port.h"', None),
    ]
    failures = [case for case in cases if forbidden(case[0], case[1]) != case[2]]
    for own, line, expected in failures:
        print(f"self-test: {own}/ with {line!r}: expected {expected}, got {forbidden(own, line)}", file=sys.stderr)
    return 1 if failures else 0


def main() -> int:
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    src = pathlib.Path(__file__).resolve().parent.parent / "src"
    errors = []
    for file in sorted(src.rglob("*")):
        if file.suffix not in (".h", ".cpp"):
            continue
        own = folder_of(file.relative_to(src).as_posix())
        if not own:
            continue
        for number, line in enumerate(file.read_text(encoding="utf-8").splitlines(), 1):
            header = forbidden(own, line)
            if header:
                errors.append(f"{file.relative_to(src.parent)}:{number}: {own}/ may not include {header}")
    for error in errors:
        print(error, file=sys.stderr)
    if errors:
        print(f"{len(errors)} forbidden include(s)", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
