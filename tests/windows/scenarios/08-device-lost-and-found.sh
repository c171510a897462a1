# A device that stops answering grays the icon and is logged once; when it
# answers again the search finds it and the icon is red again.
start_sim
start_app
wait_tray red 40
log_mark
sim offline
wait_tray gray 30
screenshot_tray tray-gray
wait_log "Error: Get Global Status \(3\)" 5
sim online
wait_tray red 40
