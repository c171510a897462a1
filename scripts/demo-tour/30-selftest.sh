# The self test: a write test of two loops leaves a faithful device holding
# exactly the configuration it had; a stuck register shows its error lines.

# The configuration without the global status (register 0), which the
# write test leaves as the device kept its last test value.
selftest_config() { sim dump | sed 's/^sim dump: //; s/^0=[0-9]* //'; }

# selftest_click <window> <x> <y>: a left click inside the window.
selftest_click() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove "$((X + $2))" "$((Y + $3))" click 1
  sleep 0.3
}

# Runs a write test from the open self-test window: Write Test, then OK in
# the warning box; returns once the device gets fewer than five requests
# in two seconds (the monitor reads once in that time; a pass, even in its
# pauses, makes more than a dozen).
selftest_write_test() {
  local win=$1 passes=$2 count last
  # A click into the log gives it the focus; backwards from there come
  # Details, the loop count, Stop and Write Test.
  selftest_click "$win" 129 300
  xdotool key --clearmodifiers shift+Tab shift+Tab Home
  for _ in $(seq 2 "$passes"); do xdotool key --clearmodifiers Down; done
  xdotool key --clearmodifiers shift+Tab shift+Tab space
  wait_window "Pallix Control Center" 5 >/dev/null
  xdotool key --clearmodifiers Return
  local deadline=$((SECONDS + 10 * passes + 20))
  last=$(sim requests | sed 's/.*: //')
  sleep 3
  while :; do
    count=$(sim requests | sed 's/.*: //')
    [ $((count - last)) -lt 5 ] && break
    [ $SECONDS -ge $deadline ] && demo_fail "the write test did not end within its time"
    last=$count
    sleep 2
  done
}

sim set 9 40
sim set 10 50
sim set 1 11
sim set 5 20
sim set 7 5
sim set 13 6
sim set 16 3
config_before=$(selftest_config)

open_tray_menu
xdotool key --clearmodifiers Down Down Down Return
selftest_win=$(wait_window "Nerrin Pallix™ Self Test" 10)
start=$SECONDS
selftest_write_test "$selftest_win" 2
echo "selftest: two passes and the restore took about $((SECONDS - start)) s"
config_after=$(selftest_config)
echo "selftest: configuration before: $config_before"
echo "selftest: configuration after:  $config_after"
[ "$config_before" = "$config_after" ] || demo_fail "the write test did not restore the configuration"
screenshot selftest-faithful "Nerrin Pallix™ Self Test"

# Power-off delay reads 0 whatever is written: 255 error lines per pass,
# shown without the step texts so that the window ends on them.
sim stuck 10 0
selftest_click "$selftest_win" 193 239   # "Details" off
selftest_write_test "$selftest_win" 1
screenshot selftest-stuck "Nerrin Pallix™ Self Test"
sim faults-clear
# The save read the stuck register as 0, so that is what went back.
config_after=$(selftest_config)
echo "selftest: configuration after the stuck register: $config_after"
[ "$config_after" = "${config_before/10=50/10=0}" ] ||
  demo_fail "the write test against a stuck register changed more than that register"
sim set 10 50
selftest_click "$selftest_win" 193 239   # "Details" on again
# Without a window manager nothing can close the window from outside; it
# stays open beside the tray until the application ends.
