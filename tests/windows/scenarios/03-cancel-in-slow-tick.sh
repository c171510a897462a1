# The Linux build's scenario, unchanged: Cancel ends a countdown for good,
# also when the click is handled while a tick waits on the device.
source "$ROOT/tests/scenarios/01-cancel-is-final.sh"
