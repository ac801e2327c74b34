#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what clang-format makes of it
# (.clang-format). Fix with: git ls-files '*.cc' '*.h' | xargs clang-format -i
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
command -v clang-format >/dev/null || bash scripts/setup.sh
git ls-files -z '*.cc' '*.h' | xargs -0 clang-format --dry-run -Werror
echo "format: every C++ file is formatted"
