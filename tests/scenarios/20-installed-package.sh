# The installed layout that the Debian packages split up, installed into a
# folder of its own: the Control Center finds its icons, guide, image and
# library there, and writes its log to the state folder, not beside the program.
BUILD_DIR=$(cd "$(dirname "$(readlink "$DEMO_BIN/pallix-sim")")/.." && pwd)
ROOT_DIR="$DEMO_TMP/root"
export XDG_STATE_HOME="$DEMO_TMP/state"
DESTDIR="$ROOT_DIR" cmake --install "$BUILD_DIR" >/dev/null || fail "cmake --install failed"
echo "installed into $ROOT_DIR"

paths=$("$ROOT_DIR/usr/bin/Pallix" --paths)
echo "$paths"
echo "$paths" | grep -q 'missing' && fail "the unpacked program misses files"
echo "$paths" | grep -v '^log:' | grep -v "^[a-z ]*: $ROOT_DIR/usr/" && fail "a file outside the unpacked layout"
echo "$paths" | grep -qx "log: $XDG_STATE_HOME/pallix/log.txt" || fail "the log is not in the state folder"

start_sim
"$ROOT_DIR/usr/bin/Pallix" --local-address 127.0.0.1 --dry-run >>"$APP_OUT" 2>&1 &
APP_PID=$!
wait_tray red 30
sim set 10 2
sim power-request
deadline=$((SECONDS + 15))
until grep -q 'Dry run: systemctl poweroff' "$XDG_STATE_HOME/pallix/log.txt" 2>/dev/null; do
  [ $SECONDS -ge $deadline ] && fail "no power action in the state folder's log"
  sleep 0.3
done
echo "log: $(tr -d '\r' <"$XDG_STATE_HOME/pallix/log.txt" | tail -n 1)"
[ -e "$ROOT_DIR/usr/bin/log.txt" ] && fail "the log was written beside the program"
grep -q 'missing' "$APP_OUT" && fail "the application missed a file: $(grep missing "$APP_OUT")"
true
