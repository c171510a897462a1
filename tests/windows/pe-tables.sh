#!/usr/bin/env bash
# The export and import tables of the Windows binaries, read with the cross
# binutils' objdump -p.
#
#   pe-tables.sh exports <objdump> <NerrinAPI.dll> <NerrinAPI.def>
#       the DLL exports exactly the .def's names, each at its ordinal
#   pe-tables.sh imports <objdump> <binary> [DLL!function ...]
#       the binary needs only Windows' own DLLs (and NerrinAPI.dll), and
#       takes each named function from the named DLL
set -euo pipefail

mode=$1 objdump=$2 binary=$3
shift 3

# "ordinal name" per line, sorted by ordinal.
dll_exports() {
  "$objdump" -p "$binary" | awk '
    /^Export Address Table -- Ordinal Base/ { base = $NF }
    /^\[Ordinal\/Name Pointer\] Table/ { names = 1; next }
    names && /^\t\[ *[0-9]+\] / { gsub(/[][]/, " "); print $1 + base, $2; next }
    names { names = 0 }' | sort -n
}

def_exports() {
  awk '/^[ \t]+[A-Za-z_][A-Za-z0-9_]*[ \t]+@[0-9]+/ { sub("@", "", $2); print $2, $1 }' "$1" | sort -n
}

# "DLL!function" per line.
dll_imports() {
  "$objdump" -p "$binary" | awk '
    /^\tDLL Name: / { dll = toupper($3); next }
    dll && /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { print dll "!" $3 }'
}

case $mode in
  exports)
    def=$1
    echo "ordinal name in $(basename "$binary") | in $(basename "$def")"
    if diff <(dll_exports) <(def_exports "$def") >/dev/null; then
      paste -d'|' <(dll_exports) <(def_exports "$def")
      echo "$(dll_exports | wc -l) exports, names and ordinals as listed: nothing missing, nothing extra"
    else
      diff <(dll_exports) <(def_exports "$def") || true
      echo "FAIL: the export table differs from $(basename "$def") ('<' only in the DLL, '>' only in the .def)"
      exit 1
    fi
    ;;
  imports)
    system='^(KERNEL32|USER32|WS2_32|OLEAUT32|MSVCRT|NERRINAPI)\.DLL$'
    imports=$(dll_imports)
    dlls=$(printf '%s\n' "$imports" | cut -d'!' -f1 | sort -u)
    echo "$(basename "$binary") imports from: $(echo $dlls)"
    status=0
    for dll in $dlls; do
      [[ $dll =~ $system ]] || { echo "FAIL: $dll is not a system DLL"; status=1; }
    done
    for wanted in "$@"; do
      wanted_upper="$(echo "${wanted%%!*}" | tr a-z A-Z)!${wanted#*!}"
      if printf '%s\n' "$imports" | grep -qxF "$wanted_upper"; then
        echo "takes $wanted"
      else
        echo "FAIL: does not take $wanted"; status=1
      fi
    done
    exit $status
    ;;
  *) echo "pe-tables.sh: unknown mode '$mode'" >&2; exit 2 ;;
esac
