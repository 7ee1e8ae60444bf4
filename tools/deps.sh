# Installs the Debian packages named as arguments when any is missing.
# Sourced by the run and test scripts.
install_missing() {
    local missing=()
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" ||
            missing+=("$package")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "installing: ${missing[*]}"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

# googletest: its sources, cross-built into the end-to-end driver.
BUILD_PACKAGES=(cmake make g++ python3 clang-format libgtest-dev googletest g++-mingw-w64-x86-64
                binutils-mingw-w64-x86-64)
WINE_PACKAGES=(wine wine64 locales fonts-wine)
# The native Linux program: Qt 6 Widgets for the dialog, OpenAL Soft and its
# HRTF data for the 3D rendering, SDL2 for the sound output; a font for Qt
# and Xvfb for the tests of the dialog and its picture.
LINUX_PACKAGES=(qt6-base-dev qt6-qpa-plugins libopenal-dev libopenal-data libsdl2-dev
                fonts-dejavu-core)
# The picture of the Linux dialog: a virtual X server with a small window
# manager that draws the caption, keys sent to the dialog, and a capture.
SCREENSHOT_PACKAGES=(xvfb openbox xdotool imagemagick)
# The tests on real sound servers: a private PulseAudio and a private
# PipeWire (with its session manager, PulseAudio service and a session bus),
# libpulse to record the sinks. dbus-x11 and JACK's library are what a
# desktop has and what the installed program, run by the package test on
# PulseAudio, must not set off: a session bus started for it, files in /dev/shm.
SERVER_PACKAGES=(pulseaudio pulseaudio-utils libpulse-dev pipewire wireplumber pipewire-pulse
                 dbus dbus-x11 libjack-jackd2-0 procps)
# The end-to-end suite: Wine on a virtual X server, ImageMagick for the
# screenshot.
E2E_PACKAGES=("${WINE_PACKAGES[@]}" xvfb imagemagick)
# The Linux benchmarks (with LINUX_PACKAGES): Xvfb, the X libraries of the
# launch watcher, and a private PulseAudio whose sink's monitor parec records.
BENCH_PACKAGES=(xvfb pkgconf libx11-dev libxdamage1 pulseaudio pulseaudio-utils)

# What a screen reader meets: the accessibility bus and its Python client,
# and xdotool for the keys.
SCREEN_READER_PACKAGES=(at-spi2-core python3-pyatspi dbus xvfb xdotool)
# The desktop program: rsvg-convert draws the icon for both builds; the
# package check runs lintian, the desktop-entry and AppStream validators and
# the unpacked program under openbox on a virtual X server.
ICON_PACKAGES=(librsvg2-bin)
PACKAGE_CHECK_PACKAGES=(lintian desktop-file-utils appstream dpkg-dev openbox xvfb xdotool x11-utils)
# The program on Wayland: a headless sway (wlroots) with swaymsg to read its
# windows, wtype for the keys, Qt's Wayland platform, and what the screen
# reader and the sound check there need besides.
WAYLAND_PACKAGES=(sway wtype qt6-wayland util-linux at-spi2-core python3-pyatspi dbus
                  pulseaudio pulseaudio-utils)

# Wine reads the ANSI code page from the locale: Russian gives 1251.
ensure_russian_locale() {
    if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
        sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
        grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' >> /etc/locale.gen
        locale-gen >/dev/null
    fi
}
