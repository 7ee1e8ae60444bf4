#!/usr/bin/env python3
"""Plants one-line faults in the product code and counts those the tests catch.

Works on a private copy of the checkout (the tracked files, as they are in the
work tree), so the real tree and its build directories are never touched:

  tools/mutate.py --preset native --paths app playback --count 60 --seed 1
  tools/mutate.py --preset linux --paths platform/linux --count 60 --seed 1 \
      --ctest-args='-E ProgramCycles'

Each mutant changes one line of a C++ source under the given paths (a
comparison, a logical or arithmetic operator, a constant, a boolean, or a
removed call). A mutant that does not compile is not counted. One whose tests
fail (or time out) is caught; one whose tests pass survived and is listed.
"""
import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

SOURCE_SUFFIXES = (".cpp", ".cc", ".h")

# (pattern, replacement) pairs; each is tried at one of its matches.
OPERATORS = [
    (r"(?<![<>=!])==(?!=)", "!="),
    (r"!=", "=="),
    (r"(?<![<>=-])<(?![<=])", "<="),
    (r"<=", "<"),
    (r"(?<![<>=-])>(?![>=])", ">="),
    (r">=", ">"),
    (r"&&", "||"),
    (r"\|\|", "&&"),
    (r"(?<![+])\+(?![+=])", "-"),
    (r"(?<![-])-(?![->=])", "+"),
    (r"\btrue\b", "false"),
    (r"\bfalse\b", "true"),
    (r"\bTRUE\b", "FALSE"),
    (r"\bFALSE\b", "TRUE"),
    (r"(?<![\w.])(\d+)(?![\w.])", "NUMBER"),
]


def is_candidate(line):
    text = line.strip()
    if not text or text.startswith(("//", "#", "*", "/*")):
        return False
    return text not in ("{", "}", "};", "public:", "private:", "protected:")


def mutations(line):
    """Every single-change variant of one line of code."""
    code, _, _comment = line.partition("//")
    if code.count('"') % 2 == 0:
        # Leave string literals alone: their text is not logic.
        masked = re.sub(r'"(?:\\.|[^"\\])*"', lambda m: "\0" * len(m.group(0)), code)
    else:
        return []
    variants = []
    for pattern, replacement in OPERATORS:
        for match in re.finditer(pattern, masked):
            if "\0" in masked[match.start():match.end()]:
                continue
            if replacement == "NUMBER":
                value = int(match.group(1))
                new = str(value + 1 if value != 1 else 0)
            else:
                new = replacement
            variants.append(code[:match.start()] + new + code[match.end():] +
                            line[len(code):])
    stripped = code.strip()
    # A whole call statement left out.
    if re.match(r"^[\w:.>\-\[\]()]+\(.*\);$", stripped) and not stripped.startswith("return"):
        indent = code[:len(code) - len(code.lstrip())]
        variants.append(indent + ";" + line[len(code):] if line.endswith("\n") else indent + ";")
    return variants


def tracked_files(root):
    out = subprocess.run(["git", "ls-files", "-z"], cwd=root, check=True,
                         capture_output=True).stdout
    return [name for name in out.decode().split("\0") if name]


def copy_tree(root, target):
    for name in tracked_files(root):
        source = os.path.join(root, name)
        if not os.path.isfile(source):
            continue
        destination = os.path.join(target, name)
        os.makedirs(os.path.dirname(destination), exist_ok=True)
        shutil.copy2(source, destination)


def run(command, cwd, timeout):
    try:
        return subprocess.run(command, cwd=cwd, shell=True, capture_output=True,
                              timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return "timeout"


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--preset", required=True, help="CMake configure preset to build")
    parser.add_argument("--paths", nargs="+", required=True,
                        help="folders or files whose C++ lines are mutated")
    parser.add_argument("--count", type=int, default=60, help="mutants that compile")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--ctest-args", default="", help="extra arguments for ctest")
    parser.add_argument("--timeout", type=int, default=300, help="seconds per test run")
    parser.add_argument("--keep", action="store_true", help="keep the private copy")
    args = parser.parse_args()

    root = subprocess.run(["git", "rev-parse", "--show-toplevel"], check=True,
                          capture_output=True, text=True).stdout.strip()
    work = tempfile.mkdtemp(prefix="mutate-")
    copy_tree(root, work)
    build = os.path.join(work, "build", "mutate")
    jobs = "-j2"
    print(f"mutate: building a private copy in {work}", file=sys.stderr)
    if run(f"cmake --preset {args.preset} -B {build} >/dev/null && "
           f"cmake --build {build} {jobs} >/dev/null", work, 1800) != 0:
        print("mutate: the unmutated copy does not build", file=sys.stderr)
        return 2
    test = f"ctest --test-dir {build} {args.ctest_args} >/dev/null 2>&1"
    if run(test, work, args.timeout) != 0:
        print("mutate: the tests fail without any mutant", file=sys.stderr)
        return 2

    candidates = []
    for name in tracked_files(root):
        if not name.endswith(SOURCE_SUFFIXES):
            continue
        if not any(name == p.rstrip("/") or name.startswith(p.rstrip("/") + "/")
                   for p in args.paths):
            continue
        with open(os.path.join(work, name), encoding="utf-8") as handle:
            for number, line in enumerate(handle, 1):
                if is_candidate(line):
                    for variant in mutations(line):
                        candidates.append((name, number, line, variant))
    random.Random(args.seed).shuffle(candidates)

    caught, survivors, stillborn = 0, [], 0
    tried = 0
    for name, number, line, variant in candidates:
        if tried >= args.count:
            break
        path = os.path.join(work, name)
        with open(path, encoding="utf-8") as handle:
            lines = handle.readlines()
        lines[number - 1] = variant
        with open(path, "w", encoding="utf-8") as handle:
            handle.writelines(lines)
        try:
            if run(f"cmake --build {build} {jobs} >/dev/null 2>&1", work, 900) != 0:
                stillborn += 1
                continue
            tried += 1
            result = run(test, work, args.timeout)
            label = f"{name}:{number}: {line.strip()}  ->  {variant.strip()}"
            if result == 0:
                survivors.append(label)
                print(f"survived {label}", flush=True)
            else:
                caught += 1
                print(f"caught   {label}", flush=True)
        finally:
            lines[number - 1] = line
            with open(path, "w", encoding="utf-8") as handle:
                handle.writelines(lines)
    if tried:
        print(f"mutate: {caught} of {tried} caught ({100.0 * caught / tried:.0f}%), "
              f"{stillborn} did not compile")
    for label in survivors:
        print(f"  survivor {label}")
    if not args.keep:
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
