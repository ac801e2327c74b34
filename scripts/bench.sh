#!/usr/bin/env bash
# Measures Quillet beside the floor of the same databases (the bare
# statements doing the same work) and prints one table; the throughput of 1,
# 2, 4 and 8 clients goes into a plot. Uses a Release build in build-bench/,
# a SQLite file and a private PostgreSQL server started for this run (unix
# socket only, removed afterwards), as scripts/test.sh does.
#
#   bash scripts/bench.sh [--benchmark_filter=REGEX]   (other benchmark flags pass through)
#
# Writes build-bench/results.json (every figure), build-bench/table.md (the
# table) and docs/performance-clients.svg (the plot).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$root/build-bench"

bash "$root/scripts/setup.sh"

# --- a private PostgreSQL cluster for this run --------------------------------
source "$root/scripts/lib/postgres.sh"
start_private_postgres bench

# --- build and measure --------------------------------------------------------
cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build_dir" -j "$(nproc)" --target quillet_bench quillet_bench_table quillet_cli
export QUILLET_BINARY="$build_dir/apps/quillet"
"$build_dir/bench/quillet_bench" \
  --benchmark_filter='^(issue|floor|batch_1000|rpc_|fill_list|floor_fill)' \
  --benchmark_out="$build_dir/results.json" --benchmark_out_format=json "$@"

"$build_dir/bench/quillet_bench_table" "$build_dir/results.json" "$build_dir/clients.dat" \
  >"$build_dir/table.md"
echo
cat "$build_dir/table.md"

if command -v gnuplot >/dev/null; then
  gnuplot -e "data='$build_dir/clients.dat'; out='$root/docs/performance-clients.svg'" \
    "$root/scripts/bench-clients.gp"
  echo "bench: plot written to docs/performance-clients.svg"
fi
