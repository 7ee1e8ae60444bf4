#!/usr/bin/env bash
# Builds the native Linux program and starts it. It needs a display and
# plays through whatever sound server the system has (PipeWire, PulseAudio or
# ALSA).
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh

install_missing cmake make g++ python3 "${LINUX_PACKAGES[@]}"
install_missing "${ICON_PACKAGES[@]}"
cmake --preset linux -DBUILD_TESTING=OFF
cmake --build --preset linux --target sound3d
exec build/linux/sound3d
