#!/bin/sh
# Has Ardour's own VST 3 scanner judge the Linux bundle's library, as Ardour
# does before it lists a plug-in. The scanner exits 0 whether or not it accepts
# the module: what proves acceptance is the cache file it writes, named by the
# SHA-1 of the library's path, whose entry must describe our one class.
# Exits 77 (skipped) only when the scanner is not installed.
# Usage: ardour-scan.sh LIBRARY VERSION
set -eu
library=$(realpath "$1")
scanner=/usr/lib/ardour7/ardour-vst3-scanner
if [ ! -x "$scanner" ]; then
    echo "ardour-scan: $scanner is missing (scripts/install-deps vst3)"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

XDG_CACHE_HOME=$work/cache XDG_CONFIG_HOME=$work/config LD_LIBRARY_PATH=/usr/lib/ardour7 \
    "$scanner" -v -f "$library" >"$work/log" 2>&1 || true
cache=$work/cache/ardour7/vst/$(printf %s "$library" | sha1sum | cut -d' ' -f1).v3i
if [ ! -f "$cache" ]; then
    cat "$work/log" >&2
    echo "ardour-scan: the scanner refused $library (no $cache)" >&2
    exit 1
fi

entry=$(grep '<VST3Info ' "$cache" || true)
status=0
check() {
    found=$(printf '%s\n' "$entry" | sed -n "s/.* $1=\"\([^\"]*\)\".*/\1/p")
    if [ "$found" != "$2" ]; then
        echo "ardour-scan: $1 is '$found', expected '$2'" >&2
        status=1
    fi
}
check name Compressor
check vendor "Tessel @ Vantrelix"
check category "Fx|Dynamics"
# The class ID a VST 2 project's plug-in is replaced by, in the file's byte order.
check uid 5653544B7A7734636F6D70726573736F
check version "$2"
check n_inputs 2
check n_outputs 2
check n_aux_inputs 0
check n_aux_outputs 0
if [ "$(grep -c '<VST3Info ' "$cache")" -ne 1 ]; then
    echo "ardour-scan: expected one class in the cache file" >&2
    status=1
fi
[ "$status" -eq 0 ] || { cat "$cache" >&2; exit 1; }
echo "ardour-scan: accepted, $entry"
