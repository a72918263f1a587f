#!/bin/sh
# The owning arrays that calling modules construct themselves must be exported with their
# constructors, virtual tables and type information; a hidden instantiation (for instance one
# over a class declared without the export attribute) links inside the library and fails
# only in the caller.
set -eu
lib=$1
list=$2
tmp=${TMPDIR:-/tmp}/rvn-array-exports.$$
trap 'rm -f "$tmp"' EXIT
nm -D --defined-only "$lib" | c++filt | sed 's/^[0-9a-f]* [A-Za-z] //' | sort -u >"$tmp"
missing=0
while IFS= read -r sym; do
  case $sym in '' | '#'*) continue ;; esac
  if ! grep -qxF "$sym" "$tmp"; then
    echo "not exported: $sym" >&2
    missing=1
  fi
done <"$list"
exit $missing
