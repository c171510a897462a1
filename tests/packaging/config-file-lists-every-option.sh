#!/usr/bin/env bash
# /etc/pallix/pallixd.conf as shipped names every setting pallixd takes
# (pallixd --help: its long options but --config, --help and --version),
# each commented out with the default that --help gives, so the file holds
# the defaults and shows how to change each.
#
#   config-file-lists-every-option.sh <pallixd> <pallixd.conf>
set -euo pipefail
pallixd=$1 conf=$2
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

# One line per option: "--name VALUE  text...", wrapped lines joined.
options=$("$pallixd" --help | sed -n '/^Options:$/,/^$/p' |
  awk '/^  --/ { if (line) print line; line = $0; next } /^ +/ { line = line " " $0 } END { print line }' |
  tr -s ' ')
[ -n "$options" ] || { echo "pallixd --help lists no options"; exit 1; }

# Nothing in the file is in force.
active=$(grep -Ev '^[[:space:]]*([#;].*)?$|^\[pallixd\]$' "$conf" || true)
[ -z "$active" ] || fail "lines in force: $active"

while IFS= read -r line; do
  name=$(sed 's/^ --\([a-z-]*\).*/\1/' <<<"$line")
  case $name in config | help | version) continue ;; esac
  entry=$(grep -E "^#$name = " "$conf" || true)
  if [ -z "$entry" ]; then
    fail "$name: no line \"#$name = ...\""
    continue
  fi
  default=$(sed -n 's/.*(default: \(.*\))\..*/\1/p' <<<"$line")
  if [ -n "$default" ] && [ "$entry" != "#$name = $default" ]; then
    fail "$name: \"$entry\", but the default is \"$default\""
  else
    echo "ok   $entry"
  fi
done <<<"$options"

[ $failures -eq 0 ] || { echo "$failures difference(s): update packaging/pallixd.conf"; exit 1; }
