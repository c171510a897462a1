# The firmware prompt in the message window, the two-network warning, and
# an error box: "Log File" of the About window with no log yet.
start_sim --firmware 01.02
APP_ARGS+=(--local-address 10.9.8.7)
start_app
prompt=$(wait_window "$WINDOW_TITLE" 40)
sleep 1
screenshot firmware-prompt "$WINDOW_TITLE"
press_enter "$prompt"
warning=$(wait_window "$BOX_TITLE" 10)
sleep 0.5
screenshot multiple-networks "$BOX_TITLE"
key_in "$warning" Escape
wait_tray red 20
open_tray_menu
menu_item b
about=$(wait_window "$ABOUT_TITLE" 10)
sleep 1
rm -f "$DEMO_BIN/log.txt"
click_in "$about" 62 236         # "Log File"
wait_window "$BOX_TITLE" 10 >/dev/null
sleep 0.5
screenshot log-file-empty "$BOX_TITLE"
