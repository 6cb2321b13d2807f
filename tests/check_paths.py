"""Checks quarrow's diff, patch and pointers against Python's jsonpatch and
jsonpointer on seeded pairs of documents, each target a mutation of its source:

- quarrow's diff, applied by jsonpatch, gives the target;
- jsonpatch.make_patch's patch, applied by quarrow, gives what jsonpatch gives;
- a pointer names in quarrow what jsonpointer resolves, and nothing where
  jsonpointer finds nothing.

    python3 check_paths.py PATH_ORACLE_PROGRAM
"""

import copy
import json
import random
import subprocess
import sys

import jsonpatch
import jsonpointer

PAIRS = 300
KEYS = ["a", "b", "", "0", "1", "~", "/", "a/b", "m~n", "k\"l", "\u00e9"]


def same(left, right):
    """Equal as quarrow compares: numbers by value, but a boolean is no number."""
    if isinstance(left, bool) or isinstance(right, bool):
        return type(left) is type(right) and left == right
    if isinstance(left, dict):
        return isinstance(right, dict) and left.keys() == right.keys() and all(
            same(left[k], right[k]) for k in left)
    if isinstance(left, list):
        return isinstance(right, list) and len(left) == len(right) and all(
            same(l, r) for l, r in zip(left, right))
    return type(left) in (int, float) and type(right) in (int, float) and left == right or \
        type(left) is type(right) and left == right


def scalar(rng):
    return rng.choice([None, True, False, 0, 1, -7, 2 ** 40, 0.5, -1.25, "", "x", "text", "~/"])


def document(rng, depth):
    kind = rng.random()
    if depth == 0 or kind < 0.3:
        return scalar(rng)
    if kind < 0.65:
        return [document(rng, depth - 1) for _ in range(rng.randrange(5))]
    return {rng.choice(KEYS): document(rng, depth - 1) for _ in range(rng.randrange(5))}


def mutated(rng, value, depth):
    """A copy of value with a few changes at random places."""
    if rng.random() < 0.15 or not isinstance(value, (list, dict)):
        return document(rng, depth) if rng.random() < 0.7 else copy.deepcopy(value)
    value = copy.deepcopy(value)
    for _ in range(rng.randrange(1, 4)):
        if isinstance(value, list):
            choice = rng.random()
            if value and choice < 0.4:
                i = rng.randrange(len(value))
                value[i] = mutated(rng, value[i], depth - 1)
            elif value and choice < 0.6:
                del value[rng.randrange(len(value)):]
            else:
                value.append(document(rng, depth - 1))
        else:
            key = rng.choice(KEYS)
            if key in value and rng.random() < 0.3:
                del value[key]
            else:
                value[key] = mutated(rng, value[key], depth - 1) if key in value else document(rng, depth - 1)
    return value


def pointers(rng, value):
    """Pointer texts to every value in value, and some that name nothing."""
    texts = []
    stack = [("", value)]
    while stack:
        text, v = stack.pop()
        texts.append(text)
        items = enumerate(v) if isinstance(v, list) else v.items() if isinstance(v, dict) else []
        for token, child in items:
            stack.append((text + "/" + str(token).replace("~", "~0").replace("/", "~1"), child))
    wrong = [t + suffix for t in rng.sample(texts, min(3, len(texts)))
             for suffix in ("/-", "/00", "/01", "/9", "/zz", "/a", "/")]
    return rng.sample(texts, min(6, len(texts))) + wrong


def main(program):
    rng = random.Random(6902)
    requests = []
    checks = []
    for _ in range(PAIRS):
        source = document(rng, 4)
        target = mutated(rng, source, 4)
        requests.append(["diff", source, target])
        checks.append(("diff", source, target))
        python_patch = jsonpatch.make_patch(source, target).patch
        requests.append(["patch", source, python_patch])
        checks.append(("patch", source, python_patch))
        for text in pointers(rng, source):
            requests.append(["pointer", source, text])
            checks.append(("pointer", source, text))
    lines = "".join(json.dumps(r) + "\n" for r in requests)
    run = subprocess.run([program], input=lines.encode("utf-8"), check=True, capture_output=True)
    answers = [json.loads(line) for line in run.stdout.decode("utf-8").splitlines()]
    if len(answers) != len(requests):
        sys.exit(f"{len(requests)} requests, {len(answers)} answers")
    counts = {"diff": 0, "patch": 0, "pointer": 0}
    for (kind, first, second), answer in zip(checks, answers):
        where = f"{kind} {json.dumps(first)} {json.dumps(second)}"
        if kind == "diff":
            if "value" not in answer:
                sys.exit(f"{where}: quarrow failed with {answer}")
            patched = jsonpatch.apply_patch(first, answer["value"])
            if not same(patched, second):
                sys.exit(f"{where}: quarrow's diff {json.dumps(answer['value'])} gives {json.dumps(patched)}")
        elif kind == "patch":
            expected = jsonpatch.apply_patch(first, second)
            if "value" not in answer or not same(answer["value"], expected):
                sys.exit(f"{where}: quarrow gives {answer}, jsonpatch {json.dumps(expected)}")
        else:
            try:
                expected = jsonpointer.resolve_pointer(first, second)
                if isinstance(expected, jsonpointer.EndOfList):
                    expected = None  # "-" names the place after the end, where no value is
                    found = False
                else:
                    found = True
            except jsonpointer.JsonPointerException:
                found = False
            if found != ("value" in answer) or found and not same(answer["value"], expected):
                sys.exit(f"{where}: quarrow gives {answer}, jsonpointer {'finds ' + json.dumps(expected) if found else 'nothing'}")
        counts[kind] += 1
    print(f"agreed on {counts['diff']} diffs, {counts['patch']} patches, {counts['pointer']} pointers")


if __name__ == "__main__":
    main(*sys.argv[1:])
