#!/bin/sh
# The systemd unit passes systemd-analyze verify, with pallixd and its
# manual page from the build, and its sandbox scores below 3.0 in
# systemd-analyze security. Any complaint fails; no usable tool skips (77).
#   tests/service/verify-unit.sh <unit file> <pallixd> <man folder>
set -u
command -v systemd-analyze >/dev/null 2>&1 || { echo "no systemd-analyze: skipped"; exit 77; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
sed "s|^ExecStart=/usr/bin/pallixd|ExecStart=$2|" "$1" >"$dir/pallixd.service"
grep -q "^ExecStart=$2\$" "$dir/pallixd.service" || { echo "no ExecStart=/usr/bin/pallixd"; exit 1; }
# Does the tool work here at all? A unit that is surely fine must pass.
printf '[Service]\nExecStart=/bin/true\n' >"$dir/probe.service"
probe=$(systemd-analyze verify --man=no "$dir/probe.service" 2>&1) || probe="failed: $probe"
[ -z "$probe" ] || { echo "systemd-analyze cannot verify here ($probe): skipped"; exit 77; }
out=$(MANPATH="$3" systemd-analyze verify "$dir/pallixd.service" 2>&1)
status=$?
[ -n "$out" ] && echo "$out"
[ $status -eq 0 ] && [ -z "$out" ] || exit 1
# The exposure level, 0 to 10, is compared in tenths.
security=$(systemd-analyze security --offline=yes --threshold=29 "$dir/pallixd.service" 2>&1)
status=$?
echo "$security" | tail -n 1
[ $status -eq 0 ] || { echo "$security" | grep '✗'; exit 1; }
