#!/usr/bin/env python3
"""The layering check: every #include of the tree, and every name the product's code uses,
against docs/architecture.md.

The document's table "What each folder may include" says which folders a folder's files
may include from; its list between the "upward includes" markers names the few includes
that are allowed against the table. A quoted include names a file from the tree's root
(or, in platform/ and above the product's layers, a file beside it); in the product's
folders a system header of the platform (windows.h and its kin) may be included by
platform/ only. Within editor/, only the files of the document's "display door" list may
include from canvas/ or dialogs/.

Names go by the same table: a name declared at the top level of a product folder's header
belongs to the lowest folder that declares it, and the code of a product folder (comments
and quoted text aside) may name only what belongs to a folder it may include from. So a
lower layer that spells out an upper layer's constant, type or function fails, even when
it includes nothing of it.

Prints every violation and exits 1 when there is one; a listed upward include that no
longer exists is a violation too.

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


PRODUCT_ORDER = ["platform", "runtime", "dialogs", "canvas", "editor"]  # lowest first
COMMENT_OR_TEXT = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'',
                             re.S)
IDENTIFIER = re.compile(r"\b[A-Za-z_]\w*\b")
# Top-level declarations of a header: what a folder offers the folders above it.
DECLARATIONS = [
    re.compile(r"^#\s*define\s+([A-Za-z_]\w*)"),
    re.compile(r"^(?:struct|class|union|enum(?:\s+class)?)\s+(?:alignas\([^)]*\)\s*)?"
               r"([A-Za-z_]\w*)"),
    re.compile(r"^using\s+([A-Za-z_]\w*)\s*="),
    re.compile(r"^(?:extern|constexpr|inline|const)\b[^=;(]*?\b([A-Za-z_]\w*)\s*(?:\[[^\]]*\])?\s*[=;]"),
    re.compile(r"^(?:template\s*<[^>]*>\s*)?(?!return\b|namespace\b|static_assert\b)"
               r"[A-Za-z_][\w:<>,*&\s]*?[\s*&]([A-Za-z_]\w*)\s*\("),
]


# A declaration of a name of the file's own: a type (or a type's * or &) right before it,
# and after it what follows a declared name. So a local variable that happens to share an
# upper layer's name is the file's own; a forward declaration is not.
NOT_A_TYPE = {"return", "case", "else", "goto", "throw", "new", "delete", "sizeof", "struct",
              "class", "union", "enum", "using", "typename", "co_return", "co_yield"}
OWN_DECLARATION = re.compile(r"([A-Za-z_]\w*|>)(?:[*&]+\s*|\s+[*&]*)([A-Za-z_]\w*)\s*(?=[;=,)\[{(:])")


def declared_in(code):
    """The names that a file's code declares itself."""
    return {name for before, name in OWN_DECLARATION.findall(code) if before not in NOT_A_TYPE}


def code_of(text):
    """The text without its comments and quoted text, line breaks kept."""
    return COMMENT_OR_TEXT.sub(lambda m: "\n" * m.group(0).count("\n") + " ", text)


def read_owners(root):
    """Each name a product header declares at its top level -> the lowest folder that does."""
    owners = {}
    for folder in PRODUCT_ORDER:
        for path in sorted((root / folder).rglob("*.h")):
            for line in code_of(path.read_text(errors="replace")).splitlines():
                for declaration in DECLARATIONS:
                    match = declaration.match(line)
                    if match and match.group(1) != "operator":
                        owners.setdefault(match.group(1), folder)
                        break
    return owners


def check_names(root, allowed, upward, owners):
    """Names of a folder that the product's code may not use, file by file."""
    problems = []
    for folder in PRODUCT_ORDER:
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
                continue
            name = path.relative_to(root).as_posix()
            let_in = {target.split("/", 1)[0] for file, target in upward if file == name}
            code = code_of(path.read_text(errors="replace"))
            seen = declared_in(code)
            for number, line in enumerate(code.splitlines(), 1):
                for word in IDENTIFIER.findall(line):
                    owner = owners.get(word)
                    if owner is None or owner in allowed[folder] or owner in let_in or word in seen:
                        continue
                    seen.add(word)
                    problems.append(f"{name}:{number}: {folder}/ may not name {word} of {owner}/")
    return problems


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
    problems += check_names(root, allowed, upward, read_owners(root))
    for name, target in sorted(upward - seen_upward):
        problems.append(f"docs/architecture.md: {name} no longer includes {target}; "
                        "take it off the list")

    for problem in problems:
        print(problem)
    print(f"layering: {len(problems)} problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
