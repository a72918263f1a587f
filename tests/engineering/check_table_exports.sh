#!/bin/sh
# The material tables are part of the library's binary interface: each must be exported
# from the shared library as a data object (not a function, not hidden).
set -eu
lib=$1
status=0
for name in TableConcrete::m_adFcuk TableConcrete::m_adFck TableConcrete::m_adFc \
    TableConcrete::m_adFtk TableConcrete::m_adFt TableConcrete::m_adEc TableConcrete::m_adEc_f \
    TableSteelBar::m_adFyk TableSteelBar::m_adFy TableSteelBar::m_adFy_p TableSteelBar::m_adEs; do
    if ! nm -DC --defined-only "$lib" | grep -qE " [BDRV] $name\$"; then
        echo "not an exported data symbol: $name" >&2
        status=1
    fi
done
exit $status
