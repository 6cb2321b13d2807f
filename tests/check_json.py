"""Checks with Python's own strict parser that every document the library
writes is valid JSON, and that its layouts all hold the same value.

    python3 check_json.py WRITE_DOCUMENTS_PROGRAM
"""

import collections
import json
import pathlib
import subprocess
import sys
import tempfile


def reject_constant(name):
    raise ValueError(f"{name} is not JSON")


def main(program):
    by_document = collections.defaultdict(list)
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([program, folder], check=True)
        files = sorted(pathlib.Path(folder).glob("*.json"))
        if not files:
            sys.exit("no documents written")
        for path in files:
            text = path.read_bytes().decode("utf-8")  # strict: invalid UTF-8 fails
            try:
                value = json.loads(text, parse_constant=reject_constant)
            except ValueError as error:
                sys.exit(f"{path.name}: {error}")
            by_document[path.name.split(".")[0]].append((path.name, value))
    for name, layouts in by_document.items():
        first_name, first = layouts[0]
        for other_name, other in layouts[1:]:
            if other != first:
                sys.exit(f"{other_name} holds another value than {first_name}")
    print(f"{len(files)} texts of {len(by_document)} documents are valid JSON")


if __name__ == "__main__":
    main(sys.argv[1])
