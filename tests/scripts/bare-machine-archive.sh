#!/usr/bin/env bash
# The archive scripts/check-bare-machine builds its root from: BARE_MIRROR when
# set, else the first `deb` source of bookworm's main component, in the order
# apt reads its sources, whatever their format.
# Usage: bare-machine-archive.sh CHECK-BARE-MACHINE
set -euo pipefail
check=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/parts"
printf 'Dir::Etc::sourcelist "%s/sources.list";\nDir::Etc::sourceparts "%s/parts";\n' \
    "$work" "$work" >"$work/apt.conf"
export APT_CONFIG=$work/apt.conf

cat >"$work/sources.list" <<'END'
# deb http://commented.invalid/debian bookworm main
deb-src http://sources.invalid/debian bookworm main
deb [arch=amd64 trusted=yes] http://contrib-only.invalid/debian bookworm contrib
deb http://older.invalid/debian bullseye main
deb cdrom:[Debian 12]/ bookworm main
END
cat >"$work/parts/a.sources" <<'END'
Enabled: no
Types: deb
URIs: http://disabled.invalid/debian
Suites: bookworm
Components: main

Types: deb-src deb
URIs: http://mirror.invalid/debian/ http://second.invalid/debian
Suites: bookworm-updates bookworm
Components: contrib main
END
echo 'deb http://later.invalid/debian bookworm main' >"$work/parts/b.list"
echo 'deb http://not-a-source.invalid/debian bookworm main' >"$work/parts/c.list.disabled"

failed=0
expect() {
    local wanted=$1 got
    shift
    got=$(env "$@" "$check" --archive 2>&1) || got="failed: $got"
    [ "$got" = "$wanted" ] || { echo "with $*: wanted '$wanted', got '$got'" >&2; failed=1; }
}
expect http://mirror.invalid/debian APT_CONFIG="$APT_CONFIG"
expect http://given.invalid/debian BARE_MIRROR=http://given.invalid/debian
rm "$work/parts/a.sources"
expect http://later.invalid/debian APT_CONFIG="$APT_CONFIG"
# Without a matching source, a one-line error; the check then cannot run.
rm "$work/parts/b.list"
expect "failed: check-bare-machine: no Debian 12 (bookworm) main archive in the apt sources; set BARE_MIRROR" \
    APT_CONFIG="$APT_CONFIG"
exit $failed
