#!/usr/bin/env bash
# The main job: installs what building needs, builds the quillet tool, and
# runs its demo in the repository: the demo company's rules and the serial
# numbers they issue. Each run goes on from the running numbers the last one
# left. Arguments go to `quillet demo` (e.g. --date 2024-05-06).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j "$(nproc)" --target quillet_cli

cd "$root"
echo
"$root/build/apps/quillet" demo "$@"
echo
echo "The tool is build/apps/quillet and the demo database quillet.db: to go on,"
echo "  export PATH=\"$root/build/apps:\$PATH\"; cd \"$root\"; quillet --help"
