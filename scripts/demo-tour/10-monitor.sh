# The device is found, asks for a power action, is lost and found again.

wait_tray red 30
screenshot_tray tray-red
screenshot desktop-watching

# A 5-second countdown (10 half-seconds) to "Shutdown".
sim set 10 10
sim set 16 0
sim power-request
wait_window "Nerrin Pallix™" 10 >/dev/null
sleep 1.2
screenshot countdown "Nerrin Pallix™"
screenshot desktop-countdown
wait_log 'Dry run: systemctl poweroff' 15

sim offline
wait_log 'Error: Get Global Status \(3\)' 15
wait_tray gray 10
screenshot_tray tray-gray

sim online
wait_tray red 30
screenshot_tray tray-red-again
