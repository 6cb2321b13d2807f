"""Writes the table of powers of five that src/json.hpp reads decimal numbers
with, or checks the header's copy against a fresh one.

    python3 power_table.py            prints the rows of the table
    python3 power_table.py HEADER     exits with 1 unless HEADER holds exactly these rows

Row q - MIN_POWER holds 5^q for q in [MIN_POWER, MAX_POWER] as 128 bits
[high, low] with the top bit set, rounded down: 5^q = (value + f) * 2^e with
0 <= f < 1 and e = floor(q * log2(5)) - 127. The header finds e with the
integer formula that check_exponent_formula confirms for the whole range.
"""

import re
import sys

MIN_POWER = -342
MAX_POWER = 308
BEGIN = "static const uint128 table[] = {"
END = "};"


def floor_log2_pow5(q):
    """floor(log2(5^q)), exactly: the bit length of 5^q or of 1 / 5^-q."""
    if q >= 0:
        return (5**q).bit_length() - 1
    # 2^k <= 5^q < 2^(k+1)  <=>  2^-k >= 5^-q > 2^(-k-1); 5^-q is never a power of two
    return -((5**-q).bit_length())


def truncated_power(q):
    e = floor_log2_pow5(q) - 127
    if q >= 0:
        value = 5**q >> e if e >= 0 else 5**q << -e
    else:
        value = (1 << -e) // 5**-q
    assert 1 << 127 <= value < 1 << 128, q
    return value


def check_exponent_formula():
    """The header's formula: floor(q * log2(5)) as (q * 152170 + 65536 * 1024) / 65536 - 1024."""
    for q in range(MIN_POWER, MAX_POWER + 1):
        formula = (q * 152170 + 65536 * 1024) // 65536 - 1024
        assert formula == floor_log2_pow5(q), (q, formula, floor_log2_pow5(q))


def rows():
    lines = []
    mask = (1 << 64) - 1
    entries = [truncated_power(q) for q in range(MIN_POWER, MAX_POWER + 1)]
    for i in range(0, len(entries), 2):
        pair = entries[i:i + 2]
        cells = ", ".join("{0x%016x, 0x%016x}" % (v >> 64, v & mask) for v in pair)
        lines.append(cells + ",")
    return lines


def header_rows(text):
    lines = [line.strip() for line in text.splitlines()]
    start = lines.index(BEGIN) + 1
    return lines[start:lines.index(END, start)]


def main(args):
    check_exponent_formula()
    if not args:
        print("\n".join(rows()))
        return 0
    with open(args[0], encoding="utf-8") as header:
        found = header_rows(header.read())
    expected = rows()
    if found != expected:
        for i, (a, b) in enumerate(zip(found, expected)):
            if a != b:
                print(f"row {i}: header {a}\n        expected {b}")
                break
        print(f"the header's table differs ({len(found)} rows, expected {len(expected)})")
        return 1
    print(f"{len(found)} rows of powers of five 5^{MIN_POWER}..5^{MAX_POWER} as expected")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
