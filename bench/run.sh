#!/bin/sh
# Runs the library benchmark inside a private network namespace.
# Usage: bench/run.sh [build folder] [benchmark options...]
set -e
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
[ $# -gt 0 ] && shift
exec "$here/../tests/support/netns-run.sh" "$build/bench/nerrinapi_bench" "$@"
