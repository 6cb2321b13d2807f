"""Writes each ```cpp block of the README into a program of its own, so the
build compiles the samples and the tests run them.

    python3 readme_samples.py README.md OUTPUT_FOLDER

A block with its own main() is a whole program; any other block is a run of
statements, placed in a main() after the includes every sample may use.
Prints the written file names, separated by ';', for CMake.
"""

import pathlib
import re
import sys

PRELUDE = """#include <quarrow/json.hpp>

#include <iomanip>
#include <iostream>
#include <string>

int main()
{
"""


def samples(readme):
    return re.findall(r"^```cpp\n(.*?)^```$", readme, flags=re.S | re.M)


def program(block):
    if re.search(r"\bint main\(", block):
        return block
    body = "".join(f"    {line}\n" if line else "\n" for line in block.splitlines())
    return PRELUDE + body + "}\n"


def main(readme_path, folder):
    folder = pathlib.Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    names = []
    for number, block in enumerate(samples(pathlib.Path(readme_path).read_text()), start=1):
        path = folder / f"readme_sample_{number}.cpp"
        text = f"// Sample {number} of {readme_path}, written by readme_samples.py.\n" + program(block)
        if not path.exists() or path.read_text() != text:  # unchanged files do not rebuild
            path.write_text(text)
        names.append(str(path))
    if not names:
        sys.exit("no ```cpp blocks found")
    print(";".join(names), end="")


if __name__ == "__main__":
    main(*sys.argv[1:])
