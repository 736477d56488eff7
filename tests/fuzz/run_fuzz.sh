#!/usr/bin/env bash
# Builds the level loader's fuzzer with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs it for a bounded time on a copy of the seed corpus,
# with a dictionary of the formats' keywords.
# Fails on any crash, sanitizer report or timeout. Usage: tests/fuzz/run_fuzz.sh [SECONDS]
set -euo pipefail

seconds=${1:-60}
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${BRINKHOP_FUZZ_BUILD:-$root/build-fuzz}
max_input_bytes=16384   # room for small maps; a full 4096 x 64 level is 8 MB
mkdir -p "$out"

clang++ -std=c++20 -O1 -g -Wall -Wextra -Werror -I"$root" \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer \
  "$root/tests/fuzz/level_fuzz.cpp" "$root/world/level_file.cpp" "$root/engine/file_read.cpp" \
  "$root/world/level_reader.cpp" "$root/world/level_writer.cpp" "$root/world/level_names.cpp" \
  "$root/world/messages.cpp" \
  -o "$out/level_fuzz"

# The fuzzer adds what it finds to its corpus; the seeds in the tree stay as they are.
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp "$root"/tests/fuzz/corpus/* "$corpus"/

"$out/level_fuzz" -max_total_time="$seconds" -max_len="$max_input_bytes" -timeout=10 \
  -dict="$root/tests/fuzz/level.dict" \
  -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$out/" "$corpus"
echo "level fuzzing: no faults in $seconds s"
