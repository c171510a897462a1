#!/usr/bin/env bash
# Runs one scenario of pallixd and pallixctl against pallix-sim, without a
# display: private network, process and mount namespaces (so the scenario
# sees only its own processes and its own /run and /tmp, never a real
# service's socket).
#
#   tests/service/run.sh <build bin folder> <scenario file>
set -euo pipefail

BIN=$(cd "$1" && pwd)
SCENARIO=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

if [ -z "${SCENARIO_IN_NETNS:-}" ]; then
  export SCENARIO_IN_NETNS=1
  exec unshare -rnm --pid --fork --mount-proc bash -c \
    'mount -t tmpfs tmpfs /tmp && mount -t tmpfs tmpfs /run && ip link set lo up && exec bash "$0" "$@"' \
    "${BASH_SOURCE[0]}" "$BIN" "$SCENARIO"
fi

export DEMO_ROOT="$ROOT" DEMO_BIN="$BIN"
source "$ROOT/scripts/demo-lib.sh"
source "$ROOT/tests/service/lib.sh"
trap 'service_cleanup; demo_cleanup' EXIT

echo "scenario: $(basename "$SCENARIO")"
source "$SCENARIO"
echo "scenario: passed"
