# shellcheck shell=bash
# Headless Wine for the end-to-end suite and the benchmarks.  Source it, then
#
#   e2e_setup || exit 1; trap e2e_teardown EXIT
#   E2E_TIMEOUT=120 e2e_wine program.exe args...   # waits; 124 on a timeout
#
# Sets up Xvfb, ru_RU.UTF-8 (Wine then takes code page 1251), a private HOME
# whose .asoundrc ($E2E_ASOUNDRC) turns ALSA's default pcm into a WAV file
# (Wine writes float32 stereo at 48 kHz there, faster than real time), and a
# Wine prefix per Wine version cached in SOUND3D_WINE_CACHE (default
# ~/.cache/sound3d-wine), held exclusively, with a persistent wineserver: a
# program then starts in ~0.2 s, not ~3 s.  E2E_KEEP_TMP=1 keeps $E2E_TMP.

_E2E_SETTINGS=2  # bump when the prefix settings below change

# No Wine process keeps the prefix lock, so a runner killed outright frees it.
_e2e_free() { "$@" {E2E_LOCK_FD}>&-; }
e2e_wine() { _e2e_free timeout -k 5 "${E2E_TIMEOUT:-120}" wine "$@"; }

_e2e_make_prefix() {
    [[ $(cat "$WINEPREFIX/.sound3d-ready" 2>/dev/null) == "$_E2E_SETTINGS" ]] && return 0
    echo "e2e: creating Wine prefix $WINEPREFIX (takes up to a minute)" >&2
    rm -rf -- "$WINEPREFIX"
    WINEARCH=win64 _e2e_free wineboot -i >"$E2E_TMP/wineboot.log" 2>&1 && wineserver -w || return 1
    # Unmanaged windows, as no window manager runs; a crash fails the case
    # instead of waiting on the crash dialog; ALSA alone, where the capture is.
    _e2e_free wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f &&
        _e2e_free wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f &&
        _e2e_free wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f >/dev/null || return 1
    # Debian's Wine does not find the fonts of fonts-wine ("MS Sans Serif",
    # Marlett for the caption buttons); the prefix's Fonts folder is searched.
    wineserver -w && ln -sf /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" &&
        echo "$_E2E_SETTINGS" >"$WINEPREFIX/.sound3d-ready"
}

_e2e_setup() {
    local cache=${SOUND3D_WINE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/sound3d-wine}
    mkdir -p "$cache" "$E2E_TMP/home" && exec {E2E_LOCK_FD}>"$cache/lock" || return 1
    flock -w 600 "$E2E_LOCK_FD" || { echo "e2e: $cache is busy" >&2; return 1; }
    local version && version=$(wine --version | tr -cs 'A-Za-z0-9.' -) || return 1
    export WINEPREFIX=$cache/prefix-${version%-}
    # Directly, not through a function, so that $! is Xvfb itself.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$E2E_TMP/display" \
        >"$E2E_TMP/xvfb.log" 2>&1 {E2E_LOCK_FD}>&- &
    E2E_XVFB_PID=$!
    for _ in {1..100}; do [[ -s $E2E_TMP/display ]] || sleep 0.1; done
    [[ -s $E2E_TMP/display ]] || { echo "e2e: Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$(tr -dc 0-9 <"$E2E_TMP/display")" HOME=$E2E_TMP/home WINEDEBUG=-all \
        LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 E2E_ASOUNDRC=$E2E_TMP/home/.asoundrc
    # No Mono or Gecko prompts, no menu entries.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    printf 'pcm.!default { type file slave.pcm null file "%s" format wav }\n' \
        "$E2E_TMP/capture.wav" >"$E2E_ASOUNDRC"
    wineserver -k 2>/dev/null
    _e2e_make_prefix || { echo "e2e: no Wine prefix; see $E2E_TMP/wineboot.log" >&2; return 1; }
    _e2e_free wineserver -p && _e2e_free wine cmd.exe /c exit >/dev/null 2>&1
}

e2e_setup() {
    E2E_REAL_HOME=$HOME
    export E2E_TMP && E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/sound3d-e2e.XXXXXX") || return 1
    _e2e_setup || { e2e_teardown; return 1; }
}

# Safe to call twice (an EXIT trap after an explicit call).
e2e_teardown() {
    if [[ -n ${E2E_LOCK_FD:-} ]]; then wineserver -k 2>/dev/null || true; exec {E2E_LOCK_FD}>&-; fi
    if [[ -n ${E2E_XVFB_PID:-} ]]; then kill "$E2E_XVFB_PID" && wait "$E2E_XVFB_PID" 2>/dev/null || true; fi
    if [[ -n ${E2E_TMP:-} && -z ${E2E_KEEP_TMP:-} ]]; then rm -rf -- "$E2E_TMP"; fi
    export HOME=${E2E_REAL_HOME:-$HOME}
    unset E2E_LOCK_FD E2E_XVFB_PID E2E_TMP
}
