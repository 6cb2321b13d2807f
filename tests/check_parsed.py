"""Checks quarrow's reading of the benchmark corpora against Python's json
module: the value quarrow reads and writes back must be the value Python
reads, with every floating-point number as its 15 significant digits.

    python3 check_parsed.py REPARSE_PROGRAM FILE...
"""

import json
import subprocess
import sys


def same(expected, actual, where):
    if isinstance(expected, float) or isinstance(actual, float):
        # quarrow writes 15 significant digits; integers beyond 64 bits are floats.
        if float(format(float(expected), ".15g")) != float(actual):
            sys.exit(f"{where}: {expected!r} read as {actual!r}")
    elif isinstance(expected, dict):
        if not isinstance(actual, dict) or sorted(expected) != sorted(actual):
            sys.exit(f"{where}: members differ")
        for key in expected:
            same(expected[key], actual[key], f"{where}/{key}")
    elif isinstance(expected, list):
        if not isinstance(actual, list) or len(expected) != len(actual):
            sys.exit(f"{where}: elements differ")
        for index, (e, a) in enumerate(zip(expected, actual)):
            same(e, a, f"{where}[{index}]")
    elif type(expected) is not type(actual) or expected != actual:
        sys.exit(f"{where}: {expected!r} read as {actual!r}")


def main(program, *paths):
    for path in paths:
        with open(path, "rb") as file:
            expected = json.loads(file.read().decode("utf-8"))
        written = subprocess.run([program, path], check=True, capture_output=True).stdout
        same(expected, json.loads(written.decode("utf-8")), path)
        print(f"{path}: same value")


if __name__ == "__main__":
    main(*sys.argv[1:])
