#!/usr/bin/env bash
# Installs what Quilmar needs, builds everything in build/ and runs every test.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build
cd build
# Widget tests use Qt's offscreen platform; the end-to-end tests need X.
# -noreset: Xvfb otherwise resets whenever its last client leaves, and a
# program connecting during that reset is refused ("could not connect").
xvfb-run -a -s "-screen 0 1280x900x24 -noreset" ctest --output-on-failure -j2 "$@"
