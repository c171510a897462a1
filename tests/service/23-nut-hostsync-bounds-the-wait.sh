# The primary's wait for its secondaries: with nobody logged in it ends at
# once; a client that stays logged in is waited for until hostsync.
source "$DEMO_ROOT/tests/service/nut-lib.sh"
start_harness

harness wait 5
wait_harness '^secondaries done' 3
echo "nobody logged in: $HARNESS_LINE"
expect "the wait" '^secondaries done after [0-9]{1,3} ms with 0 logins$' "$HARNESS_LINE"

nut_open
for line in "USERNAME $NUT_USER" "PASSWORD $NUT_PASSWORD" "LOGIN pallix"; do
  nut_send "$line"
  reply=$(nut_read)
  [ "$reply" = OK ] || fail "$line: $reply"
done
wait_harness '^logins 1$' 3
harness fsd
nut_send "GET VAR pallix ups.status"
reply=$(nut_read)
echo "GET VAR pallix ups.status: $reply"
[ "$reply" = 'VAR pallix ups.status "FSD OL"' ] || fail "ups.status under FSD: $reply"
harness wait 3
wait_harness '^secondaries done' 6
echo "a client stays: $HARNESS_LINE"
expect "the wait" '^secondaries done after [0-9]+ ms with 1 logins$' "$HARNESS_LINE"
ms=$(echo "$HARNESS_LINE" | sed 's/.* after \([0-9]*\) ms.*/\1/')
[ "$ms" -ge 2900 ] && [ "$ms" -lt 4500 ] || fail "the wait ended after $ms ms, not at hostsync (3 s)"
nut_send LOGOUT
reply=$(nut_read)
[ "$reply" = "OK Goodbye" ] || fail "LOGOUT: $reply"
