# A device with other firmware is offered the update; accepting both
# prompts starts the updater with the device's address and the quoted
# image path, and the Control Center ends.
cp "$RECORDER" "$DEMO_BIN/nrfwupdate.exe"
start_sim --firmware 01.02
start_app
prompt=$(wait_window "$WINDOW_TITLE" 40)
screenshot firmware-prompt
press_enter "$prompt"
warning=$(wait_window "$BOX_TITLE" 10)
screenshot power-warning
press_enter "$warning"
wait_file "$DEMO_BIN/command-line.txt" 15
recorded=$(tr -d '\r' <"$DEMO_BIN/command-line.txt")
app=$(wine winepath -w "$DEMO_BIN" 2>/dev/null | tr -d '\r')
expected="$app\\nrfwupdate.exe 127.0.0.2 \"$app\\download\\test_out.hex\""
[ "$recorded" = "$expected" ] || fail "the updater got: $recorded (expected: $expected)"
echo "updater: $recorded"
wait_app_end 20
