# A device with older firmware: the Control Center offers the update,
# starts the updater and ends; the updater reprograms the device; the
# restarted Control Center finds the new firmware and asks nothing.

# --- the About window ---------------------------------------------------------
# Opened from the tray menu while the device still runs the carried firmware.
ABOUT_TITLE="Nerrin Pallix™ Control Center"
wait_tray red 30
sleep 1
open_tray_menu
menu_item b
wait_window "$ABOUT_TITLE" 10 >/dev/null
sleep 0.5
screenshot about "$ABOUT_TITLE"
xdotool key --clearmodifiers Return   # OK
sleep 0.5
xdotool search --onlyvisible --name "^$ABOUT_TITLE\$" >/dev/null 2>&1 &&
  demo_fail "OK did not close the About window"

# --- the prompt and the launch ------------------------------------------------
# The PC gets a wired and a wireless network of its own: virtual cables
# whose far ends stay inside this namespace, so their broadcasts do too. The
# device sits on the wired one; its own address is on loopback, off the PC's
# address list.
add_network() {
  ip link add "$1" type veth peer name "$1-end" && ip addr add "$2" brd + dev "$1" &&
    ip link set "$1-end" up && ip link set "$1" up ||
    demo_fail "cannot add the network $1"
}
add_network pallix-lan 10.9.0.1/24
add_network pallix-wlan 10.8.0.1/24
ip addr add 10.9.0.2/32 dev lo || demo_fail "cannot give the device its address"

# The same device again, now with older firmware, on the wired network.
stop_app
echo quit >&"$SIM_FD"
for _ in $(seq 20); do kill -0 "$SIM_PID" 2>/dev/null || break; sleep 0.1; done
stop_pid "$SIM_PID"
exec {SIM_FD}>&-
rm -f "$DEMO_TMP/sim.in"
start_sim --firmware 01.02 --first-address 10.9.0.2 --broadcast 10.9.0.255
echo "$(sim firmware) at 10.9.0.2"

# The application looks at the PC's own networks from here on.
APP_ARGS=(--dry-run)
start_app
MSG_TITLE="Nerrin Pallix™ Control Center"
BOX_TITLE="Pallix Control Center"
wait_window "$MSG_TITLE" 60 >/dev/null
sleep 0.5
screenshot update-prompt "$MSG_TITLE"
xdotool key --clearmodifiers Return   # OK: update now

# Two networks: the warning asks to disable the wireless one. The user
# does, then answers OK; the check two seconds later finds one network.
networks_box=$(wait_window "$BOX_TITLE" 10)
sleep 0.5
screenshot update-multiple-networks "$BOX_TITLE"
ip link set pallix-wlan down
xdotool key --clearmodifiers Return
for _ in $(seq 50); do
  power_box=$(xdotool search --onlyvisible --name "^$BOX_TITLE\$" 2>/dev/null | tail -n 1 || true)
  [ -n "$power_box" ] && [ "$power_box" != "$networks_box" ] && break
  sleep 0.2
done
[ -n "$power_box" ] && [ "$power_box" != "$networks_box" ] ||
  demo_fail "no power warning after the network check"
sleep 0.5
screenshot update-power-warning "$BOX_TITLE"
xdotool key --clearmodifiers Return   # OK: the updater starts, the application ends
wait_app_end 20
echo "update: the application ended after starting the updater"

# --- the updater --------------------------------------------------------------
# The application has ended after starting nrfwupdate with the device's
# address and its carried image. The updater's progress goes where the
# application's output went; the device itself tells when it is done.

app_running && demo_fail "the application should have ended after starting the updater"
updater_deadline=$((SECONDS + 120))
until [ "$(sim firmware)" = "sim firmware: 01.03" ] && [ "$(sim program-mode)" = "sim program-mode: 0" ]; do
  [ $SECONDS -ge $updater_deadline ] && demo_fail "the updater did not reprogram the device within 120 s"
  sleep 1
done
echo "updater: the device runs firmware 01.03 ($(sim flash-refusals | sed 's/.*: //') programming requests refused)"
grep -q 'Firmware update complete!' "$APP_OUT" && echo "updater: $(grep -o 'Firmware Update Complete!.*' "$APP_OUT" | tail -n 1)"
# The device stays silent longer than the updater's first wait after the
# flash copy: two dots per rediscovery probe, on the line after the warning.
probes=$(awk '/^DO NOT DISCONNECT/ { getline; getline; print length($0) / 2; exit }' "$APP_OUT")
echo "updater: found the device again with rediscovery probe ${probes:-?}"
# The updater ends right after its completion line; give it a moment, so
# the restarted application has the local port to itself.
sleep 1

# The restarted application finds 01.03: no prompt, so the monitor polls.
start_app
wait_tray red 30
sim requests-clear >/dev/null
sleep 7
polls=$(sim requests | sed 's/.*: //')
[ "$polls" -ge 2 ] || demo_fail "the restarted application does not poll the device (a prompt open?)"
echo "monitor: $polls requests in 7 s after the update, no prompt"
screenshot desktop-after-update
