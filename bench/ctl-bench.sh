#!/usr/bin/env bash
# "pallixctl get all" through pallixd and directly through the library,
# against one simulator, beside the bare UDP floor of nerrinapi_bench; and
# the slowest "status" while the device is silent (pallixd failing its
# polls and searching meanwhile). In
# private network, process and mount namespaces; everything it starts it
# ends by pid.
#   bench/ctl-bench.sh [build folder] [runs per way, default 40]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
runs=${2:-40}
source "$here/../scripts/private-namespaces.sh"
enter_private_namespaces --own-processes --own-run --keep "$build" "$0" "$build" "$runs"
bin=$build/bin
[ -n "${CTL_BENCH_TRACE:-}" ] && set -x
tmp=$(mktemp -d)
# What pallixd and pallixctl keep of the device stays in the bench's folder.
export STATE_DIRECTORY="$tmp/state" XDG_STATE_HOME="$tmp/user-state"
mkfifo "$tmp/sim.in"
"$bin/pallix-sim" <"$tmp/sim.in" >"$tmp/sim.out" 2>&1 &
sim=$!
exec 3>"$tmp/sim.in"
daemon=""
trap 'echo quit >&3; [ -n "$daemon" ] && kill "$daemon"; wait; rm -rf "$tmp"' EXIT
until grep -q '^ready' "$tmp/sim.out"; do sleep 0.05; done

# ms_per_run <command...>: mean wall-clock milliseconds of one run.
ms_per_run() {
  "$@" >/dev/null || { echo "failed: $*" >&2; exit 1; }   # warm up, and it must work
  local start end
  start=$(date +%s%N)
  for _ in $(seq "$runs"); do "$@" >/dev/null; done
  end=$(date +%s%N)
  awk -v ns=$((end - start)) -v n="$runs" 'BEGIN { printf "%.3f", ns / n / 1e6 }'
}

# slowest_ms <command...>: the largest wall-clock milliseconds of one run.
slowest_ms() {
  local start end slowest=0
  for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 || true
    end=$(date +%s%N)
    [ $((end - start)) -gt $slowest ] && slowest=$((end - start))
    sleep 0.$((RANDOM % 5))   # land on polls, failures and searches alike
  done
  awk -v ns="$slowest" 'BEGIN { printf "%.3f", ns / 1e6 }'
}

"$bin/pallixd" --local-address 127.0.0.1 --dry-run --socket "$tmp/d.sock" 2>"$tmp/d.err" &
daemon=$!
until grep -q 'device-found' "$tmp/d.err"; do sleep 0.05; done
service=$(ms_per_run "$bin/pallixctl" --socket "$tmp/d.sock" get all)
status=$(ms_per_run "$bin/pallixctl" --socket "$tmp/d.sock" status)
echo offline >&3
silent=$(slowest_ms "$bin/pallixctl" --socket "$tmp/d.sock" status)
echo online >&3
kill "$daemon"; wait "$daemon" || true; daemon=""
direct=$(ms_per_run "$bin/pallixctl" --device 127.0.0.2 get all)
startup=$(ms_per_run "$bin/pallixctl" --version)
discovered=$(ms_per_run "$bin/pallixctl" --local-address 127.0.0.1 get all)
echo quit >&3

# The floor: one register read's round trip, a socket per exchange as the
# protocol demands; "get all" makes 16 of them.
floor_us=$("$build/bench/nerrinapi_bench" --benchmark_filter=FreshSocket 2>/dev/null \
  | awk '/FreshSocketRoundTrip.*_median/ { print $2 }')
floor=$(awk -v us="$floor_us" 'BEGIN { printf "%.3f", us * 16 / 1000 }')

printf '\n%-52s %10s %8s\n' "one run of pallixctl ($runs runs each)" "ms" "ratio"
row() { awk -v name="$1" -v ms="$2" -v f="$floor" 'BEGIN { printf "%-52s %10.3f %8.1f\n", name, ms, ms / f }'; }
row "floor: 16 bare UDP round trips (nerrinapi_bench)" "$floor"
row "pallixctl --version (the program's start alone)" "$startup"
row "get all through pallixd" "$service"
row "status through pallixd (no device traffic)" "$status"
row "status through pallixd, device silent: slowest" "$silent"
row "get all directly, --device (no discovery)" "$direct"
row "get all directly, with discovery" "$discovered"
awk -v s="$service" -v d="$direct" -v u="$startup" 'BEGIN {
  printf "through pallixd / directly (--device): %.2f\n", s / d
  printf "the same without the program start: %.2f\n", (s - u) / (d - u) }'
