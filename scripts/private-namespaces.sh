# Sourced by the scripts that must reach no real network, see no real /tmp
# and, when asked, no other process: the scenarios, the benchmark, the demo.
#
#   enter_private_namespaces [--own-processes] [--own-run] [--keep FOLDER]... <script> [arguments...]
#
# Runs the script again in new user, network and mount namespaces, with
# loopback up and a /tmp of its own; --own-processes adds a process
# namespace (the script sees only what it starts, so no real pallixd or
# Control Center), --own-run a /run of its own. The checkout this file
# belongs to and every --keep folder (the build folder) stay visible where
# they are, also when they lie under the /tmp or /run that is replaced.
# Inside already, it returns.
PRIVATE_NAMESPACES_FILE=$(cd -P "$(dirname "${BASH_SOURCE[0]}")" && pwd)/$(basename "${BASH_SOURCE[0]}")
PRIVATE_NAMESPACES_CHECKOUT=$(cd -P "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

enter_private_namespaces() {
  [ -n "${PALLIX_IN_PRIVATE_NAMESPACES:-}" ] && return 0
  local unshare=(unshare -rnm) replaced=/tmp keep=$PRIVATE_NAMESPACES_CHECKOUT
  while :; do
    case "$1" in
      --own-processes) unshare+=(--pid --fork --mount-proc) ;;
      --own-run) replaced+=$'\n/run' ;;
      --keep) keep+=$'\n'$(cd -P "$2" && pwd); shift ;;
      *) break ;;
    esac
    shift
  done
  export PALLIX_IN_PRIVATE_NAMESPACES=1
  exec env PALLIX_PRIVATE_REPLACED="$replaced" PALLIX_PRIVATE_KEEP="$keep" "${unshare[@]}" \
    bash -c 'source "$1" && shift && replace_private_folders && unset PALLIX_PRIVATE_REPLACED PALLIX_PRIVATE_KEEP &&
             ip link set lo up && exec bash "$@"' \
    private-namespaces "$PRIVATE_NAMESPACES_FILE" "$@"
}

# Inside the new namespaces: an empty tmpfs over each replaced folder, with
# the kept folders beneath it mounted back from the folder it covers.
replace_private_folders() {
  local folder path covered
  while IFS= read -r folder; do
    exec {covered}<"$folder"
    mount -t tmpfs tmpfs "$folder"
    while IFS= read -r path; do
      case "$path/" in "$folder"/?*) ;; *) continue ;; esac
      [ -e "$path" ] && continue   # inside a folder kept already
      mkdir -p "$path"
      # Not canonicalized: the descriptor is the only way to the covered folder.
      mount --no-canonicalize --bind "/proc/self/fd/$covered/${path#"$folder"/}" "$path"
    done <<<"$PALLIX_PRIVATE_KEEP"
    exec {covered}<&-
  done <<<"$PALLIX_PRIVATE_REPLACED"
}
