#!/usr/bin/env bash
# Every test tier of Kestrova, in one command:
#   host      native build, GoogleTest over the core with fakes, benchmarks (printed)
#   asan      the native tests again under AddressSanitizer + UBSan
#   fuzz      libFuzzer targets, a few seconds each over the committed seeds (clang)
#   windows   Kestrova.exe and the Windows tests with MinGW-w64, run by ctest under Wine
#   e2e       Kestrova.exe under Wine on a virtual display, watched like a user would
#   tick-cost Kestrova's CPU per tick under Wine beside a bare title-clock loop (printed)
#   true-second how late each new second appears, how fast a switch is followed (printed)
#   clang     the native build with clang (build only)
#   layers    no include cycle between the folders of src/ (scripts/check-layers)
#   tree      the run left every tracked file as it found it (git status)
# Installs what it needs first. Logs in build/test-logs/. Ends with "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
root=$PWD
start=$(date +%s)

# What git sees before the run; the run must leave it so.
tree_before=$(git status --porcelain 2>/dev/null || true)

scripts/install-deps.sh || { echo "install-deps failed"; echo "0 passed, 1 failed"; exit 1; }
export KESTROVA_DEPS_DONE=1

logs=build/test-logs
mkdir -p "$logs"
passed=0
failed=0
report=()

note() { report+=("$(printf '%-22s %-8s %5ss' "$1" "$2" "$3")"); }

# run NAME CMD...: runs a step with its output on screen and in $logs/NAME.log.
run() {
  local name=$1 t0 rc
  shift
  t0=$(date +%s)
  echo
  echo "=== $name: $*"
  "$@" 2>&1 | tee "$logs/$name.log"
  rc=${PIPESTATUS[0]}
  LAST_SECONDS=$(($(date +%s) - t0))
  return "$rc"
}

# A build step counts as one result.
build_step() {
  local name=$1
  shift
  if run "$name" "$@"; then
    note "$name" ok "$LAST_SECONDS"
    passed=$((passed + 1))
    return 0
  fi
  note "$name" FAILED "$LAST_SECONDS"
  failed=$((failed + 1))
  return 1
}

# A ctest step counts each test it ran.
ctest_step() {
  local name=$1 line total bad rc=0
  shift
  run "$name" "$@" || rc=$?
  line=$(grep -Eo '[0-9]+ tests? failed out of [0-9]+' "$logs/$name.log" | tail -1)
  if [[ -n $line ]]; then
    bad=${line%% *}
    total=${line##* }
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  fi
  if ((rc != 0)) && [[ -z $line || ${bad:-0} -eq 0 ]]; then failed=$((failed + 1)); fi
  note "$name" "$( ((rc == 0)) && echo ok || echo FAILED)" "$LAST_SECONDS"
}

# A failed target does not stop the others (ninja -k 0), so the tests that did
# build still run and report.
configure_and_build() {
  local preset=$1
  build_step "$preset-build" bash -c "cmake --preset $preset >/dev/null && cmake --build --preset $preset -j2 -- -k 0"
}
configured() { [[ -f build/$1/build.ninja ]]; }

# --- layering ---------------------------------------------------------------------
build_step layers scripts/check-layers

# --- native tiers ---------------------------------------------------------------
configure_and_build host
if configured host; then
  ctest_step host-ctest ctest --preset host -j2
  if [[ -x build/host/kestrova_bench ]]; then
    # Figures only: a slow benchmark fails nothing, a crash does.
    if run bench build/host/kestrova_bench --benchmark_min_time=0.05; then
      note bench ok "$LAST_SECONDS"
    else
      note bench CRASHED "$LAST_SECONDS"
      failed=$((failed + 1))
    fi
  fi
fi
configure_and_build asan
configured asan && ctest_step asan-ctest ctest --preset asan -j2
configure_and_build fuzz
configured fuzz && ctest_step fuzz-ctest ctest --preset fuzz -j2

# --- Windows tiers ----------------------------------------------------------------
# The Windows tests create real windows, so Wine needs a display; they get a
# private Xvfb and a Wine prefix of their own under build/.
xvfb_pid=
wine_env=(WINEPREFIX="$root/build/wineprefix" WINEDEBUG=-all "WINEDLLOVERRIDES=mscoree,mshtml=" LC_ALL=ja_JP.UTF-8)
stop_xvfb() {
  env "${wine_env[@]}" wineserver -k 2>/dev/null
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=
}
trap stop_xvfb EXIT
start_xvfb() {
  local f
  f=$(mktemp)
  Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp 5>"$f" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [[ -s $f ]] && break; sleep 0.1; done
  [[ -s $f ]] && wine_env+=(DISPLAY=":$(tr -d '\n' <"$f")")
  rm -f "$f"
}

configure_and_build windows
if configured windows; then
  start_xvfb
  ctest_step windows-ctest env "${wine_env[@]}" ctest --preset windows
  stop_xvfb
  run e2e scripts/e2e.sh
  rc=$?
  line=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$logs/e2e.log" | tail -1)
  if [[ -n $line ]]; then
    read -r p _ f _ <<<"$line"
    passed=$((passed + p))
    failed=$((failed + f))
  fi
  if ((rc != 0)) && [[ -z $line || ${f:-0} -eq 0 ]]; then failed=$((failed + 1)); fi
  note e2e "$( ((rc == 0)) && echo ok || echo FAILED)" "$LAST_SECONDS"
  # Figures only: a slow tick fails nothing, a program that dies does.
  # Shorter rounds and watches than the benchmarks' own defaults keep the command within its time.
  if run tick-cost timeout 300 python3 bench/wine/tick_cost.py --build-dir build/windows --seconds 3; then
    note tick-cost ok "$LAST_SECONDS"
  else
    note tick-cost CRASHED "$LAST_SECONDS"
    failed=$((failed + 1))
  fi
  # Figures only, likewise: when each second appears, how fast a switch is followed.
  # Exit code 2 is the harness's own trouble (a window never kept the foreground):
  # it says nothing of the program and fails nothing.
  run true-second timeout 460 python3 bench/wine/true_second.py --build-dir build/windows --seconds 30 --half-seconds 15
  rc=$?
  if ((rc == 0)); then
    note true-second ok "$LAST_SECONDS"
  elif ((rc == 2)); then
    note true-second harness "$LAST_SECONDS"
  else
    note true-second FAILED "$LAST_SECONDS"
    failed=$((failed + 1))
  fi
fi

# --- clang build, while the budget allows ---------------------------------------
if (($(date +%s) - start < 17 * 60)); then
  configure_and_build host-clang
else
  note host-clang-build skipped 0
fi

# --- the run changed nothing it does not own ---------------------------------------
if git rev-parse --git-dir >/dev/null 2>&1; then
  build_step tree bash -c '[[ $(git status --porcelain) == "$1" ]] && echo "tree as found" ||
    { echo "the run changed tracked files:"; git status --porcelain; exit 1; }' _ "$tree_before"
fi

echo
echo "=== summary ($(($(date +%s) - start))s)"
printf '%s\n' "${report[@]}"
echo "$passed passed, $failed failed"
((failed == 0))
