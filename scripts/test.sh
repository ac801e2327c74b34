#!/usr/bin/env bash
# Builds Quillet and runs every test against SQLite and a private PostgreSQL
# server started for this run (unix socket only, removed afterwards); then
# every PostgreSQL case of the test programs (store, engine, component, tool,
# service) a second time through a PgBouncer in transaction pooling in front
# of that server.
#
#   bash scripts/test.sh              build/       warnings are errors
#   bash scripts/test.sh --sanitize   build-asan/  also AddressSanitizer + UBSan
#   bash scripts/test.sh --tsan       build-tsan/  ThreadSanitizer, the tests of
#                                                  concurrent callers only
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$root/build"
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_WERROR=ON)
# Under ThreadSanitizer only the test programs with concurrent callers are
# built and only their concurrency cases run: the rest are single-threaded.
tsan_targets=(generation_tests)
tsan_tests='Concurren|Pool|Parallel|Threads'
# The cases the pooled pass runs: GoogleTest's PostgreSQL parameter. The
# browser page's run makes its schema through a session setting, which a
# transaction pooler does not carry; the service it drives is covered.
pooled_tests='/"postgresql"$'
ctest_filter=()
build_targets=()
case "${1:-}" in
  "") ;;
  --sanitize)
    build_dir="$root/build-asan"
    options+=(-DQUILLET_SANITIZE=ON)
    ;;
  --tsan)
    build_dir="$root/build-tsan"
    options+=(-DQUILLET_TSAN=ON -DQUILLET_BUILD_BENCH=OFF)
    build_targets=(--target "${tsan_targets[@]}")
    ctest_filter=(-R "$tsan_tests")
    pooled_tests="($tsan_tests).*$pooled_tests"
    ;;
  *)
    echo "usage: bash scripts/test.sh [--sanitize | --tsan]" >&2
    exit 2
    ;;
esac

bash "$root/scripts/setup.sh"

# --- a private PostgreSQL cluster for this run --------------------------------
# Read by the test suite; set before the build, whose test discovery reads it too.
source "$root/scripts/lib/postgres.sh"
start_private_postgres test

# --- build and test -----------------------------------------------------------
cmake -S "$root" -B "$build_dir" "${options[@]}"
cmake --build "$build_dir" -j "$(nproc)" "${build_targets[@]}"
cd "$build_dir"
ctest --output-on-failure -j2 "${ctest_filter[@]}"

# --- the PostgreSQL cases again, through PgBouncer in transaction pooling -----
start_private_pgbouncer
QUILLET_TEST_POSTGRES="$QUILLET_TEST_POOLED" ctest --output-on-failure -j2 -R "$pooled_tests"

