#!/bin/sh
# Runs a test in a private network namespace with only loopback up, so
# socket tests never reach a real network and can run side by side.
exec unshare -rn sh -c 'ip link set lo up && exec "$@"' netns-run "$@"
