#!/usr/bin/env bash
# Builds what is missing and starts the programming tool on its built-in virtual radio.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps
scripts/configure build/release -DCMAKE_BUILD_TYPE=Release -DRADIO_TESTS=OFF
cmake --build build/release -j"${JOBS:-2}"
if [ -x build/release/app/radio ]; then
  exec build/release/app/radio --virtual-radio "$@"
fi
exec build/release/cli/radio-cli "${@:---help}"
