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

source "$ROOT/scripts/private-namespaces.sh"
enter_private_namespaces --own-processes --own-run --keep "$BIN" --keep "$(dirname "$SCENARIO")" \
  "${BASH_SOURCE[0]}" "$BIN" "$SCENARIO"

export DEMO_ROOT="$ROOT" DEMO_BIN="$BIN"
source "$ROOT/scripts/demo-lib.sh"
source "$ROOT/tests/service/lib.sh"
trap 'service_cleanup; demo_cleanup' EXIT

echo "scenario: $(basename "$SCENARIO")"
source "$SCENARIO"
echo "scenario: passed"
