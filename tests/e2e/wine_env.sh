# shellcheck shell=bash
# Headless Wine environment for the end-to-end suite.  Source this file, then:
#
#   e2e_setup || exit 1            # Xvfb, locale, temp HOME, Wine prefix
#   trap e2e_teardown EXIT
#   e2e_capture_to "$E2E_TMP/t1.wav"   # next Wine process records here
#   e2e_wine "$exe" args...        # run a Windows program, wait for it
#   python3 capture_stats.py "$E2E_TMP/t1.wav" 4800 --summary
#
# Also: e2e_wine_bg + e2e_wait PID (a program driven with xdotool meanwhile),
# e2e_no_audio (a machine without sound output), e2e_reset (kill whatever a
# test left running in the prefix).
#
# What it sets up:
#  * Xvfb on a display it picks itself, ended by its PID on teardown.
#  * ru_RU.UTF-8 (Wine then uses ANSI code page 1251 for the Russian texts).
#  * A temporary HOME whose .asoundrc makes ALSA's default pcm a `file`
#    plugin over `null`: whatever Wine plays lands in a WAV file, no sound
#    card needed.  Wine 8 writes float32 stereo at 48 kHz there, but
#    alsa-lib 1.2.8 labels it as 32-bit integer PCM in the header;
#    capture_stats.py detects that.  The null sink consumes data faster than
#    real time (2 s of playing gave ~7 s of audio), so judge a capture by the
#    order of its segments, not by its length.
#  * One Wine prefix, cached between runs (see SOUND3D_WINE_CACHE), and a
#    persistent wineserver: each program then starts in ~0.2 s instead of
#    ~1.2 s plus ~2 s for the server to linger and exit.
#
# How the capture file behaves (measured with Wine 8.0 and alsa-lib 1.2.8):
#  * Wine's ALSA driver runs inside each Windows process, and alsa-lib reads
#    .asoundrc when the process first touches ALSA, so rewriting .asoundrc
#    between two programs redirects the next one (e2e_capture_to).
#  * DirectSoundEnumerate only probes the pcm: no file is created.
#  * DirectSoundCreate opens the stream and creates (truncates) the file;
#    from then on Wine's mixer writes continuously, silence included, even
#    if no buffer ever plays.  Release of the last DirectSound object on the
#    device closes the stream and patches the WAV sizes.
#  * DirectSound objects alive at the same time share one device and one
#    stream.  But releasing the last one and creating another (the same
#    device again, or another one picked by GUID) in the same process
#    reopens the pcm and truncates the file: only the sound made after the
#    last (re)creation survives.  A test of switching devices can only
#    judge the sound after the last switch from the capture.
#  * A process killed while the device is open leaves a WAV whose size
#    fields are 0; capture_stats.py then reads to end of file.
#
# Without usable ALSA output (e2e_no_audio, or a default pcm naming a
# missing card or an unknown pcm), DirectSoundEnumerateA returns DS_OK and
# lists no device at all -- not even "Primary Sound Driver" -- and
# DirectSoundCreate(NULL) fails with E_INVALIDARG (0x80070057).  With the
# capture set up it lists "Primary Sound Driver" (GUID NULL, module "") and
# "Out: default" (module "winemm.vxd").
#
# Settings (environment):
#   SOUND3D_WINE_CACHE  directory for the reusable prefix
#                       (default ${XDG_CACHE_HOME:-$HOME/.cache}/sound3d-wine)
#   E2E_TIMEOUT         seconds a program may run under e2e_wine (default 120)
#   E2E_KEEP_TMP=1      keep the temporary directory (captures, logs)
#   E2E_LOCK_WAIT       seconds to wait for a prefix in use by another run
#                       (default 600)
#
# A run killed without teardown leaves its Xvfb and wineserver behind; the
# next e2e_setup on the same prefix ends them.

# Bump when the prefix settings below change, so cached prefixes are redone.
_E2E_PREFIX_SETTINGS=2
_E2E_XVFB_SCREEN=1280x1024x24

_e2e_log() { printf 'e2e: %s\n' "$*" >&2; }

_e2e_need() {
    local c
    for c in "$@"; do
        if ! command -v "$c" >/dev/null 2>&1; then
            _e2e_log "missing command: $c"
            return 1
        fi
    done
}

# Run a command without the prefix lock's descriptor, so that no Wine
# process (the persistent wineserver above all) keeps the lock alive after
# a runner that was killed outright.
_e2e_nolock() {
    if [[ -n ${E2E_LOCK_FD:-} ]]; then
        "$@" {E2E_LOCK_FD}>&-
    else
        "$@"
    fi
}

_e2e_ensure_locale() {
    if locale -a 2>/dev/null | grep -qiE '^ru_RU\.utf-?8$'; then
        return 0
    fi
    _e2e_log "generating ru_RU.UTF-8 locale"
    _e2e_need localedef || return 1
    localedef -i ru_RU -f UTF-8 ru_RU.UTF-8 ||
        { _e2e_log "localedef failed (needs root and package 'locales')"; return 1; }
}

_e2e_start_xvfb() {
    local fdfile="$E2E_TMP/xvfb.display" i
    # -displayfd lets Xvfb pick a free display itself: no race with other X
    # servers started at the same time.
    # Started directly (not through a function) so that $! is Xvfb itself.
    Xvfb -displayfd 3 -screen 0 "$_E2E_XVFB_SCREEN" -nolisten tcp -noreset \
        3>"$fdfile" >"$E2E_TMP/xvfb.log" 2>&1 {E2E_LOCK_FD}>&- &
    E2E_XVFB_PID=$!
    for ((i = 0; i < 100; i++)); do
        if [[ -s $fdfile ]]; then
            DISPLAY=":$(tr -dc 0-9 <"$fdfile")"
            export DISPLAY
            return 0
        fi
        kill -0 "$E2E_XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    _e2e_log "Xvfb did not start; log:"
    cat "$E2E_TMP/xvfb.log" >&2
    return 1
}

# Point ALSA's default pcm at a WAV file (removed first, so a program that
# never opens a device leaves no file).  Affects programs started afterwards.
e2e_capture_to() {
    local path=$1
    [[ -n $path ]] || { _e2e_log "e2e_capture_to: path required"; return 1; }
    [[ $path == /* ]] || path="$PWD/$path"
    [[ $path != *'"'* && $path != *\\* ]] ||
        { _e2e_log "e2e_capture_to: quotes and backslashes not allowed"; return 1; }
    rm -f -- "$path"
    cat >"$HOME/.asoundrc" <<EOF
pcm.!default {
    type file
    slave.pcm "null"
    file "$path"
    format "wav"
}
EOF
    E2E_CAPTURE=$path
    export E2E_CAPTURE
}

# A machine without sound output: the default pcm is a card that does not
# exist.  Affects programs started afterwards.
e2e_no_audio() {
    cat >"$HOME/.asoundrc" <<'EOF'
pcm.!default {
    type hw
    card 7
}
ctl.!default {
    type hw
    card 7
}
EOF
    E2E_CAPTURE=
    export E2E_CAPTURE
}

# Run a Windows program and wait for it; its exit code is returned, 124 if
# it ran longer than E2E_TIMEOUT (it is killed then).  The Wine loader runs
# the program in its own process, so the signal reaches the program itself.
# When this returns the program's pcm is closed and its capture complete.
e2e_wine() {
    _e2e_nolock timeout -k 5 "${E2E_TIMEOUT:-120}" wine "$@"
}

# The same in the background.  E2E_PID is the PID of the `timeout` around
# it (signals sent there reach the program); collect it with e2e_wait.
e2e_wine_bg() {
    # Not through _e2e_nolock: $! must be timeout itself, not a subshell.
    if [[ -n ${E2E_LOCK_FD:-} ]]; then
        timeout -k 5 "${E2E_TIMEOUT:-120}" wine "$@" {E2E_LOCK_FD}>&- &
    else
        timeout -k 5 "${E2E_TIMEOUT:-120}" wine "$@" &
    fi
    # shellcheck disable=SC2034  # for the caller
    E2E_PID=$!
}

# e2e_wait PID [SECONDS]: wait for a program started with e2e_wine_bg; kill
# it after SECONDS (whole, default 30) and return 124.  Otherwise its exit
# code.
e2e_wait() {
    local pid=$1 limit=${2:-30} i
    for ((i = 0; i < limit * 10; i++)); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        return 124
    fi
    wait "$pid"
}

# Kill every process in the prefix (a test left a window open, say) and
# start a fresh persistent wineserver.
e2e_reset() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    _e2e_start_wineserver
}

_e2e_start_wineserver() {
    # Persistent: the server and Wine's services stay up between programs.
    _e2e_nolock wineserver -p || return 1
    # Start the services now rather than inside the first test's timing.
    _e2e_nolock wine cmd.exe /c exit >/dev/null 2>&1 ||
        { _e2e_log "Wine cannot start a program in $WINEPREFIX"; return 1; }
}

_e2e_prefix_ready() {
    [[ -f $WINEPREFIX/system.reg && -f $WINEPREFIX/.sound3d-ready ]] &&
        [[ $(cat "$WINEPREFIX/.sound3d-ready") == "$_E2E_PREFIX_SETTINGS" ]]
}

# Find the prefix, take it exclusively, and clear what a run that died
# without teardown left behind.
_e2e_lock_prefix() {
    local version pid tmp
    E2E_CACHE=${SOUND3D_WINE_CACHE:-${XDG_CACHE_HOME:-$E2E_REAL_HOME/.cache}/sound3d-wine}
    # One prefix per Wine version: wineboot would otherwise upgrade a prefix
    # made by another version on every switch, at the full cost.
    version=$(wine --version 2>/dev/null |
        sed -e 's/[^A-Za-z0-9.]\{1,\}/-/g' -e 's/^-//' -e 's/-$//')
    [[ -n $version ]] || { _e2e_log "wine --version failed"; return 1; }
    mkdir -p "$E2E_CACHE" || return 1
    WINEPREFIX="$E2E_CACHE/prefix-$version"
    export WINEPREFIX

    # Two suite runs on one machine would share the prefix's wineserver and
    # kill each other's programs: take the prefix exclusively.  No Wine
    # process inherits the lock, so a runner killed outright frees it.
    exec {E2E_LOCK_FD}>"$WINEPREFIX.lock" || return 1
    if ! flock -w "${E2E_LOCK_WAIT:-600}" "$E2E_LOCK_FD"; then
        _e2e_log "prefix $WINEPREFIX is busy"
        exec {E2E_LOCK_FD}>&-
        E2E_LOCK_FD=
        return 1
    fi
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    # The Xvfb and temporary directory of such a run were recorded, and
    # teardown removes the record.  Name and arguments of the process must
    # still match, against PID reuse.
    if [[ -f $WINEPREFIX.xvfb ]]; then
        { read -r pid; read -r tmp; } <"$WINEPREFIX.xvfb"
        if [[ $tmp == */sound3d-e2e.* && -d $tmp ]]; then
            rm -rf -- "$tmp"
        fi
        if [[ $pid =~ ^[0-9]+$ && $(cat "/proc/$pid/comm" 2>/dev/null) == Xvfb ]] &&
            tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null |
            grep -q -- "-displayfd 3 -screen 0 $_E2E_XVFB_SCREEN "; then
            _e2e_log "stopping Xvfb $pid left by an earlier run"
            _e2e_stop_pid "$pid"
        fi
        rm -f -- "$WINEPREFIX.xvfb"
    fi
}

_e2e_prepare_prefix() {
    local key name type data
    if ! _e2e_prefix_ready; then
        # Absent, half-built by an interrupted run, or older settings.
        _e2e_log "creating Wine prefix $WINEPREFIX (takes up to a minute)"
        rm -rf -- "$WINEPREFIX"
        WINEARCH=win64 _e2e_nolock wineboot -i >"$E2E_TMP/wineboot.log" 2>&1 ||
            { _e2e_log "wineboot failed; see $E2E_TMP/wineboot.log"; return 1; }
        wineserver -w
        # No window manager under Xvfb: unmanaged windows close at once
        # (managed ones cost ~2 s per closed message box).  A crash must
        # fail the test, not wait forever for a click on the crash dialog.
        # ALSA only: the capture plugin is where every program must play,
        # and no time goes into probing PulseAudio.
        local key_val
        for key_val in 'X11 Driver|Managed|REG_SZ|N' \
                       'WineDbg|ShowCrashDialog|REG_DWORD|0' \
                       'Drivers|Audio|REG_SZ|alsa'; do
            IFS='|' read -r key name type data <<<"$key_val"
            if ! _e2e_nolock wine reg add "HKCU\\Software\\Wine\\$key" \
                    /v "$name" /t "$type" /d "$data" /f >/dev/null; then
                _e2e_log "wine reg add $key $name failed"
                return 1
            fi
        done
        wineserver -w
        # Debian's Wine 8 does not find its own fonts where fonts-wine puts
        # them: without them "MS Sans Serif" falls back to another face and
        # captions draw their buttons as the letters of the missing Marlett.
        # The prefix's Fonts folder is always searched.
        local font
        for font in /usr/share/wine/fonts/*; do
            [[ -f $font ]] || continue
            ln -sf "$font" "$WINEPREFIX/drive_c/windows/Fonts/" ||
                { _e2e_log "cannot link $font into the prefix"; return 1; }
        done
        echo "$_E2E_PREFIX_SETTINGS" >"$WINEPREFIX/.sound3d-ready"
    fi
    _e2e_start_wineserver
}

e2e_setup() {
    if [[ -n ${E2E_TMP:-} ]]; then
        _e2e_log "e2e_setup: already set up"
        return 0
    fi
    _e2e_need Xvfb wine wineserver wineboot flock locale timeout || return 1
    E2E_REAL_HOME=${E2E_REAL_HOME:-$HOME}
    E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/sound3d-e2e.XXXXXX") || { E2E_TMP=; return 1; }
    export E2E_TMP E2E_REAL_HOME

    _e2e_ensure_locale || { e2e_teardown; return 1; }
    _e2e_lock_prefix || { e2e_teardown; return 1; }
    _e2e_start_xvfb || { e2e_teardown; return 1; }
    printf '%s\n%s\n' "$E2E_XVFB_PID" "$E2E_TMP" >"$WINEPREFIX.xvfb"

    # A private HOME keeps .asoundrc (and whatever Wine drops into HOME)
    # away from the user's own.
    HOME="$E2E_TMP/home"
    mkdir -p "$HOME"
    export HOME
    export LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
    export WINEDEBUG=-all
    # No Mono/Gecko install prompts (nothing to download here anyway), no
    # menu entries written into HOME.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    unset WINEARCH WINELOADER
    e2e_capture_to "$E2E_TMP/capture.wav"

    _e2e_prepare_prefix || { e2e_teardown; return 1; }
}

# TERM, then KILL if still there after 5 s.  Polls /proc rather than only
# `wait`ing, which works just for children of this very shell.
_e2e_stop_pid() {
    local pid=$1 i state
    kill "$pid" 2>/dev/null || return 0
    for ((i = 0; i < 50; i++)); do
        state=$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null) || break
        [[ $state == Z ]] && break
        sleep 0.1
    done
    if [[ -n $state && $state != Z ]] && [[ -e /proc/$pid ]]; then
        _e2e_log "pid $pid ignored SIGTERM; killing"
        kill -9 "$pid" 2>/dev/null
    fi
    wait "$pid" 2>/dev/null
    return 0
}

# Safe to call twice (EXIT trap plus an explicit call).
e2e_teardown() {
    # Only while we hold the prefix lock: after that the prefix may already
    # belong to another run.
    if [[ -n ${E2E_LOCK_FD:-} && -n ${WINEPREFIX:-} ]]; then
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
    fi
    if [[ -n ${E2E_XVFB_PID:-} ]]; then
        _e2e_stop_pid "$E2E_XVFB_PID"
        E2E_XVFB_PID=
    fi
    if [[ -n ${E2E_LOCK_FD:-} ]]; then
        rm -f -- "$WINEPREFIX.xvfb"
        exec {E2E_LOCK_FD}>&-
        E2E_LOCK_FD=
    fi
    if [[ -n ${E2E_TMP:-} ]]; then
        if [[ -n ${E2E_KEEP_TMP:-} ]]; then
            _e2e_log "kept $E2E_TMP"
        else
            rm -rf -- "$E2E_TMP"
        fi
    fi
    if [[ -n ${E2E_REAL_HOME:-} ]]; then
        HOME=$E2E_REAL_HOME
        export HOME
    fi
    unset WINEPREFIX DISPLAY E2E_TMP E2E_CAPTURE
    return 0
}
