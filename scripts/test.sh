#!/usr/bin/env bash
# Builds everything, then runs every test: the native unit tests, then the Windows tests under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/build.sh

ctest --test-dir build/host --output-on-failure

source scripts/wine-env.sh
wine_env_start
trap wine_env_stop EXIT
ctest --test-dir build/win --output-on-failure
