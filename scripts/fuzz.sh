#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ (the component
# instrumented, with AddressSanitizer and UBSan) and runs each for a bounded
# time from its seed corpus in fuzz/corpus/<target>/.
#
#   bash scripts/fuzz.sh [SECONDS]    seconds per target, default 60
#
# What a run finds is kept in build-fuzz/corpus/<target>/, never in the
# repository. A crash, a sanitizer report, a leak, an input slower than 10 s
# or above 2 GiB of memory fails the run; the input is left in build-fuzz/ as
# crash-*, leak-*, timeout-* or oom-*, to replay with
# build-fuzz/fuzz/<target>_fuzz FILE.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: bash scripts/fuzz.sh [SECONDS]" >&2
  exit 2
fi
build_dir="$root/build-fuzz"
targets=(value_document rule_document record_set dispatch text_functions barcode)

bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$build_dir" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUILLET_FUZZ=ON -DQUILLET_BUILD_TESTS=OFF -DQUILLET_BUILD_BENCH=OFF >/dev/null
cmake --build "$build_dir" -j "$(nproc)" --target "${targets[@]/%/_fuzz}"

for target in "${targets[@]}"; do
  found="$build_dir/corpus/$target"
  mkdir -p "$found"
  echo "fuzz: $target for ${seconds}s"
  (cd "$build_dir" &&
    "./fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 "$found" "$root/fuzz/corpus/$target" 2>"$build_dir/$target.log") || {
    tail -n 60 "$build_dir/$target.log" >&2
    echo "fuzz: $target failed; see $build_dir/$target.log" >&2
    exit 1
  }
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)' "$build_dir/$target.log" |
    sed "s/^/fuzz: $target /"
done
echo "fuzz: ${#targets[@]} targets ran ${seconds}s each without a fault"
