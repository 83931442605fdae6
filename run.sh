#!/usr/bin/env bash
# Installs what Quilmar needs, builds it in build/ and starts it with the given
# files. Without a display it runs under Xvfb, saves build/screenshot.png and exits.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target quilmar quilmar-shot

if [ -n "${DISPLAY:-}" ]; then
  exec build/bin/quilmar "$@"
fi

exec xvfb-run -a -s "-screen 0 1280x900x24 -noreset" ./scripts/screenshot.sh build/screenshot.png "$@"
