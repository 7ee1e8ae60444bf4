#!/usr/bin/env bash
# Builds everything and runs every test: the unit tests natively, the native
# Linux program with the tests of its layers, on real sound servers and as
# its Debian package, then the Windows program and the end-to-end suite
# under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh

install_missing "${BUILD_PACKAGES[@]}" "${LINUX_PACKAGES[@]}" "${SERVER_PACKAGES[@]}" \
    "${E2E_PACKAGES[@]}" "${ICON_PACKAGES[@]}" "${PACKAGE_CHECK_PACKAGES[@]}" \
    "${SCREEN_READER_PACKAGES[@]}" "${WAYLAND_PACKAGES[@]}"
ensure_russian_locale
# Every C++ file in the house style of .clang-format.
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
cmake --workflow --preset native
cmake --workflow --preset linux
cmake --workflow --preset windows
tests/e2e/run.sh
