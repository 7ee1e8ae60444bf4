#!/usr/bin/env bash
# Builds the Windows program, sound3d.exe, and starts it under Wine with a
# Russian locale.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh

install_missing "${BUILD_PACKAGES[@]}" "${WINE_PACKAGES[@]}"
install_missing "${ICON_PACKAGES[@]}"
ensure_russian_locale
cmake --workflow --preset windows
LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 WINEDEBUG=-all wine build/windows/sound3d.exe
