#!/usr/bin/env bash
# pallixctl's bash completion offers what pallixctl itself names: its
# commands and options (pallixctl --help), the arguments of get, set and
# selftest, every setting and the values of each list setting (the Settings
# section of pallixctl(1)). A name added to pallixctl and not to the
# completion, or the other way round, fails here.
#
#   completion-matches-pallixctl.sh <pallixctl> <pallixctl.1> <completion file>
set -euo pipefail
pallixctl=$1 page=$2 completion=$3
failures=0

# What the completion offers for a command line whose last word is being typed.
offered() {
  COMP_WORDS=(pallixctl "$@")
  COMP_CWORD=$#
  COMPREPLY=()
  _pallixctl
  local word
  for word in "${COMPREPLY[@]}"; do printf '%s\n' "${word//\\/}"; done | sort
}

expect() {
  local what=$1 expected=$2 got=$3
  if [ "$expected" != "$got" ]; then
    echo "FAIL $what"
    diff <(echo "$expected") <(echo "$got") | sed 's/^</  pallixctl: /; s/^>/  completion:/' | grep '^ ' || true
    failures=$((failures + 1))
  else
    echo "ok   $what: $(grep -c . <<<"$got" || true) words"
  fi
}

source "$completion"
help=$("$pallixctl" --help)
section() { sed -n "/^$1:\$/,/^\$/p" <<<"$help"; }
commands=$(section Commands | sed -n 's/^  \([a-z]\+\).*/\1/p' | sort)
options=$(section Options | sed -n 's/^  \(--[a-z-]\+\).*/\1/p' | sort)
[ -n "$commands" ] && [ -n "$options" ] || { echo "pallixctl --help lists no commands or options"; exit 1; }
selftest_words=$(section Commands | sed -n 's/^  selftest \([a-z|]\+\).*/\1/p' | tr '|' '\n' | sort)

# The Settings section: a line of names ending in ":", then a line of values.
settings=$(sed -n '/^Settings,/,/^\.fi/p' "$page" | grep '^  ')
[ -n "$settings" ] || { echo "no Settings section in $page"; exit 1; }
names=$(grep ':$' <<<"$settings" | tr -d ' :' | tr ',' '\n' | sort)

expect "commands" "$commands" "$(offered '')"
expect "options" "$options" "$(offered --)"
expect "selftest" "$selftest_words" "$(offered selftest '')"
expect "get NAME" "$(printf '%s\nall\n' "$names" | sort)" "$(offered get '')"
expect "set NAME" "$names" "$(offered set '')"

# The values pallixctl lists for each group of settings: "a or b", or a list
# of quoted names; seconds are not listed, so nothing is offered.
while IFS= read -r group && IFS= read -r values; do
  case $values in
    *\"*) expected=$(grep -o '"[^"]*"' <<<"$values" | tr -d '"' | sort) ;;
    *' or '*) expected=$(sed 's/^ *//; s/ or /\n/' <<<"$values" | sort) ;;
    *) expected='' ;;
  esac
  for name in $(tr -d ' :' <<<"$group" | tr ',' ' '); do
    expect "set $name VALUE" "$expected" "$(offered set "$name" '')"
  done
done <<<"$settings"

[ $failures -eq 0 ] || { echo "$failures difference(s): update packaging/pallixctl.bash-completion"; exit 1; }
