# The Linux build's scenario, unchanged: the configuration read is kept,
# and Restore beside OK in the power-lost box writes it back.
source "$ROOT/tests/scenarios/12-restore-from-the-power-lost-box.sh"
