#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a while, under ASan and UBSan.
#
#   scripts/fuzz.sh <fuzz-build-folder> <seconds per target>
#
# Each target starts from its committed seeds (fuzz/corpus/<name>/, crash
# inputs found earlier among them) and keeps what it finds under
# <build>/corpus/<name>/. A crash, hang (10 s for one input), leak or
# sanitizer report fails the run; the input lands in <build>/artifacts/.
set -uo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${1:?fuzz build folder}
SECONDS_EACH=${2:?seconds per target}
case "$BUILD" in /*) ;; *) BUILD="$ROOT/$BUILD" ;; esac

# The register target talks over loopback: keep it off the machine's own.
netns=()
if "$ROOT/tests/support/netns-run.sh" true 2>/dev/null; then
  netns=("$ROOT/tests/support/netns-run.sh")
else
  echo "fuzz: no private network namespace here; register_reply uses the real loopback"
fi

mkdir -p "$BUILD/artifacts" "$BUILD/logs"
failed=()
summary=()
for binary in "$BUILD"/fuzz/fuzz_*; do
  name=$(basename "$binary"); name=${name#fuzz_}
  seeds="$ROOT/fuzz/corpus/$name"
  corpus="$BUILD/corpus/$name"
  log="$BUILD/logs/$name.log"
  mkdir -p "$corpus"
  runner=()
  [ "$name" = register_reply ] && runner=("${netns[@]}")
  echo "fuzz: $name for ${SECONDS_EACH}s"
  "${runner[@]}" "$binary" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$BUILD/artifacts/$name-" "$corpus" "$seeds" >"$log" 2>&1
  status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  if [ "$status" -ne 0 ]; then
    failed+=("$name")
    echo "fuzz: $name FAILED (exit $status); log: $log"
    grep -E 'ERROR|SUMMARY|runtime error|Test unit written' "$log" | head -n 20
  fi
  summary+=("$(printf '%-16s %10s runs %8s exec/s  %s' "$name" "${runs:-?}" "${rate:-?}" \
    "$([ "$status" -eq 0 ] && echo ok || echo FAILED)")")
done

[ ${#summary[@]} -gt 0 ] || { echo "fuzz: no targets in $BUILD/fuzz" >&2; exit 1; }
echo "fuzz: ${SECONDS_EACH}s per target"
printf '  %s\n' "${summary[@]}"
echo "fuzz: $(( ${#summary[@]} - ${#failed[@]} )) passed, ${#failed[@]} failed"
[ ${#failed[@]} -eq 0 ]
