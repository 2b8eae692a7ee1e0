#!/bin/sh
# Validates a bundle's Turtle files against the LV2 vocabularies that Debian's
# lv2-dev installs (other plug-ins' bundles in the same folder are left out).
# Usage: validate-bundle.sh BUNDLE-FOLDER
set -eu
bundle=$1
vocabularies=$(dpkg -L lv2-dev | grep '^/usr/lib/lv2/.*\.ttl$')
[ -n "$vocabularies" ] || { echo "validate-bundle: lv2-dev's vocabularies are missing" >&2; exit 1; }
# shellcheck disable=SC2086
sord_validate $vocabularies "$bundle"/*.ttl
