#!/bin/bash
# Session round trip in Ardour 7 (headless, via ardour7-lua):
# create a session with the plug-in, set distinctive values, save, close,
# reopen in a new process and check the values came back.
#
#   ardour-session-check.sh <lv2-bundle-dir> [<vst3-bundle>]
#
# Exit 0 on success, 1 on failure, 77 when ardour7-lua or jackd is missing or
# no JACK server can run on this machine.
# Uses a private JACK server with the dummy driver (no sound card needed),
# a throw-away HOME for Ardour's configuration and plug-in cache, and stops
# everything it started.

set -u

LV2_BUNDLE=${1:-}
VST3_BUNDLE=${2:-}
URI="https://zelkoradsp.com/plugins/ZelkoraPelorin"
NAMES="wetDry rate depth feedback manual Mode"
declare -A TARGET=([wetDry]=0.25 [rate]=0.8 [depth]=0.3 [feedback]=0.7 [manual]=0.6 [Mode]=0.5454545)
TOL=0.0001
ARDOUR_TIMEOUT=${ZP_ARDOUR_TIMEOUT:-120}
HERE=$(cd "$(dirname "$0")" && pwd)

if [ -z "$LV2_BUNDLE" ]; then
    echo "usage: $0 <lv2-bundle-dir> [<vst3-bundle>]" >&2
    exit 2
fi
for tool in ardour7-lua jackd timeout; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
if [ ! -f "$LV2_BUNDLE/manifest.ttl" ]; then
    echo "FAIL: $LV2_BUNDLE is not an LV2 bundle (no manifest.ttl)" >&2
    exit 1
fi
# Build systems may hand over ".../x.vst3/Contents/x86_64-linux/../..".
[ -n "$VST3_BUNDLE" ] && [ -d "$VST3_BUNDLE" ] && VST3_BUNDLE=$(cd "$VST3_BUNDLE" && pwd)
if [ -n "$VST3_BUNDLE" ] && [ ! -d "$VST3_BUNDLE/Contents" ]; then
    echo "FAIL: $VST3_BUNDLE is not a VST3 bundle" >&2
    exit 1
fi

WORK=$(mktemp -d "${TMPDIR:-/tmp}/zp-ardour.XXXXXX")
JACK_PID=""
JACK_NAME="zp-ardour-$$"

cleanup() {
    if [ -n "$JACK_PID" ] && kill -0 "$JACK_PID" 2>/dev/null; then
        kill "$JACK_PID" 2>/dev/null
        for _ in $(seq 50); do kill -0 "$JACK_PID" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$JACK_PID" 2>/dev/null
    fi
    if [ -n "${ZP_KEEP_WORKDIR:-}" ]; then
        echo "work directory kept: $WORK"
    else
        rm -rf "$WORK"
    fi
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# A private, named server: other sessions on a shared server (or a server
# someone restarts) cannot disturb the check, and ours goes away with us.
start_jack() {
    JACK_NO_AUDIO_RESERVATION=1 jackd --no-realtime -n "$JACK_NAME" -d dummy -r 48000 -p 1024 \
        >"$WORK/jackd.log" 2>&1 &
    JACK_PID=$!
    for _ in $(seq 50); do
        if ! kill -0 "$JACK_PID" 2>/dev/null; then
            # A machine that cannot run a JACK server cannot run the host;
            # that says nothing about the plug-in, so the check is skipped.
            echo "SKIP: the JACK dummy server did not start:"
            sed 's/^/    /' "$WORK/jackd.log"
            exit 77
        fi
        if command -v jack_lsp >/dev/null 2>&1; then
            timeout 5 jack_lsp -s "$JACK_NAME" >/dev/null 2>&1 && return 0
        elif [ -e "/dev/shm/jack_${JACK_NAME}_0_0" ] || grep -q . "$WORK/jackd.log"; then
            sleep 1; return 0
        fi
        sleep 0.2
    done
    echo "SKIP: the JACK dummy server did not answer within 10 s"
    exit 77
}

# Runs one Lua script in its own ardour7-lua process, with a time limit.
# The environment keeps Ardour away from the user's configuration and
# plug-in folders. A client dropped by JACK (seen under load) is retried up to twice.
run_ardour() { # <log> <script> [VAR=value ...]
    local log=$1 script=$2; shift 2
    local attempt rc
    for attempt in 1 2 3; do
        # Scripts that create a session need the directory gone on a retry.
        [ -n "${FRESH_DIR:-}" ] && rm -rf "$FRESH_DIR"
        env HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" XDG_CACHE_HOME="$WORK/home/.cache" \
            JACK_DEFAULT_SERVER="$JACK_NAME" LV2_PATH="$WORK/lv2" ZP_LUA_DIR="$HERE" "$@" \
            timeout -k 10 "$ARDOUR_TIMEOUT" ardour7-lua "$HERE/$script" >"$log" 2>&1 </dev/null
        rc=$?
        if [ $rc -eq 124 ] || [ $rc -eq 137 ]; then
            echo "FAIL: $script did not finish within ${ARDOUR_TIMEOUT} s" >&2
            return 1
        fi
        if grep -q "JACK HALTED" "$log" && [ $attempt -lt 3 ]; then
            echo "note: JACK dropped Ardour during $script; trying once more"
            continue
        fi
        break
    done
    if grep -q "^ZP FAIL" "$log" || ! grep -q "^ZP DONE" "$log"; then
        echo "FAIL: $script (exit code $rc):" >&2
        grep "^ZP FAIL" "$log" | sed 's/^ZP FAIL/    /' >&2
        grep -q "^ZP FAIL" "$log" || tail -n 20 "$log" | sed 's/^/    /' >&2
        return 1
    fi
    return 0
}

# Prints the value for <name> from "ZP <tag> [<sub>] <name> <value>" lines.
value_of() { # <log> <name> <tag...>
    local log=$1 name=$2; shift 2
    grep "^ZP $* $name " "$log" | tail -n 1 | awk '{print $NF}'
}

close_to() { # <actual> <expected>
    awk -v a="$1" -v e="$2" -v t="$TOL" 'BEGIN { if (a == "" || a == "missing") exit 1; d = a - e; if (d < 0) d = -d; exit !(d <= t) }'
}

# Compares every parameter from the lines tagged <tag...> with the target.
check_values() { # <log> <what> <tag...>
    local log=$1 what=$2; shift 2
    local n v bad=0
    if [ "$1" = STATE ] && [ "$(grep "^ZP STATEBYTES $2 " "$log" | tail -n 1 | awk '{print $NF}' | tr -d ' ')" = 0 ]; then
        echo "FAIL: $what: the plug-in stored an empty state chunk (getStateInformation wrote nothing)" >&2
        return 1
    fi
    for n in $NAMES; do
        v=$(value_of "$log" "$n" "$@")
        if ! close_to "$v" "${TARGET[$n]}"; then
            echo "FAIL: $what: $n is ${v:-absent}, expected ${TARGET[$n]}" >&2
            bad=1
        fi
    done
    [ $bad -eq 0 ] && echo "ok: $what: all six values match"
    return $bad
}

session_round_trip() { # <label> <type> <plugin-id>
    local label=$1 type=$2 id=$3
    local sdir="$WORK/$label-session" ok=0
    local vars=(ZP_SESSION_DIR="$sdir" ZP_SESSION_NAME="zp-$label" ZP_PLUGIN_TYPE="$type" ZP_PLUGIN_ID="$id")

    echo "--- $label: create, set, save"
    FRESH_DIR="$sdir" run_ardour "$WORK/$label-create.log" create-session.lua "${vars[@]}" || return 1
    grep "^ZP INITIAL" "$WORK/$label-create.log" | sed 's/^ZP /    /'
    if [ "$type" = LV2 ]; then
        # The plug-in itself must have taken the values Ardour sent it.
        check_values "$WORK/$label-create.log" "$label state written on first save" STATE saved || ok=1
    else
        check_values "$WORK/$label-create.log" "$label controls before saving" SET || ok=1
    fi

    echo "--- $label: reopen in a new process"
    run_ardour "$WORK/$label-reopen.log" reopen-session.lua "${vars[@]}" || return 1
    grep "^ZP RELOADED" "$WORK/$label-reopen.log" | sed 's/^ZP /    /'
    if [ "$type" = LV2 ]; then
        # Ardour does not read float properties back from the plug-in, so its
        # controls show 0 after reopening whatever the plug-in holds; the
        # state saved again after the reload shows what the plug-in has.
        check_values "$WORK/$label-reopen.log" "$label state after reopening" STATE resaved || ok=1
    else
        check_values "$WORK/$label-reopen.log" "$label controls after reopening" RELOADED || ok=1
    fi
    return $ok
}

mkdir -p "$WORK/home/.vst3" "$WORK/lv2"
LV2_ABS=$(cd "$LV2_BUNDLE" && pwd)
ln -s "$LV2_ABS" "$WORK/lv2/$(basename "$LV2_ABS")"

start_jack
status=0

session_round_trip lv2 LV2 "$URI" || status=1

if [ -n "$VST3_BUNDLE" ]; then
    SCANNER=/usr/lib/ardour7/ardour-vst3-scanner
    if [ ! -x "$SCANNER" ]; then
        echo "note: $SCANNER not found; VST3 part skipped"
    else
        # Debian's Ardour looks for VST3 in ~/.vst3, /usr/local/lib/vst3 and
        # /usr/lib/vst3 and only lists modules its scanner has indexed.
        cp -r "$VST3_BUNDLE" "$WORK/home/.vst3/"
        bundle="$WORK/home/.vst3/$(basename "$VST3_BUNDLE")"
        FRESH_DIR="$WORK/index-1" run_ardour "$WORK/vst3-init.log" list-plugins.lua ZP_SESSION_DIR="$WORK/index-1" || status=1
        env HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" XDG_CACHE_HOME="$WORK/home/.cache" \
            LD_LIBRARY_PATH=/usr/lib/ardour7 timeout -k 5 60 "$SCANNER" -q -f "$bundle" \
            >"$WORK/vst3-scan.log" 2>&1 </dev/null
        FRESH_DIR="$WORK/index-2" run_ardour "$WORK/vst3-list.log" list-plugins.lua ZP_SESSION_DIR="$WORK/index-2" || status=1
        vst3_id=$(awk '$1 == "ZP" && $2 == "PLUGIN" && $NF == "ZelkoraPelorin" && $4 ~ /^[0-9A-F]+$/ {print $4}' "$WORK/vst3-list.log" | head -n 1)
        if [ -z "$vst3_id" ]; then
            echo "FAIL: Ardour does not list the VST3 after scanning it:" >&2
            sed 's/^/    /' "$WORK/vst3-scan.log" >&2
            status=1
        else
            echo "VST3 unique id: $vst3_id"
            session_round_trip vst3 VST3 "$vst3_id" || status=1
        fi
    fi
fi

if [ $status -eq 0 ]; then
    echo "PASS: settings survive an Ardour session round trip"
else
    echo "FAIL: see the messages above" >&2
fi
exit $status
