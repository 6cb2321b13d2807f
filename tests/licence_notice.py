"""Checks that the header's opening comment holds the LICENSE text word for
word, so that a copy of the header alone keeps the notice its licence asks for.

    python3 licence_notice.py LICENSE src/json.hpp
"""

import pathlib
import sys


def main(licence_path, header_path):
    licence = "\n".join(("// " + line).rstrip() for line in pathlib.Path(licence_path).read_text().splitlines())
    opening = []
    for line in pathlib.Path(header_path).read_text().splitlines():
        if not line.startswith("//"):
            break
        opening.append(line)
    if licence not in "\n".join(opening):
        sys.exit(f"the opening comment of {header_path} does not hold {licence_path} word for word")


if __name__ == "__main__":
    main(*sys.argv[1:])
