#!/usr/bin/env python3
"""Which folder of the libraries includes which: one line per folder, then every pair of folders
that include each other with the lines that do it. Exits 1 when such a pair exists beyond the
ones named with --allow (as "canvas:video"). Tests, benchmarks and programs are left out.

Includes are resolved the way the build resolves them: beside the including file, from the
repository root, then from the platform folders that hold the stand-ins' SDK paths.
"""
import argparse
import collections
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LIBRARY_FOLDERS = ["platform", "tav", "canvas", "scene", "camera", "viewers", "dui", "video"]
INCLUDE = re.compile(r'\s*#\s*include\s*[<"]([^>"]+)[>"]')


def folder_of(path):
    parts = path.split("/")
    return "/".join(parts[:2]) if parts[0] == "platform" else parts[0]


def sources():
    for top in LIBRARY_FOLDERS:
        for directory, _, names in os.walk(os.path.join(ROOT, top)):
            for name in names:
                if name.endswith((".h", ".cpp")):
                    yield os.path.relpath(os.path.join(directory, name), ROOT)


def resolve(including, included, roots):
    for base in [os.path.dirname(including)] + roots:
        candidate = os.path.normpath(os.path.join(base, included))
        if os.path.isfile(os.path.join(ROOT, candidate)):
            return candidate
    return None


def edges():
    roots = [""] + [os.path.join("platform", p) for p in sorted(os.listdir(os.path.join(ROOT, "platform")))]
    found = collections.defaultdict(list)
    for path in sources():
        with open(os.path.join(ROOT, path), errors="ignore") as text:
            for line in text:
                match = INCLUDE.match(line)
                target = match and resolve(path, match.group(1), roots)
                if target and folder_of(target) != folder_of(path):
                    found[(folder_of(path), folder_of(target))].append(f"{path} includes {target}")
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--allow", action="append", default=[], help="a pair a:b that may stay")
    args = parser.parse_args()
    found = edges()
    for source in sorted({a for a, _ in found}):
        print(source, "->", ", ".join(sorted(b for a, b in found if a == source)))
    allowed = {tuple(sorted(pair.split(":"))) for pair in args.allow}
    failed = False
    for a, b in sorted(pair for pair in found if pair[0] < pair[1] and pair[::-1] in found):
        known = (a, b) in allowed
        failed |= not known
        print(f"\n{a} <-> {b}" + (" (allowed)" if known else ""))
        for line in found[(a, b)] + found[(b, a)]:
            print("   ", line)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
