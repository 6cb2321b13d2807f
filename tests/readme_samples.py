"""Writes each ```cpp block of the README into a program of its own, with the
output its comments promise beside it, so the build compiles the samples and
the tests run them and compare what they print.

    python3 readme_samples.py README.md OUTPUT_FOLDER
    python3 readme_samples.py --check EXPECTED PROGRAM

A block with its own main() is a whole program; any other block is a run of
statements, placed in a main() after the includes every sample may use.
The first form writes readme_sample_<n>.cpp and readme_sample_<n>.expected
for each block and prints the .cpp names, separated by ';', for CMake. The
second runs PROGRAM and compares its standard output with EXPECTED, line by
line, spaces at the ends of lines aside; it prints a diff and fails when they
differ or the program fails.

What a sample prints is read from the comments on its output statements
(those that write to std::cout or call printf), in the order they stand:

- a comment after the statement is one line it prints, or several written
  "A, then B, then C"; a one-word line may be followed by ": " and a remark
  (`// 0: not an object` promises "0");
- a comment after the statement that ends with ':' is a remark, and the
  statement prints the lines of the whole-line comments right below it;
- a statement with no comment after it prints the lines of the whole-line
  comments right below it, or else of those right above it, or else
  nothing the comments can tell: as when it only ends a line begun before.

So every line a sample prints must appear in its comments, and every line
its comments promise must be printed.
"""

import difflib
import pathlib
import re
import subprocess
import sys

PRELUDE = """#include <quarrow/json.hpp>

#include <iomanip>
#include <iostream>
#include <string>

int main()
{
"""

OUTPUT_STATEMENT = re.compile(r"std::cout\b|\bprintf\(")
WHOLE_LINE_COMMENT = re.compile(r"^\s*// ?(.*)$")
TRAILING_COMMENT = re.compile(r"^(.*?;)\s*// ?(.*)$")
REMARK_AFTER_ONE_WORD = re.compile(r"^(\S+): ")


def samples(readme):
    return re.findall(r"^```cpp\n(.*?)^```$", readme, flags=re.S | re.M)


def program(block):
    if re.search(r"\bint main\(", block):
        return block
    body = "".join(f"    {line}\n" if line else "\n" for line in block.splitlines())
    return PRELUDE + body + "}\n"


def comment_block(lines, start, step, claimed):
    """The whole-line comments from lines[start] on, walking by step, that no
    statement has claimed yet."""
    found = []
    i = start
    while 0 <= i < len(lines) and i not in claimed and WHOLE_LINE_COMMENT.match(lines[i]):
        found.append(i)
        i += step
    return sorted(found)


def promised_output(block):
    """The lines the comments of a block say it prints, in order."""
    lines = block.splitlines()
    promised = []
    claimed = set()
    i = 0
    while i < len(lines):
        if WHOLE_LINE_COMMENT.match(lines[i]) or not OUTPUT_STATEMENT.search(lines[i]):
            i += 1
            continue
        first = i
        while i + 1 < len(lines) and not TRAILING_COMMENT.match(lines[i]) and not lines[i].rstrip().endswith(";"):
            i += 1
        trailing = TRAILING_COMMENT.match(lines[i])
        comment = trailing.group(2).rstrip() if trailing else ""
        if comment and not comment.endswith(":"):
            for line in comment.split(", then "):
                remark = REMARK_AFTER_ONE_WORD.match(line)
                promised.append(remark.group(1) if remark else line)
        else:
            below = comment_block(lines, i + 1, 1, claimed)
            if comment and not below:
                sys.exit(f"'{lines[i].strip()}' ends with a remark, but no comment below it says what it prints")
            taken = below or comment_block(lines, first - 1, -1, claimed)
            claimed.update(taken)
            promised.extend(WHOLE_LINE_COMMENT.match(lines[k]).group(1).rstrip() for k in taken)
        i += 1
    return promised


def write_if_changed(path, text):
    if not path.exists() or path.read_text() != text:  # unchanged files do not rebuild
        path.write_text(text)


def write_samples(readme_path, folder):
    folder = pathlib.Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    names = []
    for number, block in enumerate(samples(pathlib.Path(readme_path).read_text()), start=1):
        path = folder / f"readme_sample_{number}.cpp"
        write_if_changed(path, f"// Sample {number} of {readme_path}, written by readme_samples.py.\n" + program(block))
        write_if_changed(path.with_suffix(".expected"), "".join(line + "\n" for line in promised_output(block)))
        names.append(str(path))
    if not names:
        sys.exit("no ```cpp blocks found")
    print(";".join(names), end="")


def check(expected_path, program_path):
    expected = pathlib.Path(expected_path).read_text().splitlines()
    run = subprocess.run([program_path], stdout=subprocess.PIPE, check=False)
    printed = [line.rstrip() for line in run.stdout.decode("utf-8", "backslashreplace").splitlines()]
    if run.returncode != 0:
        sys.exit(f"{program_path} exited with {run.returncode}")
    if printed != expected:
        diff = difflib.unified_diff(expected, printed, "what the comments promise", "what the sample printed",
                                    lineterm="")
        sys.exit("\n".join(diff))


if __name__ == "__main__":
    if sys.argv[1] == "--check":
        check(*sys.argv[2:])
    else:
        write_samples(*sys.argv[1:])
