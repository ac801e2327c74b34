#!/usr/bin/env bash
# The main job: set up, build the quillet tool, create a demo database and ask
# the component something about it.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build" -j "$(nproc)" --target quillet_cli

cd "$root"
quillet="$root/build/apps/quillet"
"$quillet" init --db sqlite:quillet-demo.db --demo
"$quillet" call GetNumbertreesrv --db sqlite:quillet-demo.db
