#!/usr/bin/env bash
# Compares the dynamic symbols a shared library defines with the list of its documented
# exports (one name a line; C++ exports by their demangled name).
set -euo pipefail
lib=$1
expected=$2
actual=$(nm -D --defined-only "$lib" | awk '$2 ~ /^[TDBWV]$/ {print $3}' | sed 's/@.*//' \
    | grep -v -E '^(VX_0|VXUTIL_0|VXHW_0)$' | c++filt | sort -u)
want=$(grep -v '^#' "$expected" | sed '/^$/d' | sort -u)
if [ "$actual" != "$want" ]; then
    echo "exports of $lib differ from $expected:"
    diff <(echo "$want") <(echo "$actual") || true
    exit 1
fi
echo "$(echo "$actual" | wc -l) exports as documented"
