"""Writes src/json.hpp, the single-file quarrow, from the parts under include/quarrow/.

    python3 tools/single_header.py          # writes src/json.hpp
    python3 tools/single_header.py --check  # fails, saying how to fix it, if src/json.hpp differs

The umbrella include/quarrow/json.hpp includes the parts in order; each
`#include <quarrow/...>` line is replaced by that part, without its include
guard, and everything else is copied as it stands.
"""

import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
UMBRELLA = ROOT / "include" / "quarrow" / "json.hpp"
OUTPUT = ROOT / "src" / "json.hpp"
COMMAND = "python3 tools/single_header.py"

NOTICE = f"""// Generated from include/quarrow/ by tools/single_header.py: do not edit.
// To change it, edit the parts and run `{COMMAND}`.
"""

PART = re.compile(r"^#include <(quarrow/[^>]+)>\s*$")


def without_guard(lines, name):
    """The part's lines without the #ifndef/#define at its top and the #endif closing it."""
    guard = "QUARROW_" + re.sub(r"[^A-Za-z0-9]", "_", name[len("quarrow/"):]).upper()
    opening = [f"#ifndef {guard}\n", f"#define {guard}\n"]
    first = next(i for i, line in enumerate(lines) if line.startswith("#"))
    last = max(i for i, line in enumerate(lines) if line.strip())
    if lines[first:first + 2] != opening or not lines[last].startswith("#endif"):
        sys.exit(f"{name}: expected the include guard {guard} around the whole part")
    return lines[:first] + lines[first + 2:last]


def single_header():
    out = [NOTICE]
    for line in UMBRELLA.read_text().splitlines(keepends=True):
        match = PART.match(line)
        if match is None:
            out.append(line)
            continue
        name = match.group(1)
        part = (ROOT / "include" / name).read_text().splitlines(keepends=True)
        out.extend(without_guard(part, name))
    return "".join(out)


def main(arguments):
    text = single_header()
    if arguments == ["--check"]:
        if OUTPUT.read_text() != text:
            sys.exit(f"src/json.hpp is not what the parts make: run `{COMMAND}` and commit it")
        return
    if arguments:
        sys.exit(__doc__)
    OUTPUT.write_text(text)


if __name__ == "__main__":
    main(sys.argv[1:])
