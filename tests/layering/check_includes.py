#!/usr/bin/env python3
"""The layering check: every #include of the tree against docs/architecture.md.

The document's table "What each folder may include" says which folders a folder's files
may include from; its list between the "upward includes" markers names the few includes
that are allowed against the table. A quoted include names a file from the tree's root
(or, in platform/ and above the product's layers, a file beside it); in the product's
folders a system header of the platform (windows.h and its kin) may be included by
platform/ only. Within editor/, only the files of the document's "display door" list may
include from canvas/ or dialogs/. Prints every violation and exits 1 when there is
one; a listed upward include that no longer exists is a violation too.

    check_includes.py ROOT
"""
import pathlib
import re
import sys

PLATFORM_HEADERS = {"windows.h", "commdlg.h", "oleauto.h", "objbase.h", "winuser.h",
                    "wingdi.h", "winbase.h", "windef.h", "psapi.h", "shellapi.h"}
SOURCE_SUFFIXES = {".cpp", ".h"}
ABOVE_PRODUCT = {"bench", "fuzz", "tests"}  # may name files beside them and system headers
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


DOOR_FOLDER = "editor"
DOOR_TARGETS = {"canvas", "dialogs"}


def read_door(document):
    """The files of editor/ that may include from canvas/ or dialogs/."""
    door = set()
    inside = False
    for line in document.splitlines():
        if "display door: begin" in line:
            inside = True
        elif "display door: end" in line:
            inside = False
        elif inside and line.startswith("- `"):
            door.add(re.findall(r"`([^`]+)`", line)[0])
    return door


def read_rules(document):
    """(folder -> allowed folders, set of (file, include) allowed upward)."""
    allowed = {}
    upward = set()
    in_table = False
    in_upward = False
    for line in document.splitlines():
        if line.startswith("## "):
            in_table = line.strip() == "## What each folder may include"
            continue
        if "upward includes: begin" in line:
            in_upward = True
            continue
        if "upward includes: end" in line:
            in_upward = False
            continue
        if in_table and line.startswith("| `"):
            cells = line.strip().strip("|").split("|")
            folder = cells[0].strip().strip("`").rstrip("/")
            allowed[folder] = {name.rstrip("/") for name in re.findall(r"`([^`]+)`", cells[1])}
        if in_upward:
            names = re.findall(r"`([^`]+)`", line)
            if line.startswith("- ") and len(names) >= 2 and " includes " in line:
                upward.add((names[0], names[1]))
    return allowed, upward


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    document = (root / "docs" / "architecture.md").read_text()
    allowed, upward = read_rules(document)
    door = read_door(document)
    if not allowed:
        print("docs/architecture.md: no table of what each folder may include")
        return 1

    problems = []
    seen_upward = set()
    for folder in sorted(allowed):
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
                continue
            name = path.relative_to(root).as_posix()
            for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                kind, target = match.groups()
                where = f"{name}:{number}"
                above = folder in ABOVE_PRODUCT
                if kind == "<":
                    if target.lower() in PLATFORM_HEADERS and folder != "platform" and not above:
                        problems.append(f"{where}: <{target}> outside platform/")
                    continue
                to = target.split("/", 1)[0]
                if "/" not in target or (above and to not in allowed):
                    if folder != "platform" and not above:
                        problems.append(f'{where}: "{target}" is not named from the root')
                    continue
                if folder == DOOR_FOLDER and to in DOOR_TARGETS and name not in door:
                    problems.append(f"{where}: {name} is not on the display door list, "
                                    f"so it may not include {target}")
                    continue
                if to in allowed[folder]:
                    continue
                if (name, target) in upward:
                    seen_upward.add((name, target))
                    continue
                problems.append(f"{where}: {folder}/ may not include {target}")
    for name, target in sorted(upward - seen_upward):
        problems.append(f"docs/architecture.md: {name} no longer includes {target}; "
                        "take it off the list")

    for problem in problems:
        print(problem)
    print(f"layering: {len(problems)} problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
