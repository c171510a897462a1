# The Linux build's scenario, unchanged: a double click on the icon shows
# no menu; a single click shows it once the button is up.
source "$ROOT/tests/scenarios/09-double-click.sh"
