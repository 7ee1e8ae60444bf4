#!/usr/bin/env python3
"""Counts the code lines (neither blank nor only a comment) of the tracked C,
C++, Python and shell files, and the tests' share of all of it.

The product is what ships: app/, playback/, platform/, resources/ and the
build-time generators in tools/generate/, whose output ships. The tests are
tests/. The harness the tests share with bench/ and tools/ (harness/), the
benchmarks and the other tools are neither.

  tools/count_lines.py            # each folder's count, the totals and the share
  tools/count_lines.py tests/e2e  # one folder's files, each with its count
"""
import subprocess
import sys

SUFFIXES = (".c", ".cc", ".cpp", ".h", ".hpp", ".py", ".sh")
HASH_COMMENTS = (".py", ".sh")
PRODUCT = ("app/", "playback/", "platform/linux/sound/", "platform/linux/window/",
           "platform/linux/", "platform/", "resources/", "tools/generate/")
TESTS = ("tests/",)


def code_lines(path):
    count = 0
    in_block = False
    with open(path, encoding="utf-8", errors="replace") as handle:
        for line in handle:
            text = line.strip()
            if not text:
                continue
            if path.endswith(HASH_COMMENTS):
                if text.startswith("#"):
                    continue
            elif in_block:
                in_block = "*/" not in text
                continue
            elif text.startswith("//"):
                continue
            elif text.startswith("/*"):
                in_block = "*/" not in text
                continue
            count += 1
    return count


def folder_of(name, folders):
    """The deepest of the folders that holds the file, or None."""
    return next((f for f in sorted(folders, key=len, reverse=True) if name.startswith(f)), None)


def main():
    files = subprocess.run(["git", "ls-files"], check=True, capture_output=True,
                           text=True).stdout.split()
    files = [name for name in files if name.endswith(SUFFIXES)]
    if len(sys.argv) > 1:
        folder = sys.argv[1].rstrip("/") + "/"
        for name in files:
            if name.startswith(folder):
                print(f"{code_lines(name):6} {name}")
        return
    counts = {}
    for name in files:
        folder = folder_of(name, PRODUCT + TESTS)
        if folder:
            counts[folder] = counts.get(folder, 0) + code_lines(name)
    for folder in PRODUCT + TESTS:
        nested = any(other != folder and other.startswith(folder) for other in PRODUCT)
        print(f"{counts.get(folder, 0):6} {folder}{' (its other files)' if nested else ''}")
    product = sum(counts.get(f, 0) for f in PRODUCT)
    tests = sum(counts.get(f, 0) for f in TESTS)
    print(f"product {product}, tests {tests}: tests are {100 * tests / (product + tests):.1f}% "
          f"of the code (the rule: 25-33%)")


if __name__ == "__main__":
    main()
