#!/usr/bin/env bash
# Installs the Debian packages that building and testing Quillet need.
# Idempotent: when every package is present it does not touch apt at all.
set -euo pipefail

packages=(
  g++ cmake clang clang-format libclang-rt-dev
  libsoci-dev libboost-dev libsqlite3-dev libpq-dev
  libxml2-dev libcli11-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  postgresql pgbouncer
  gnuplot-nox
  pkg-config bash-completion
  libcpp-httplib-dev libssl-dev openssl wrk curl
  chromium fonts-noto-cjk nodejs
  libzint-dev librsvg2-bin zbar-tools dmtx-utils poppler-utils
  dpkg-dev file systemd
)

missing=()
for package in "${packages[@]}"; do
  status="$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)"
  if [[ "$status" != installed ]]; then
    missing+=("$package")
  fi
done

# The browser test's npm: part of some nodejs builds, a package of its own in Debian's.
if ! command -v npm >/dev/null; then
  missing+=(npm)
fi

if ((${#missing[@]} == 0)); then
  echo "setup: all ${#packages[@]} packages are installed"
  exit 0
fi

as_root=()
if [[ "$(id -u)" -ne 0 ]]; then
  as_root=(sudo)
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update
"${as_root[@]}" apt-get install -y "${missing[@]}" </dev/null
