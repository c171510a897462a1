# A log that cannot be written is reported once, and the search goes on.
mkdir "$DEMO_BIN/log.txt"
start_app
expect_windows "$BOX_TITLE" 1 15
stays_windows "$BOX_TITLE" 1 10   # failed searches go on: no second box
start_sim
wait_tray red 30
stays_windows "$BOX_TITLE" 1 2
