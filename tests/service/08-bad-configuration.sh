# A named configuration file that is missing, malformed, not a regular file
# or too large, or a bad option or command, ends pallixd at once with status
# 2 and a message that says what is wrong.
expect_refusal() {
  local expected=$1 status=0 out
  shift
  out=$("$DEMO_BIN/pallixd" "$@" 2>&1) || status=$?
  [ $status -eq 2 ] || fail "pallixd $* ended $status: $out"
  echo "$out" | grep -qF -- "$expected" || fail "pallixd $*: '$out' does not say '$expected'"
  echo "refused: $out"
}
conf="$DEMO_TMP/bad.conf"
expect_refusal "cannot read $DEMO_TMP/none.conf" --config "$DEMO_TMP/none.conf"
printf 'dry-run = yes\nthis is no setting\n' >"$conf"
expect_refusal "$conf:2: \"this is no setting\" is not \"name = value\"" --config "$conf"
printf '# ok\nspeed = 3\n' >"$conf"
expect_refusal "$conf:2: unknown setting \"speed\"" --config "$conf"
printf 'dry-run = perhaps\n' >"$conf"
expect_refusal 'dry-run takes yes or no' --config "$conf"
printf 'local-address = 127.0.0.1, 10.0.0.300\n' >"$conf"
expect_refusal 'local-address wants a dotted IPv4 address, not "10.0.0.300"' --config "$conf"
expect_refusal 'shutdown-command needs a program' --shutdown-command ''
expect_refusal 'nut-address: "pallix.local": not a numeric IP address' --nut-address pallix.local
expect_refusal 'metrics-address: "127.0.0.1": a port is needed' --metrics-address 127.0.0.1
expect_refusal 'nut-hostsync is 0 to 3600 seconds, not "soon"' --nut-hostsync soon
expect_refusal 'nut-ups-name is letters, digits and _.- only, not "ups@pc"' --nut-ups-name ups@pc
expect_refusal 'nut-password is read from the configuration file only' --nut-password secret
expect_refusal 'nut-user needs a nut-password in the configuration file' --nut-user upsmon
expect_refusal 'Unknown option' --frobnicate
expect_refusal "cannot read /dev/zero: it is not a regular file" --config /dev/zero
mkfifo "$DEMO_TMP/fifo"
expect_refusal "cannot read $DEMO_TMP/fifo: it is not a regular file" --config "$DEMO_TMP/fifo"
{ echo 'dry-run = yes'; head -c 70000 /dev/zero | tr '\0' '#'; } >"$conf"
expect_refusal "cannot read $conf: it has 70014 bytes, a configuration file at most 65536" --config "$conf"
printf 'shutdown-command = "unterminated\n' >"$conf"
expect_refusal "$conf:1: shutdown-command: the quote \" at character 1 is not closed in: \"unterminated" \
  --config "$conf"
echo "notify-command = $NOTIFY one\\" >"$conf"
expect_refusal "$conf:1: notify-command: nothing follows the backslash" --config "$conf"
expect_refusal 'notify-command: the program /nonexistent does not exist' --notify-command /nonexistent
chmod -x "$NOTIFY"
expect_refusal "notify-command: the program $NOTIFY is not executable" --notify-command "$NOTIFY"
chmod +x "$NOTIFY"
expect_refusal 'restart-command: no program "no-such-program" on the search path' \
  --restart-command 'no-such-program --now'
help=$("$DEMO_BIN/pallixd" --help)   # whole: grep -q would close the pipe on it
echo "$help" | grep -q -- '--notify-command PROGRAM' || fail "no help"
