# The configuration window: opened from the tray menu it shows the device's
# settings and live lamps; a delay changed in it reaches the device with Apply.

CONFIG_TITLE="Nerrin Pallix™ Control Center"

# config_click <x> <y>: a left click at a point of the window, in its own pixels.
config_click() {
  xdotool mousemove --window "$config_win" "$1" "$2" click 1
  sleep 0.5
}

# register_value <n>: register n as the simulator holds it.
register_value() { sim dump | tr ' ' '\n' | sed -n "s/^$1=//p"; }

sim set 9 20      # power-on delay 10 s
sim set 11 1      # the power trigger listens to input 1 ...
sim input 1 on    # ... which is active
sim set 7 8       # output 2 follows input 2
sim set 13 3      # pulse width 1.5 s

open_tray_menu
menu_item c
config_win=$(wait_window "$CONFIG_TITLE" 10)
sleep 1
screenshot config-opened "$CONFIG_TITLE"

# The lamps are live: the next monitor tick shows input 2 going active.
sim input 2 on
sleep 2.5
screenshot config-live-lamps "$CONFIG_TITLE"

# "Delay On (s)" of the power frame one step up, then Apply.
before=$(register_value 9)
config_click 72 256
xdotool key --clearmodifiers Down Return
sleep 0.5
config_click 622 324
sleep 1
after=$(register_value 9)
echo "config: power-on delay register $before -> $after"
[ "$after" = $((before + 1)) ] || demo_fail "Apply did not write the power-on delay (register 9 holds $after)"
screenshot config-applied "$CONFIG_TITLE"

# Cancel closes the window without touching the device.
config_click 530 324
sim input 1 off
sim input 2 off
