#!/usr/bin/env bash
# The end-to-end suite: a Windows test driver, built by the windows preset
# beside sound3d.exe, starts the program under Wine and works its dialog
# through window messages.  Two runs: under ru_RU.UTF-8, then under
# C.UTF-8, whose ANSI code page has no Cyrillic.
#
#   cmake --workflow --preset windows && tests/e2e/run.sh [GoogleTest flags]
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$here/../../build/windows
[[ -f $build/sound3d_e2e.exe && -f $build/sound3d.exe ]] ||
    { echo "run.sh: build it first: cmake --workflow --preset windows" >&2; exit 2; }
# The icon, read back from the executable: one group of 16, 32, 48 and 256
# (written as 0) pixels, in octal as windres prints them.
icon=$(x86_64-w64-mingw32-windres -i "$build/sound3d.exe" -O rc |
       sed -n '/^100 14 /,/^END/s/^ *"\\\([0-7]*\)\\.*/\1/p' | tr '\n' ' ')
[[ $icon == "020 040 060 000 " ]] || { echo "run.sh: sound3d.exe's icon sizes: $icon" >&2; exit 1; }
# Hardened: loaded anywhere (with high entropy), no code run from data, and
# the stack protector built in.
traits="$(x86_64-w64-mingw32-objdump -p "$build/sound3d.exe" | grep -E '^\s+[A-Z_]+$' | tr -d ' \t' | sort | tr '\n' ' ')"
traits+=$(x86_64-w64-mingw32-nm "$build/sound3d.exe" | grep -o ' T __stack_chk_fail$')
[[ $traits == "DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT  T __stack_chk_fail" ]] ||
    { echo "run.sh: sound3d.exe is not hardened: $traits" >&2; exit 1; }
# shellcheck source=harness/wine_env.sh
source "$here/../../harness/wine_env.sh"
e2e_setup || exit 1
trap e2e_teardown EXIT
report() { printf -- '--gtest_output=xml:Z:%s' "${E2E_TMP//\//\\}\\$1.xml"; }

E2E_CODE_PAGE=1251 E2E_TIMEOUT=600 e2e_wine "$build/sound3d_e2e.exe" "$(report main)" "$@"
LANG=C.UTF-8 LC_ALL=C.UTF-8 E2E_CODE_PAGE=1252 e2e_wine "$build/sound3d_e2e.exe" \
    "$(report code-page)" "$@"
# The runs are judged by their reports, counted into one closing line: a run
# that left none (it crashed or timed out) counts as one failed case.
read -r passed failures < <(for name in main code-page; do
    grep -o -m1 '<testsuites tests="[0-9]*" failures="[0-9]*"' "$E2E_TMP/$name.xml" 2>/dev/null ||
        echo 'tests="1" failures="1"'
done | tr -dc '0-9 \n' | awk '{ passed += $1 - $2; failed += $2 } END { print passed, failed }')
echo "e2e: took $SECONDS s"
echo "e2e: $passed passed, $failures failed"
[[ $passed -gt 0 && $failures == 0 ]]
