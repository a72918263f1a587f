#!/bin/sh
# Compares the undecorated defined symbols of the shared library with the committed list of
# C-convention function names: a name missing (hidden, decorated) or an unexpected bare
# symbol (a C++ function that lost its mangling, a leaked helper) fails.
set -eu
lib=$1
list=$2
tmp=${TMPDIR:-/tmp}/rvn-exports.$$
trap 'rm -f "$tmp".*' EXIT
# Bare (unmangled) names of defined dynamic symbols, minus the linker's own markers.
nm -D --defined-only "$lib" | awk '{print $NF}' | sed 's/@.*//' | grep -v '^_Z' | grep -vE '^__(odr_)?asan|^__ubsan|^__sancov' |
  grep -vxE '_init|_fini|_edata|_end|__bss_start' | sort -u >"$tmp.actual"
grep -vE '^\s*(#|$)' "$list" | sort -u >"$tmp.expected"
if ! diff -u "$tmp.expected" "$tmp.actual"; then
  echo "exported bare names differ from $list (- expected, + actual)" >&2
  exit 1
fi
# Each listed name must be a function (text symbol).
missing=0
for name in $(cat "$tmp.expected"); do
  if ! nm -D --defined-only "$lib" | grep -qE " T $name\$"; then
    echo "not an exported function: $name" >&2
    missing=1
  fi
done
exit $missing
