#!/usr/bin/env python3
"""The layering check against small trees made to order: what a lower layer may and may not
include and name of an upper one.

    check_includes_test.py
"""
import pathlib
import subprocess
import sys
import tempfile

CHECK = pathlib.Path(__file__).with_name("check_includes.py")
DOCUMENT = """# Architecture
## What each folder may include
| folder | may include |
|---|---|
| `platform/` | `platform/` |
| `runtime/` | `platform/` `runtime/` |
| `dialogs/` | `platform/` `runtime/` `dialogs/` |
| `canvas/` | `platform/` `runtime/` `dialogs/` `canvas/` |
| `editor/` | `platform/` `runtime/` `dialogs/` `canvas/` `editor/` |
## Next
"""
HEADERS = {
    "runtime/Shared.h": "constexpr int kShared = 1;\n",
    "canvas/Canvas.h": "constexpr int kKindCanvas = 14;\nstruct CanvasState {\n    int x;\n};\n"
                       "void CanvasPrint(const char* text) noexcept;\nconstexpr int kShared = 1;\n",
    "editor/ProgramState.h": "extern char fileName[8];\n",
}

# (what dialogs/Engine.cpp holds, the problem the check reports or None)
CASES = [
    ('#include "canvas/Canvas.h"\n', "dialogs/ may not include canvas/Canvas.h"),
    ("int kind = kKindCanvas;\n", "may not name kKindCanvas of canvas/"),
    ("struct CanvasState;\n", "may not name CanvasState of canvas/"),
    ("void Paint() { CanvasPrint(\"x\"); }\n", "may not name CanvasPrint of canvas/"),
    ("// the canvas registers kKindCanvas; \"CanvasState\" is its\n", None),
    ("void Open() {\n    char fileName[8] = {};\n    (void)fileName;\n}\n", None),
    ("int shared = kShared;\n", None),
]


def run(engine):
    with tempfile.TemporaryDirectory() as folder:
        root = pathlib.Path(folder)
        for name, text in {**HEADERS, "docs/architecture.md": DOCUMENT,
                           "dialogs/Engine.cpp": engine}.items():
            (root / name).parent.mkdir(parents=True, exist_ok=True)
            (root / name).write_text(text)
        (root / "platform").mkdir(exist_ok=True)
        return subprocess.run([sys.executable, CHECK, root], capture_output=True, text=True)


def main():
    failures = 0
    for engine, problem in CASES:
        result = run(engine)
        passed = result.returncode == 0 and "0 problem(s)" in result.stdout
        if (problem is None and not passed) or (
                problem is not None and (passed or problem not in result.stdout)):
            failures += 1
            print(f"case {engine!r}: expected {problem or 'no problem'}, got:\n{result.stdout}")
    print(f"layering check: {len(CASES) - failures} of {len(CASES)} cases as expected")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
