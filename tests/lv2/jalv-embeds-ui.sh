#!/bin/sh
# jalv.gtk3 opens the plug-in with its own UI embedded (not the generic
# controls), headless: a virtual X server and a dummy JACK server of their own.
# Usage: jalv-embeds-ui.sh BUNDLE-FOLDER    (exit 77: a needed program is missing)
set -eu
bundle=$(cd "$1" && pwd)
for program in Xvfb jackd jack_wait jalv.gtk3 xwininfo xprop; do
    command -v "$program" >/dev/null || { echo "$program is not installed: skipped"; exit 77; }
done
work=$(mktemp -d)
pids=
cleanup() {
    for pid in $pids; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The server picks a free display and writes its number when it is ready.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" \
    >"$work/xvfb.log" 2>&1 &
pids="$! $pids"
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
DISPLAY=:$(cat "$work/display")
export DISPLAY

# Without JACK_NO_START_SERVER libjack would start a server on ALSA.
JACK_DEFAULT_SERVER=jalv-ui-$$
JACK_NO_START_SERVER=1
export JACK_DEFAULT_SERVER JACK_NO_START_SERVER
jackd --no-realtime -d dummy -r 48000 -p 1024 >"$work/jackd.log" 2>&1 &
pids="$! $pids"
timeout 20 jack_wait -w >/dev/null 2>&1 || { echo "jackd did not start"; cat "$work/jackd.log"; exit 1; }

LV2_PATH=$(dirname "$bundle") jalv.gtk3 urn:tessel-vantrelix:compressor \
    </dev/null >"$work/jalv.log" 2>&1 &
pids="$! $pids"

window=
for _ in $(seq 150); do
    window=$(xwininfo -root -tree | awk '/\("TesselCompressor" "TesselCompressor"\)/ {print $1; exit}')
    [ -n "$window" ] && break
    sleep 0.1
done
grep -qx 'UI: *urn:tessel-vantrelix:compressor#editor' "$work/jalv.log" ||
    { echo "jalv did not choose the plug-in's UI:"; cat "$work/jalv.log"; exit 1; }
[ -n "$window" ] || { echo "no window of the plug-in appeared"; cat "$work/jalv.log"; exit 1; }

# The window sits inside jalv's: one of its ancestors is of jalv's class.
ancestor=$window
while :; do
    ancestor=$(xwininfo -children -id "$ancestor" | awk '/Parent window id:/ {print $4}')
    case $ancestor in ''|0x0) break ;; esac
    if xprop -id "$ancestor" WM_CLASS 2>/dev/null | grep -q '"jalv.gtk3"'; then
        size=$(xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
        echo "jalv.gtk3 embeds the plug-in's UI: window $window, $size, in jalv's $ancestor"
        exit 0
    fi
done
echo "the plug-in's window $window is not inside jalv's window"
exit 1
