#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
# Usage: ./test.sh [preset]   (preset: default, asan or hardened; default: default)
set -euo pipefail
cd "$(dirname "$0")"
preset="${1:-default}"

scripts/install-deps.sh
cmake --preset "$preset"
cmake --build --preset "$preset" -j "$(nproc)"
ctest --preset "$preset" -j "$(nproc)"
