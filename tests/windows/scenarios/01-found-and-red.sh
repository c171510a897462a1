# The device is found and the icon turns red; its menu opens and shows the
# About window; a second copy of Pallix.exe refuses to start beside the
# first and leaves one icon.
start_sim
start_app
wait_tray red 40
screenshot_tray tray-red
polled_within 5

open_tray_menu
screenshot menu
menu_item b                     # "A&bout Nerrin Pallix™"
about=$(wait_window "$ABOUT_TITLE" 10)
sleep 1
screenshot about
press_enter "$about"
expect_windows "$ABOUT_TITLE" 0 5

first=$APP_PID
wine "$DEMO_BIN/Pallix.exe" --local-address 127.0.0.1 --dry-run >>"$APP_OUT" 2>&1 &
second=$!
refusal=$(wait_window "$BOX_TITLE" 20)
screenshot already-running
press_enter "$refusal"
deadline=$((SECONDS + 15))
while kill -0 "$second" 2>/dev/null; do
  [ $SECONDS -ge $deadline ] && fail "the second copy did not end"
  sleep 0.3
done
kill -0 "$first" || fail "the first copy ended"
[ "$(tray_colour)" = red ] || fail "the icon is $(tray_colour) beside the refused copy"
