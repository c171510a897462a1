# The firmware prompt's warning about power, on a PC with one network.
start_sim --firmware 01.02
start_app
press_enter "$(wait_window "$WINDOW_TITLE" 40)"
warning=$(wait_window "$BOX_TITLE" 10)
sleep 0.5
screenshot power-warning "$BOX_TITLE"
key_in "$warning" Escape
wait_tray red 20
