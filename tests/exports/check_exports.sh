#!/bin/sh
# The whole exported surface of the shared library, compared with the committed list: every
# defined dynamic symbol, demangled, one per line. A new public class or function adds lines; a
# standard-library instantiation or an internal helper that leaks out adds lines nobody meant
# to add, and a hidden one removes a line a calling module links against.
#
#   check_exports.sh <librvnBaseCommon.so> <list>            compare
#   check_exports.sh <librvnBaseCommon.so> <list> --update   rewrite the list from the library
#
# After adding public API, rebuild the default preset and run
#   tests/exports/check_exports.sh build/default/librvnBaseCommon.so \
#       tests/exports/exported_symbols.txt --update
# then review the diff of the list and commit it with the API.
set -eu
lib=$1
list=$2
mode=${3:-check}
tmp=${TMPDIR:-/tmp}/rvn-surface.$$
trap 'rm -f "$tmp".*' EXIT
# Sanitizer runtimes and the linker's markers are not part of the library's interface.
nm -D --defined-only "$lib" | awk '{print $NF}' | sed 's/@.*//' |
    grep -vE '^__(odr_)?asan|^__ubsan|^__sancov|^__lsan' |
    grep -vxE '_init|_fini|_edata|_end|__bss_start' | c++filt | LC_ALL=C sort -u >"$tmp.actual"
if [ "$mode" = --update ]; then
    {
        echo "# Every defined dynamic symbol of librvnBaseCommon, demangled (tests/exports/check_exports.sh)."
        cat "$tmp.actual"
    } >"$list"
    echo "wrote $(wc -l <"$tmp.actual") symbols to $list"
    exit 0
fi
grep -v '^#' "$list" | LC_ALL=C sort -u >"$tmp.expected"
if ! diff -u "$tmp.expected" "$tmp.actual" >"$tmp.diff"; then
    cat "$tmp.diff"
    cat >&2 <<MSG
The library's exported symbols differ from $list (- listed, + exported).
A '+' line from a standard-library template or an internal helper is a leak to fix (hide it:
RVN_API only on the public declaration, internal code in detail/, cmake/rvnBaseCommon.map for
std). If the change is public API you added on purpose, regenerate the list and commit it:
  tests/exports/check_exports.sh $lib $list --update
MSG
    exit 1
fi
