#!/usr/bin/env bash
# End-to-end tests: Kestrova.exe, Wine's notepad and the test windows under Wine
# on a private Xvfb display with a fresh Wine prefix. Screenshots and logs go to
# build/e2e/. Extra arguments go to tests/e2e/run_e2e.py (e.g. -k mdi).
#   KESTROVA_BUILD_DIR   where Kestrova.exe, testwin.exe and winctl.exe are
#                        (default build/windows, which is brought up to date)
set -euo pipefail
cd "$(dirname "$0")/.."

[[ ${KESTROVA_DEPS_DONE:-} == 1 ]] || scripts/install-deps.sh

build=${KESTROVA_BUILD_DIR:-build/windows}
if [[ -z ${KESTROVA_BUILD_DIR:-} ]]; then
  [[ -f build/windows/build.ninja ]] || cmake --preset windows >/dev/null
  cmake --build --preset windows -j2 --target Kestrova testwin winctl
fi

exec python3 tests/e2e/run_e2e.py --build-dir "$build" --out-dir build/e2e "$@"
