#!/usr/bin/env bash
# The end-to-end suite.  A Windows test driver, built by the windows preset
# beside sound3d.exe, starts the program under Wine and works its dialog
# through window messages as a user's clicks and keys would; then it takes a
# picture of the playing dialog inside a Wine virtual desktop, where Wine
# draws the caption and frame.  One case runs apart under another locale.
#
#   cmake --workflow --preset windows && tests/e2e/run.sh [GoogleTest flags]
#
# Flags go to the main run, e.g. --gtest_filter='States.*'.  Exits
# non-zero on any failure.  Leaves the picture in build/windows/sound3d.png
# and copies it to docs/sound3d.png.  E2E_KEEP_TMP=1 keeps the captures and
# the reports (see wine_env.sh).  alsa-lib's "Cannot find rate converter"
# lines come from the case whose sound output fails on purpose.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=$repo/build/windows
driver=$build/sound3d_e2e.exe

for file in "$driver" "$build/sound3d.exe"; do
    if [[ ! -f $file ]]; then
        echo "run.sh: $file is missing; build it with: cmake --workflow --preset windows" >&2
        exit 2
    fi
done
for command in python3 convert mkfifo; do
    command -v "$command" >/dev/null || { echo "run.sh: missing command: $command" >&2; exit 2; }
done

# shellcheck source=tests/e2e/wine_env.sh
source "$here/wine_env.sh"
e2e_setup || exit 1
trap e2e_teardown EXIT

# The driver rewrites ALSA's configuration before each launch of the
# program, and holds a start with a FIFO as the capture file.
export E2E_ASOUNDRC=$HOME/.asoundrc
export E2E_FIFO=$E2E_TMP/start.fifo
mkfifo "$E2E_FIFO" || exit 1

wine_path() { printf 'Z:%s' "${1//\//\\}"; }

started=$SECONDS
failed=0
suites_report=$E2E_TMP/suites.xml
code_page_report=$E2E_TMP/code-page.xml
shot_report=$E2E_TMP/screenshot.xml
shot=$E2E_TMP/sound3d.bmp

E2E_TIMEOUT=900 e2e_wine "$driver" --gtest_filter='-Screenshot.*:OtherCodePage.*' \
    --gtest_output="xml:$(wine_path "$suites_report")" "$@" || failed=1

# Wine takes the ANSI code page from the Unix locale: C.UTF-8 gives one
# without Cyrillic.
LANG=C.UTF-8 LC_ALL=C.UTF-8 E2E_TIMEOUT=120 e2e_wine "$driver" \
    --gtest_filter='OtherCodePage.*' --gtest_output="xml:$(wine_path "$code_page_report")" ||
    failed=1

# explorer runs the driver in the virtual desktop and stays until the
# desktop's last program has ended, but it does not pass the driver's exit
# code on: the driver's report tells how the case went.
E2E_SCREENSHOT=$shot E2E_TIMEOUT=120 e2e_wine explorer /desktop=sound3d-e2e,640x480 \
    "$(wine_path "$driver")" --gtest_filter='Screenshot.*' \
    --gtest_output="xml:$(wine_path "$shot_report")" || failed=1

if [[ -f $shot ]]; then
    # Stripped of dates, so that an unchanged picture gives the same file.
    if convert "$shot" -strip "$build/sound3d.png"; then
        mkdir -p "$repo/docs" && cp "$build/sound3d.png" "$repo/docs/sound3d.png"
        echo "screenshot: $build/sound3d.png, copied to docs/sound3d.png"
    else
        echo "run.sh: converting the screenshot failed" >&2
        failed=1
    fi
fi

echo "e2e: took $((SECONDS - started)) s"
# One line for the three runs, counted from the reports: a run that died
# without one counts as failed.
python3 - "$suites_report" "$code_page_report" "$shot_report" <<'EOF' || failed=1
import sys
import xml.etree.ElementTree as ET

passed = failed = skipped = 0
for path in sys.argv[1:]:
    try:
        cases = ET.parse(path).getroot().iter("testcase")
    except (OSError, ET.ParseError) as error:
        print("run.sh: no report %s (%s)" % (path, error), file=sys.stderr)
        failed += 1
        continue
    for case in cases:
        if case.find("failure") is not None or case.find("error") is not None:
            failed += 1
        elif case.get("result") == "skipped" or case.find("skipped") is not None:
            skipped += 1
        else:
            passed += 1
print("e2e: %d passed, %d failed" % (passed, failed) + (", %d skipped" % skipped if skipped else ""))
sys.exit(1 if failed or not passed else 0)
EOF
exit "$failed"
