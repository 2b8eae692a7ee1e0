#!/usr/bin/env bash
# Renders a signal through the bundle with Debian's lv2file, with controls set
# by symbol, and through the VST 2 plug-in at the same choices with the
# command-line host; the two must be the same audio, bit for bit. So must a
# factory preset that lv2file loads from the bundle by its name and the host
# gives the VST 2 plug-in by the same name.
# Usage: lv2file-render.sh VST2-HOST VST2-PLUGIN BUNDLE-FOLDER
set -euo pipefail
host=$1
plugin=$2
bundle=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$host" demo-signal "$work/in.wav" >/dev/null
LV2_PATH=$(dirname "$bundle") lv2file -i "$work/in.wav" -o "$work/lv2.wav" \
    -p filterBank:7 -p listenTo:2 -p clipOnOff:1 -p compressorMode:1 \
    urn:tessel-vantrelix:compressor >/dev/null
"$host" render --quiet "$plugin" "$work/in.wav" "$work/vst2.wav" \
    --set-norm 8=0.6364 --set-norm 0=0.5 --set "Clipping=on" --set "Compressor mode=B" >/dev/null
"$host" render --quiet "$plugin" "$work/in.wav" "$work/default.wav" >/dev/null

# compare: 0 match, 1 differ, 2 could not compare.
status=0
"$host" compare "$work/lv2.wav" "$work/default.wav" >/dev/null || status=$?
case $status in
    0) echo "lv2file: the controls set by symbol did not reach the plug-in" >&2; exit 1 ;;
    1) ;;
    *) exit 1 ;;
esac
"$host" compare "$work/lv2.wav" "$work/vst2.wav" >"$work/report" || {
    cat "$work/report"
    echo "lv2file: the LV2 render differs from the VST 2 render at the same setting" >&2
    exit 1
}
preset="Drum-bus punch"
LV2_PATH=$(dirname "$bundle") lv2file -i "$work/in.wav" -o "$work/lv2-preset.wav" -P "$preset" \
    urn:tessel-vantrelix:compressor >/dev/null
"$host" render --quiet "$plugin" "$work/in.wav" "$work/vst2-preset.wav" --preset "$preset" >/dev/null
"$host" compare "$work/lv2-preset.wav" "$work/vst2-preset.wav" >"$work/report" || {
    cat "$work/report"
    echo "lv2file: the preset \"$preset\" renders differently from the VST 2 plug-in's" >&2
    exit 1
}
echo "lv2file render equals the VST 2 render bit for bit, at a setting and at the preset \"$preset\" ($(grep -m1 frames "$work/report" | sed 's/^ *//'))"
