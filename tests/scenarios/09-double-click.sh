# A double click on the icon shows no menu and opens nothing; a single
# click shows the menu once the button is up.
start_sim
start_app
wait_tray red 30
# Under Wine no window of the program is visible until the menu opens.
menus() { { xdotool search --onlyvisible --class Pallix 2>/dev/null || true; } | wc -l; }
before=$(menus)
eval "$(xdotool getwindowgeometry --shell "$(tray_window)")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click --repeat 2 --delay 120 1
sleep 1.5
[ "$(menus)" -eq "$before" ] || fail "a window or menu opened on a double click"
[ "$(window_count "$WINDOW_TITLE")" -eq 0 ] || fail "the configuration window opened"
xdotool click 1
sleep 1.5
[ "$(menus)" -gt "$before" ] || fail "a single click showed no menu"
