#!/usr/bin/env bash
# Measures every choice of the dialog: the table in bench/choices/results.md
# and the picture in docs/choices.png. BUILD_DIR chooses the build directory.
set -euo pipefail
cd "$(dirname "$0")/../.."
source tools/deps.sh
install_missing "${BUILD_PACKAGES[@]}" "${LINUX_PACKAGES[@]}" python3-matplotlib python3-numpy
install_missing "${ICON_PACKAGES[@]}"
# Debian's matplotlib belongs to Debian's interpreter, whatever python3 is first on PATH.
exec /usr/bin/python3 bench/choices/measure_choices.py "$@"
