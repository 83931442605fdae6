#!/usr/bin/env bash
# Builds the RTF fuzz target with clang in build-fuzz/ and runs it on copies
# of the corpus files. Usage: bench/fuzz/run-fuzz.sh [SECONDS] [CORPUS_DIR]
# Crashes land in the work folder it prints; each one belongs in a test.
set -euo pipefail
cd "$(dirname "$0")/../.."

seconds=${1:-1800}
corpus=${2:-../shared/corpus}
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DQUILMAR_FUZZ=ON \
  -DQUILMAR_CORPUS_DIR="$corpus" >/dev/null
cmake --build build-fuzz --target fuzz_rtfreader

work=$(mktemp -d /tmp/quilmar-fuzz.XXXXXX)
mkdir -p "$work/seeds" "$work/found" "$work/crashes"
find "$corpus/rtf" -name '*.rtf' -exec cp {} "$work/seeds/" \;
echo "fuzzing for $seconds s in $work"
ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen \
  build-fuzz/bin/fuzz_rtfreader -max_total_time="$seconds" -timeout=20 -rss_limit_mb=3000 \
  -max_len=30000 -artifact_prefix="$work/crashes/" -print_final_stats=1 "$work/found" "$work/seeds"
