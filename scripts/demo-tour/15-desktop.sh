# What the icon tells: its tooltip says what it watches, and an event comes
# as a notification (the desktop's service where there is one; here the
# icon's own balloon).

wait_tray red 30
sleep 11   # the notification of the find before has gone
eval "$(xdotool getwindowgeometry --shell "$(tray_window)")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
sleep 2.5
screenshot desktop-tooltip
xdotool mousemove 500 500

sim power-lost
sleep 2
screenshot desktop-notification
# The lost-power box came with it; OK closes it.
xdotool key --clearmodifiers Return
sleep 0.5
