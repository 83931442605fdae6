#!/usr/bin/env bash
# Inside an X display: starts Quilmar with the given files, waits for its
# frame, lets it settle, saves a screenshot of the screen and closes Quilmar.
set -euo pipefail
out=$1; shift
build=$(dirname "$out")

"$build/bin/quilmar" "$@" &
pid=$!
# Quilmar closes its frame the normal way on TERM; wait for it before the
# X server goes.
trap 'kill $pid 2>/dev/null && wait $pid 2>/dev/null || true' EXIT

if ! timeout 20 xdotool search --sync --onlyvisible --name '^Quilmar' >/dev/null; then
  echo "Quilmar did not show its frame" >&2
  exit 1
fi
sleep 1.5
"$build/bin/quilmar-shot" "$out"
echo "$out"
