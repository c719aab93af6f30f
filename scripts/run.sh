#!/usr/bin/env bash
# Builds Kestrova.exe (windows preset) and starts it under Wine on the current
# X display. Its settings file, Kestrova.ini, is kept beside it in build/windows.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
[[ -f build/windows/build.ninja ]] || cmake --preset windows
cmake --build --preset windows -j2 --target Kestrova

if [[ -z ${DISPLAY:-} ]]; then
  echo "run.sh: no X display (DISPLAY is empty); for a virtual one: xvfb-run -a scripts/run.sh" >&2
  exit 1
fi
if locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  export LC_ALL=ja_JP.UTF-8
fi
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
cd build/windows
exec wine ./Kestrova.exe
