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

# The game's own sources (the list CMakeLists.txt keeps), the level text and the simulator:
# each level that reads is also played. Compiled in parallel.
sources=$(sed -n '/^set(BRINKHOP_CORE_SOURCES/,/^)/p' "$root/CMakeLists.txt" | grep -o '[a-z_/]*\.cpp')
sources="$sources world/level_checks.cpp world/level_names.cpp world/level_pictures.cpp
  world/level_reader.cpp world/level_writer.cpp app/sim.cpp tests/fuzz/level_fuzz.cpp"
flags=(-std=c++20 -O1 -g -Wall -Wextra -Werror -I"$root" -isystem /usr/include/stb
  -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
rm -rf "$out/objects"
mkdir -p "$out/objects"
export root out
printf '%s\n' $sources | xargs -P "$(nproc)" -I{} bash -c \
  'clang++ "$@" -c "$root/{}" -o "$out/objects/$(tr / _ <<<"{}").o"' _ "${flags[@]}"
clang++ -fsanitize=fuzzer,address,undefined "$out"/objects/*.o -lstb -lGL -lm -o "$out/level_fuzz"

# The fuzzer adds what it finds to its corpus; the seeds in the tree stay as they are.
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
mkdir "$corpus/seeds" "$corpus/here"
cp "$root"/tests/fuzz/corpus/* "$corpus/seeds"/
# Levels are played from an empty folder: a pipe names no file there.
cd "$corpus/here"

"$out/level_fuzz" -max_total_time="$seconds" -max_len="$max_input_bytes" -timeout=10 \
  -dict="$root/tests/fuzz/level.dict" \
  -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$out/" "$corpus/seeds"
echo "level fuzzing: no faults in $seconds s"
