# The configuration window shows the device's settings; a delay chosen
# there and applied reaches the device's register.
start_sim
start_app
wait_tray red 40
sim set 9 10                    # power-on delay 5 s
open_tray_menu
menu_item c                     # "Configure Pallix™"
config=$(wait_window "$WINDOW_TITLE" 10)
sleep 2
screenshot configuration
# "Delay On (s)" of the power frame: to its last entry, 127.5 s.
click_in "$config" 70 256
xdotool key --clearmodifiers Escape End
sleep 0.5
xdotool key --clearmodifiers alt+a  # "&Apply"
wait_register 9 255 10
screenshot configuration-applied
