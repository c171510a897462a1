#!/usr/bin/env bash
# nrfwupdate.exe under Wine against the native simulator (run by
# with-simulator.sh, one device at 127.0.0.2 running firmware 01.02, which
# stays silent long enough after its flash copy for five rediscovery
# attempts, so the network renewal runs once):
#
#   updater-test.sh <nrfwupdate.exe> <carried image> <work folder>
#
# First a damaged image is refused with nothing sent, then the carried
# image reprograms the device. MessageBoxA calls are read from Wine's relay
# trace on standard error.
set -euo pipefail

updater=$1 image=$2 work=$3
device=127.0.0.2
mkdir -p "$work"
passed=0 failed=0

check() {  # check <description> <command...>
  local what=$1
  shift
  if "$@"; then passed=$((passed + 1)); echo "ok   $what"; else failed=$((failed + 1)); echo "FAIL $what"; fi
}

# Commands to the simulator go to the relay even from inside $(...).
exec {relay}>&1
sim() {  # the simulator's answer to one command
  printf 'sim> %s\n' "$*" >&"$relay"
  local answer
  IFS= read -r answer
  printf '%s' "$answer"
}

run_updater() {  # run_updater <name> <image>: exit status in $status, files <name>.out/.err
  status=0
  WINEDEBUG=-all,+relay wine "$updater" "$device" "Z:$2" >"$work/$1.out" 2>"$work/$1.err" || status=$?
  boxes=$(grep -F 'Call user32.MessageBoxA(' "$work/$1.err" || true)
}

one_box() {  # one_box <text start> <caption>: exactly one system-modal box with these
  [ "$(printf '%s\n' "$boxes" | grep -c .)" -eq 1 ] &&
    printf '%s' "$boxes" | grep -qF "\"$1" &&
    printf '%s' "$boxes" | grep -qF "\"$2\",00001000)"
}

same() { [ "$1" = "$2" ]; }

# A record whose data holds a character that is not a hex digit.
damaged=$work/damaged.hex
sed '100s/^\(.\{40\}\)./\1G/' "$image" >"$damaged"
sim requests-clear >/dev/null
run_updater refused "$damaged"
check "a damaged image: exit status 1 (image refused)" same "$status" 1
check "only the probe reached the device" same "$(sim requests)" 1
check "the refusal names the line" grep -q 'line 100' "$work/refused.err"
check "the refusal is one system-modal MessageBoxA" \
  one_box "Firmware image refused, nothing was written to Pallix" "Pallix Firmware Update"

run_updater updated "$image"
check "the carried image: exit status 0" same "$status" 0
check "the updater ends with its completion line" grep -q 'Firmware update complete!' "$work/updated.out"
check "the completion is one system-modal MessageBoxA" \
  one_box "Firmware Update Complete! You may now restart Pallix Control Center." "Pallix Firmware Update"
# Wine's ipconfig knows neither /release nor /renew and answers each with
# its usage line, after the restart and before the rest of the image.
check "both network commands ran through the command interpreter, in order" \
  same "$(grep -o 'Pallix Restarting\|Usage: ipconfig\|Firmware update complete!' "$work/updated.out" | tr '\n' '|')" \
  "Pallix Restarting|Usage: ipconfig|Usage: ipconfig|Firmware update complete!|"
check "the device runs the new firmware 01.03" same "$(sim firmware)" 01.03
check "the device left program mode" same "$(sim program-mode)" 0
check "the device refused no programming request" same "$(sim flash-refusals)" 0

record() { grep -m1 "^:..$(printf %06X "$1")" "$image" | cut -c10-137; }
for address in 0x00000 0x0FB80 0x10000 0x103C0 0x10400 0x1FFC0; do
  check "flash at $address holds the image's record" same "$(sim flash "$address")" "$(record "$address")"
done
check "the identity record carries the device's MAC" \
  same "$(sim flash 0xFBC0)" "02504C000001$(record 0xFBC0 | cut -c13-)"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
