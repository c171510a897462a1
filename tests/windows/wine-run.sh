#!/usr/bin/env bash
# Runs a command with a private Wine prefix, created on first use:
#
#   wine-run.sh <prefix> <win32|win64> <command> [arguments...]
#
# - No display: a message box cannot wait for a click, MessageBoxA returns
#   at once. WINEDEBUG=-all; a command that wants the MessageBoxA calls
#   sets WINEDEBUG=-all,+relay (the prefix relays that one function only).
# - Wine opens sockets in its wineserver, so the server must live in the
#   caller's network namespace: one user of the prefix at a time (a lock),
#   the server started here and ended before this returns.
# - The command gets WINE_RUN_SECONDS (default 240) before it is stopped.
# - "wine" is the loader of the prefix's width. A kernel without 32-bit
#   support cannot start 32-bit Wine at all: then a win32 command is
#   skipped (exit status 77) and says why.
set -euo pipefail

prefix=$1 arch=$2
shift 2

loader=/usr/lib/wine/wine64
if [ "$arch" = win32 ]; then
  loader=/usr/lib/wine/wine
  if ! "$loader" --version >/dev/null 2>&1; then
    echo "skipped: this kernel cannot run 32-bit programs, so 32-bit Wine cannot start" >&2
    exit 77
  fi
fi
shims=$(mktemp -d)
for name in wine wine-stable; do
  printf '#!/bin/sh\nexec %s "$@"\n' "$loader" >"$shims/$name"
  chmod +x "$shims/$name"
done
export PATH=$shims:$PATH WINELOADER=$loader
export WINEPREFIX=$prefix WINEARCH=$arch WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES='mscoree,mshtml='  # no .NET or browser engine to offer
unset DISPLAY WAYLAND_DISPLAY

mkdir -p "$(dirname "$prefix")"
exec {lock}>"$prefix.lock"
flock "$lock"

end_server() { wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; }
# A server left by a run that was killed may sit in another namespace.
end_server
trap 'end_server; rm -rf "$shims"' EXIT

if [ ! -f "$prefix/system.reg" ]; then
  WINEDEBUG=-all wineboot --init
  WINEDEBUG=-all wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ \
    /d user32.MessageBoxA /f >/dev/null
fi
timeout --kill-after=10 "${WINE_RUN_SECONDS:-240}" "$@"
