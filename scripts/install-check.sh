#!/usr/bin/env bash
# Installs a built Quillet into a temporary prefix and checks what an
# integrator gets there: the consumer program (tests/consumer) built with
# find_package (shared and static library) and with pkg-config, run against a
# demo database the installed tool makes; the examples (examples/) built the
# same way and run against the tool's demo company; the manual page; the
# completion.
#
#   bash scripts/install-check.sh [BUILD_DIR]     default: build/
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-$root/build}"
work="$(mktemp -d "${TMPDIR:-/tmp}/quillet-install.XXXXXX")"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

fail() {
  echo "install-check: $*" >&2
  exit 1
}

cmake --install "$build_dir" --prefix "$prefix" >"$work/install.log"

# The tool and what comes with it.
"$prefix/bin/quillet" --version | grep -q '^quillet [0-9]' || fail "quillet --version"
man_page="$(find "$prefix" -path '*/man1/quillet.1' | head -n 1)"
[[ -n "$man_page" ]] || fail "no manual page quillet.1"
grep -q 'rule save' "$man_page" || fail "the manual page lacks the commands"
completion="$prefix/share/bash-completion/completions/quillet"
[[ -f "$completion" ]] || fail "no bash completion"
bash -c "source '$completion' && complete -p quillet" >/dev/null || fail "completion does not load"

"$prefix/bin/quillet" init --demo --db "$work/demo.db"
"$prefix/bin/quillet" mapping set department 03 SL --db "$work/demo.db" >/dev/null
expected="$(printf '%s\n' "$("$prefix/bin/quillet" --version)" \
  'serial number LW01202405060001' 'error 3705' \
  '{"error":null,"out":{},"result":"SL"}')"

check_run() {
  local how="$1" program="$2" got
  got="$("$program" "$work/demo.db")" || fail "$how: the consumer failed"
  [[ "$got" == "$expected" ]] || fail "$how: the consumer printed:"$'\n'"$got"
  echo "install-check: consumer built and run with $how"
}

# find_package(Quillet): the shared library, then the static one.
for linkage in shared static; do
  static=OFF
  [[ $linkage == static ]] && static=ON
  cmake -S "$root/tests/consumer" -B "$work/consumer-$linkage" -DCMAKE_PREFIX_PATH="$prefix" \
    -DQuillet_USE_STATIC_LIBS=$static >"$work/consumer-$linkage.log"
  cmake --build "$work/consumer-$linkage" >>"$work/consumer-$linkage.log" ||
    { cat "$work/consumer-$linkage.log" >&2; fail "find_package, $linkage: the build failed"; }
  check_run "find_package ($linkage)" "$work/consumer-$linkage/quillet_consumer"
done

# pkg-config: the shared library.
pc_dir="$(dirname "$(find "$prefix" -name quillet.pc | head -n 1)")"
export PKG_CONFIG_PATH="$pc_dir"
libdir="$(pkg-config --variable=libdir quillet)"
read -r -a flags <<<"$(pkg-config --cflags --libs quillet)"
"${CXX:-c++}" -std=c++20 "$root/tests/consumer/consumer.cc" -o "$work/consumer-pc" "${flags[@]}" \
  -Wl,-rpath,"$libdir" || fail "pkg-config: the build failed"
check_run "pkg-config" "$work/consumer-pc"

# The examples of docs/cpp-api.md, as an integrator builds them (find_package),
# run against the demo company of the installed tool.
"$prefix/bin/quillet" demo --date 2024-05-06 --db "sqlite:$work/tour.db" >/dev/null
cmake -S "$root/examples" -B "$work/examples" -DCMAKE_PREFIX_PATH="$prefix" >"$work/examples.log"
cmake --build "$work/examples" >>"$work/examples.log" ||
  { cat "$work/examples.log" >&2; fail "examples: the build failed"; }
check_example() {
  local expected="$1" got
  shift
  got="$("$@")" || fail "$(basename "$1") failed"
  [[ "$got" == "$expected" ]] || fail "$(basename "$1") printed:"$'\n'"$got"
}
check_example $'LW01-2405-0005\nLW01-2405-0006\nfrom the rule "Lighting" of class:01 (4 owners asked)' \
  "$work/examples/issue_with_saving" "sqlite:$work/tour.db" LW-FL-300 0101
check_example $'saved a new rule Floor lamps of class:0102\nnext serial number FL-2405-0100 (prefix FL-2405-, running number 0100)' \
  "$work/examples/save_and_preview" "sqlite:$work/tour.db"
echo "install-check: the examples built with find_package and ran"
