#!/usr/bin/env bash
# The installer's main job, from a fresh machine: installs the Debian packages, builds
# the shipped 32-bit installer, its 64-bit twin and the host tools, then runs the shipped
# program's silent install ("setzvsrf32") under Wine in a fresh Windows 7 64-bit prefix
# with code page 936 (under WOW64, as on 64-bit Windows) and prints what it placed.
# Where this machine cannot run 32-bit programs, the 64-bit build of the same sources
# stands in for the shipped one, and the script says so.
#
# Exit code: 0 when the install went through as expected, 1 when it failed (the
# differences are listed), 2 when the Wine harness could not run it; a failed setup or
# build step ends the script with its log's tail.
set -euo pipefail
cd "$(dirname "$0")/.."

logs=build/main-job-logs
mkdir -p "$logs"

step() {
  local title=$1 log=$logs/$2
  shift 2
  printf '%s ... ' "$title"
  if "$@" >"$log" 2>&1; then
    echo "done (log: $log)"
  else
    echo "FAILED (log: $log); its end:"
    tail -n 40 "$log"
    exit 1
  fi
}

step "Installing the Debian packages" setup.log scripts/setup-debian.sh
step "Building win32, win64 and host" build.log scripts/build-all.sh win32 win64 host
echo

python3 -B tests/e2e/harness/wine_probe.py
build=$(python3 -B tests/e2e/harness/wine_probe.py --choice)
echo
python3 tests/e2e/main_job.py \
  --exe "build/$build/zvsetup.exe" \
  --tools "build/$build/tests/e2e/win" \
  --tools64 build/win64/tests/e2e/win \
  --run-dir build/host/e2e-run
