# The icon red and gray, its menu, the About and configuration windows, the
# power-lost box (with Restore: the configuration read was kept) and its
# balloon, and the countdown.
start_sim
start_app
wait_tray red 40
screenshot_tray tray-red
open_tray_menu
screenshot menu
xdotool key --clearmodifiers Escape
open_tray_menu
menu_item b
about=$(wait_window "$ABOUT_TITLE" 10)
sleep 1
screenshot about "$ABOUT_TITLE"
press_enter "$about"
open_tray_menu
menu_item c
wait_window "$WINDOW_TITLE" 10 >/dev/null
sleep 2
screenshot configuration "$WINDOW_TITLE"
sim power-lost
wait_window "$BOX_TITLE" 10 >/dev/null
sleep 0.5
screenshot power-lost-box "$BOX_TITLE"
screenshot power-lost-screen     # with the icon's balloon
press_enter "$(wait_window "$BOX_TITLE" 1)"
request_countdown 30 0
sleep 1.5
screenshot countdown "$COUNTDOWN_TITLE"
screenshot countdown-screen
countdown_cancel
sim offline
wait_tray gray 30
screenshot_tray tray-gray
