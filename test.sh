#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
tools/build.sh
ctest --test-dir build --output-on-failure -j "$(nproc)"
