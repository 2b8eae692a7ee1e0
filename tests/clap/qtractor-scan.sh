#!/bin/sh
# Has Qtractor's own plug-in scanner judge a CLAP file, as Qtractor does before
# it lists a plug-in: its line for the file must name the compressor with one
# stereo input and output, no note ports, the parameters (the meters as
# outputs), the X11 gui and the state extension. Exits 77 (skipped) only when the scanner
# is not installed.
# Usage: qtractor-scan.sh FILE PARAMETERS METERS
set -eu
file=$(realpath "$1")
scanner=/usr/lib/x86_64-linux-gnu/qtractor/qtractor_plugin_scan
if [ ! -x "$scanner" ]; then
    echo "qtractor-scan: $scanner is missing (scripts/install-deps clap)"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf 'CLAP:%s\n' "$file" | HOME=$work "$scanner" >"$work/out" 2>&1 || true
line=$(grep "^CLAP|" "$work/out" || true)
# The last field, an ID, changes from run to run.
expected="CLAP|Compressor|2:2|0:0|$2:$3|GUI,EXT,RT|$file|0"
if [ "${line%|*}" != "$expected" ]; then
    cat "$work/out" >&2
    echo "qtractor-scan: expected '$expected|ID'" >&2
    exit 1
fi
echo "qtractor-scan: listed, $line"
