#!/usr/bin/env bash
# Builds the whole suite with AddressSanitizer and UndefinedBehaviorSanitizer
# (LeakSanitizer on) in a folder of its own, runs it, then runs each fuzz
# target for FUZZ_SECONDS (default 60) from its seed corpus, two at a time.
# Any sanitizer report or fuzzer finding fails the run.
# clang is used when installed (libFuzzer needs it); with gcc only, the fuzz
# targets just replay their corpora as part of the suite.
#   SANITIZE_BUILD_DIR (default build-sanitize), FUZZ_SECONDS, FUZZ_JOBS (default 2)
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${SANITIZE_BUILD_DIR:-build-sanitize}
fuzz_seconds=${FUZZ_SECONDS:-60}
fuzz_jobs=${FUZZ_JOBS:-2}
flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
if command -v clang++ >/dev/null 2>&1; then
  compiler=clang++
  flags="$flags -fsanitize=fuzzer-no-link"
  fuzz=ON
else
  compiler=g++
  fuzz=OFF
fi
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
  -DCMAKE_CXX_COMPILER="$compiler" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DZELKOR_FUZZ="$fuzz" -DZELKOR_BUILD_BENCH=OFF >/dev/null
cmake --build "$build_dir" -j"$(nproc)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)"

if [ "$fuzz" != ON ]; then
  echo "clang is not installed: fuzzing skipped (the seed corpora ran with the suite)"
  exit 0
fi

# Each fuzzer writes what it finds into a copy of its corpus, not into the tree.
work="$build_dir/fuzz"
rm -rf "$work"
mkdir -p "$work"
run_fuzzer() {
  local bin=$1 name
  name=$(basename "$bin")
  mkdir -p "$work/$name.corpus"
  if "$bin" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$work/$name-" "$work/$name.corpus" "tests/fuzz/corpus/$name" >"$work/$name.log" 2>&1; then
    echo "$name: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$work/$name.log" | grep -o '[0-9]*$') runs, no finding"
  else
    echo "$name: FAILED, see $work/$name.log"
    tail -n 40 "$work/$name.log"
    return 1
  fi
}
export -f run_fuzzer
export work fuzz_seconds
find "$build_dir/bin" -maxdepth 1 -name 'fuzz_*' -type f -perm -u+x | sort \
  | xargs -r -n1 -P"$fuzz_jobs" bash -c 'run_fuzzer "$0"'
