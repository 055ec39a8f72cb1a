#!/usr/bin/env bash
# Installs what is needed, builds every preset and runs every test: unit
# tests (plain and with sanitizers), the checks of the shipped artifact and
# the end-to-end tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
scripts/build-all.sh win32 win64 host host-asan
# Which program the end-to-end cases run, and why (the shipped 32-bit one where it can).
python3 -B tests/e2e/harness/wine_probe.py
ctest --preset host-asan -j "$(nproc)"
ctest --preset host -j "$(nproc)"
