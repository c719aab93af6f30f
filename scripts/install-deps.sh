#!/usr/bin/env bash
# Installs everything that building, running and testing Kestrova needs on
# Debian 12, and generates the ja_JP.UTF-8 locale (without it Wine garbles
# non-ASCII text) and en_US.UTF-8 (the code page 1252 of an English Windows,
# for the settings-file tests). Safe to run again: when all is there it only checks.
set -euo pipefail

packages=(
  cmake ninja-build g++ python3
  clang libclang-rt-dev                      # host-clang and fuzz presets (libFuzzer, sanitizers)
  libgtest-dev googletest libbenchmark-dev   # native tests; googletest sources for the MinGW build
  mingw-w64 g++-mingw-w64-x86-64-posix       # windows preset
  wine wine64                                # Windows tests and scripts/run.sh
  xvfb xdotool x11-utils imagemagick         # end-to-end tests: display, window tools, screenshots
  xauth                                      # xvfb-run, for scripts/run.sh without a display
  locales fonts-ipafont-gothic               # Japanese locale and a Japanese font for Wine
  liblnk-utils                               # lnkinfo: an independent reader of the startup shortcut
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

as_root() {
  if [[ $(id -u) -eq 0 ]]; then "$@"; elif command -v sudo >/dev/null; then sudo "$@"; else
    echo "install-deps: need root for: $*" >&2
    exit 1
  fi
}

if ((${#missing[@]})); then
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # A fresh machine may have no package lists yet; update before installing.
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

for loc in ja_JP en_US; do
  if ! locale -a 2>/dev/null | grep -qix "$loc.utf8"; then
    echo "install-deps: generating $loc.UTF-8"
    if grep -q "^# *$loc.UTF-8 UTF-8" /etc/locale.gen 2>/dev/null; then
      as_root sed -i "s/^# *$loc.UTF-8 UTF-8/$loc.UTF-8 UTF-8/" /etc/locale.gen
    elif ! grep -q "^$loc.UTF-8 UTF-8" /etc/locale.gen 2>/dev/null; then
      echo "$loc.UTF-8 UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
    fi
    as_root locale-gen >/dev/null
  fi
done
