#!/bin/sh
# Checks the plug-in's dynamic symbol table and library dependencies.
# Usage: check-plugin-linkage.sh LIBRARY [ENTRY...]   (ENTRY: main by default)
set -eu
plugin=$1
shift
[ $# -gt 0 ] || set -- main
entries=$(printf '%s\n' "$@" | sort -u)
exports=$(nm -D --defined-only "$plugin" | awk '{print $NF}' | sort -u)
if [ "$exports" != "$entries" ]; then
    echo "exported symbols other than" $entries: >&2
    echo "$exports" >&2
    exit 1
fi
# Sanitizer builds add their own runtimes; everything else must be libc-level.
unexpected=$(ldd "$plugin" | awk '{print $1}' |
    grep -vE '^(linux-vdso\.so|/lib64/ld-linux-x86-64\.so|libc\.so|libm\.so|libasan\.so|libubsan\.so|libtsan\.so|libstdc\+\+\.so|libgcc_s\.so|libdl\.so|libpthread\.so|librt\.so)' || true)
if [ -n "$unexpected" ]; then
    echo "unexpected library dependencies:" >&2
    echo "$unexpected" >&2
    exit 1
fi
if ldd "$plugin" | grep -q 'libstdc++' && ! ldd "$plugin" | grep -qE 'lib(a|t)san'; then
    echo "the C++ runtime must be linked into the plug-in" >&2
    exit 1
fi
echo "exports: $exports"
