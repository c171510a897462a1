# A log that cannot be written is reported once, and the search goes on.
mkdir "$DEMO_BIN/log.txt"
start_app
sleep 25
expect_windows "$BOX_TITLE" 1 1
start_sim
wait_tray red 30
stays_windows "$BOX_TITLE" 1 2
