#!/usr/bin/env bash
# Runs a program beside the native pallix-sim (--verbose, its request log
# to a file). Lines the program writes as "sim> <command>" go to the
# simulator and its one-line answer comes back on the program's standard
# input; every other line passes through.
#
#   with-simulator.sh <pallix-sim> <log> [simulator options] -- <program> [arguments...]
set -euo pipefail

simulator=$1 log=$2
shift 2
options=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do options+=("$1"); shift; done
shift
if [ ! -x "$simulator" ]; then
  echo "with-simulator: no $simulator; build the Linux simulator first (make test-windows does)" >&2
  exit 1
fi

mkdir -p "$(dirname "$log")"
coproc SIM { exec "$simulator" --verbose "${options[@]}" 2>"$log"; }
sim_pid=$SIM_PID
exec {from_sim}<&"${SIM[0]}" {to_sim}>&"${SIM[1]}"
stop_simulator() {
  echo quit >&"$to_sim" 2>/dev/null || true
  wait "$sim_pid" 2>/dev/null || true
}
trap stop_simulator EXIT

read -r -t 10 ready <&"$from_sim" || true
if [ "${ready:-}" != ready ]; then
  echo "with-simulator: pallix-sim did not start (see $log)" >&2
  exit 1
fi

"$@" <&"$from_sim" | while IFS= read -r line; do
  case $line in
    'sim> '*) printf '%s\n' "${line#sim> }" >&"$to_sim" ;;
    *) printf '%s\n' "$line" ;;
  esac
done
