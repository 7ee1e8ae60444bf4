#!/usr/bin/env python3
"""Counts the test code against the product code, in lines that are neither
blank nor only a comment, over the tracked C, C++, Python and shell files.

  tools/count_lines.py            # totals and the ratio
  tools/count_lines.py tests/e2e  # one folder's files, each with its count
"""
import subprocess
import sys

SUFFIXES = (".c", ".cc", ".cpp", ".h", ".hpp", ".py", ".sh")
HASH_COMMENTS = (".py", ".sh")
NOT_PRODUCT = ("tests/", "bench/", "tools/")


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
    tests = sum(code_lines(name) for name in files if name.startswith("tests/"))
    product = sum(code_lines(name) for name in files if not name.startswith(NOT_PRODUCT))
    print(f"test code {tests}, product code {product}, ratio {tests / product:.2f}")


if __name__ == "__main__":
    main()
