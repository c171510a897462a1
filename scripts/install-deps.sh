#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when missing.
#
#   scripts/install-deps.sh            Linux build, tests and demo
#   scripts/install-deps.sh windows    also the MinGW-w64 cross compilers, Wine and NSIS
#                                      (32-bit Wine needs dpkg's i386 architecture)
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-qpa-plugins libqt6printsupport6 libqt6svg6 fonts-dejavu-core
  libgtest-dev libgmock-dev googletest libbenchmark-dev libxtst-dev
  iproute2 util-linux python3
  nut-client prometheus curl
  xvfb xdotool trayer imagemagick x11-apps poppler-utils
  clang libfuzzer-14-dev
  dpkg-dev debhelper lintian appstream systemd debootstrap librsvg2-bin
)

windows=0
for argument in "$@"; do
  case "$argument" in
    windows) windows=1 ;;
    *) echo "install-deps: unknown argument '$argument' (known: windows)" >&2; exit 2 ;;
  esac
done
if [ "$windows" -eq 1 ]; then
  packages+=(
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64
    wine wine64 wine32:i386 nsis
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
# Other installs may hold the lock for a while; wait for it.
lock=(-o DPkg::Lock::Timeout=600)
if [ "$windows" -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get "${lock[@]}" update -qq
$sudo apt-get "${lock[@]}" install -y -qq --no-install-recommends "${missing[@]}"
