"""Checks the UTF-8 policies of the direct text routes against Python's own
UTF-8 decoder, which replaces each maximal subpart of an ill-formed sequence
with U+FFFD and names the first byte of the first one when strict.

    python3 check_utf8.py WRITE_UTF8_CASES_PROGRAM
"""

import json
import subprocess
import sys


def main(program):
    lines = subprocess.run([program], check=True, capture_output=True).stdout.decode("ascii").splitlines()
    for line in lines:
        bytes_hex, replaced, kept_hex, index = line.split("\t")
        data = bytes.fromhex(bytes_hex)
        # Python escapes DEL too; JSON, and quarrow, leave it as it is.
        expected = json.dumps(data.decode("utf-8", errors="replace"), ensure_ascii=True).replace("\\u007f", "\x7f")
        if replaced != expected:
            sys.exit(f"{bytes_hex}: replace and escape wrote {replaced}, Python {expected}")
        try:
            data.decode("utf-8")
            expected_index = -1
        except UnicodeDecodeError as error:
            expected_index = error.start
        if int(index) != expected_index:
            sys.exit(f"{bytes_hex}: error 316 named index {index}, Python {expected_index}")
        # keep: the bytes themselves, only the quotation mark and control bytes escaped
        kept = bytes.fromhex(kept_hex)
        expected_kept = b'"' + data.replace(b"\\", b"\\\\").replace(b'"', b'\\"').replace(b"\x01", b"\\u0001") + b'"'
        if kept != expected_kept:
            sys.exit(f"{bytes_hex}: keep wrote {kept!r}")
    print(f"{len(lines)} strings: replace, error and keep agree with Python's UTF-8 decoder")


if __name__ == "__main__":
    main(sys.argv[1])
