# Sourced by the scripts that must reach no real network, see no real /tmp
# and, when asked, no other process: the scenarios, the benchmark, the demo.
#
#   enter_private_namespaces [--own-processes] [--own-run] <script> [arguments...]
#
# Runs the script again in new user, network and mount namespaces, with
# loopback up and a /tmp of its own; --own-processes adds a process
# namespace (the script sees only what it starts, so no real pallixd or
# Control Center), --own-run a /run of its own. Inside already, it returns.
enter_private_namespaces() {
  [ -n "${PALLIX_IN_PRIVATE_NAMESPACES:-}" ] && return 0
  local unshare=(unshare -rnm) setup='mount -t tmpfs tmpfs /tmp'
  while :; do
    case "$1" in
      --own-processes) unshare+=(--pid --fork --mount-proc) ;;
      --own-run) setup+=' && mount -t tmpfs tmpfs /run' ;;
      *) break ;;
    esac
    shift
  done
  export PALLIX_IN_PRIVATE_NAMESPACES=1
  exec "${unshare[@]}" bash -c "$setup"' && ip link set lo up && exec bash "$0" "$@"' "$@"
}
