#!/usr/bin/env bash
# Builds the Debian package (cpack -G DEB) from a Release build configured for
# /usr and checks what an administrator gets: the control fields, the files
# (tool, libraries, headers, CMake and pkg-config files, man page, completion,
# systemd unit), an install into a scratch root with `dpkg --root`, the tool
# run from there, and the unit checked by `systemd-analyze verify` where that
# can run.
#
#   bash scripts/package-check.sh [BUILD_DIR]     default: build-release/
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-$root/build-release}"
work="$(mktemp -d "${TMPDIR:-/tmp}/quillet-package.XXXXXX")"
trap 'rm -rf "$work"' EXIT

fail() {
  echo "package-check: $*" >&2
  exit 1
}

# Warnings are not errors here: the test builds hold them to that, and GCC 12
# at -O3 raises a false -Wrestrict on string concatenation (GCC bug 105651).
cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DQUILLET_BUILD_TESTS=OFF -DQUILLET_BUILD_BENCH=OFF -DQUILLET_WERROR=OFF >"$work/configure.log"
cmake --build "$build_dir" -j "$(nproc)" >"$work/build.log" 2>&1 ||
  { tail -n 40 "$work/build.log" >&2; fail "the Release build failed"; }
rm -f "$build_dir"/quillet_*.deb
(cd "$build_dir" && cpack -G DEB >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb="$(find "$build_dir" -maxdepth 1 -name 'quillet_*.deb' | head -n 1)"
[[ -n "$deb" ]] || fail "cpack made no quillet_*.deb"
echo "package-check: built $(basename "$deb") ($(du -h "$deb" | cut -f1))"

# --- the control fields ---------------------------------------------------------
version="$(sed -n 's/^project(quillet VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
[[ "$(dpkg-deb -f "$deb" Package)" == quillet ]] || fail "Package is not quillet"
[[ "$(dpkg-deb -f "$deb" Version)" == "$version" ]] || fail "Version is not $version"
for field in Maintainer Section Description Depends; do
  [[ -n "$(dpkg-deb -f "$deb" "$field")" ]] || fail "no $field field"
done
depends="$(dpkg-deb -f "$deb" Depends)"
for library in libc6 libpq5 libsqlite3-0 libxml2 libzint2.11 libsoci-core; do
  [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"
done

# --- the files ------------------------------------------------------------------
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/files"
multiarch="$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || gcc -print-multiarch)"
for file in /usr/bin/quillet \
  "/usr/lib/$multiarch/libquillet.so" "/usr/lib/$multiarch/libquillet.so.$version" \
  "/usr/lib/$multiarch/libquillet.a" /usr/include/quillet/quillet.h /usr/include/quillet/version.h \
  "/usr/lib/$multiarch/cmake/Quillet/QuilletConfig.cmake" "/usr/lib/$multiarch/pkgconfig/quillet.pc" \
  /usr/share/man/man1/quillet.1 /usr/share/bash-completion/completions/quillet \
  /usr/lib/systemd/system/quillet.service; do
  grep -qx -- "$file" "$work/files" || fail "the package lacks $file"
done
echo "package-check: $(grep -vc '/$' "$work/files") files, the expected ones among them"

# --- installed into a scratch root ------------------------------------------------
# dpkg --root takes an empty root with its own package database. The root has
# no shell to run the maintainer scripts in, so they run outside it
# (--force-script-chrootless; they leave this system alone under DPKG_ROOT),
# and the libraries the package depends on are this machine's (--force-depends).
scratch="$work/root"
mkdir -p "$scratch/var/lib/dpkg/info" "$scratch/var/lib/dpkg/updates" "$scratch/var/log"
touch "$scratch/var/lib/dpkg/status"
dpkg --root="$scratch" --force-depends --force-script-chrootless -i "$deb" >"$work/dpkg.log" 2>&1 ||
  { cat "$work/dpkg.log" >&2; fail "dpkg --root could not install the package"; }
[[ "$(dpkg --root="$scratch" -s quillet | sed -n 's/^Status: //p')" == "install ok installed" ]] ||
  fail "dpkg does not list quillet as installed in the scratch root"

tool="$scratch/usr/bin/quillet"
# The tool links the static library; the path covers a build that links the shared one.
export LD_LIBRARY_PATH="$scratch/usr/lib/$multiarch"
got="$("$tool" --version)" || fail "the installed tool does not run"
[[ "$got" == "quillet $version"* ]] || fail "quillet --version printed: $got"
echo "package-check: $got, from the scratch root"
if ldd "$scratch/usr/lib/$multiarch/libquillet.so.$version" | grep -q 'not found'; then
  fail "the installed shared library lacks a library: $(ldd "$scratch/usr/lib/$multiarch/libquillet.so.$version")"
fi
unit="$scratch/usr/lib/systemd/system/quillet.service"
grep -q '^ExecStart=/usr/bin/quillet serve ' "$unit" || fail "the unit does not start /usr/bin/quillet serve"

# --- the unit's command lines ---------------------------------------------------
# Run as systemd would run them: the settings of its Environment= lines, ${NAME}
# replaced by their values and $NAME by their words, the token in a credentials folder; here on a
# loopback port of the kernel's choosing, with a SQLite file of this run.
expand() {
  local line="$1" name
  while [[ $line =~ \$\{([A-Z_]+)\} ]]; do
    name="${BASH_REMATCH[1]}"
    line="${line//"\${$name}"/${!name}}"
  done
  while [[ $line =~ \$([A-Z_]+) ]]; do
    name="${BASH_REMATCH[1]}"
    line="${line//"\$$name"/${!name}}"
  done
  printf '%s\n' "$line"
}
while IFS='=' read -r name value; do
  export "$name=$value"
done < <(sed -n 's/^Environment=//p' "$unit")
[[ "$QUILLET_DB" == sqlite:/var/lib/quillet/* ]] || fail "the unit's database is not in its state folder"
export QUILLET_DB="sqlite:$work/quillet.db" QUILLET_LISTEN=127.0.0.1:0
export CREDENTIALS_DIRECTORY="$work/credentials"
mkdir -p "$CREDENTIALS_DIRECTORY"
echo "package-check-token" >"$CREDENTIALS_DIRECTORY/token"
read -r -a pre <<<"$(expand "$(sed -n 's/^ExecStartPre=-//p' "$unit")")"
read -r -a start <<<"$(expand "$(sed -n 's/^ExecStart=//p' "$unit")")"
"$tool" "${pre[@]:1}" >"$work/pre.log" 2>&1 || { cat "$work/pre.log" >&2; fail "ExecStartPre failed"; }
"$tool" "${start[@]:1}" 2>"$work/serve.log" &
serve_pid=$!
address=""
for _ in $(seq 100); do
  address="$(grep -o 'listening on http://[0-9.:]*' "$work/serve.log" | sed 's|.*http://||')" || true
  [[ -n "$address" ]] && break
  kill -0 "$serve_pid" 2>/dev/null || break
  sleep 0.1
done
[[ -n "$address" ]] || { cat "$work/serve.log" >&2; fail "the unit's ExecStart does not serve"; }
health="$(curl -fsS --max-time 5 "http://$address/healthz")" || health=""
kill -TERM "$serve_pid"
wait "$serve_pid" || fail "the service did not stop cleanly on SIGTERM"
[[ -n "$health" ]] || fail "the unit's service does not answer /healthz"
echo "package-check: the unit's command lines ran: /healthz answered $health"

# --- the unit -------------------------------------------------------------------
# systemd-analyze reads the unit as systemd would, with no running systemd: a
# copy whose programs are the scratch root's, since verify checks that they
# exist (with --root it would look for systemd's own units there too). Any
# remark on the unit, an unknown setting included, fails the check; so does
# a hardening weaker than 2.0 on systemd's exposure scale of 0 to 10.
if command -v systemd-analyze >/dev/null; then
  sed "s|=\(-\?\)/usr/bin/quillet|=\1$tool|" "$unit" >"$work/quillet.service"
  grep -q "^ExecStart=$tool serve" "$work/quillet.service" || fail "the unit's copy names no tool"
  status=0
  systemd-analyze verify --man=no "$work/quillet.service" >"$work/verify.log" 2>&1 || status=$?
  if [[ $status -eq 0 && ! -s "$work/verify.log" ]]; then
    echo "package-check: systemd-analyze verify: no remark on the unit"
  elif grep -q 'quillet.service' "$work/verify.log"; then
    cat "$work/verify.log" >&2
    fail "systemd-analyze verify faults the unit"
  else
    echo "package-check: systemd-analyze cannot run here, skipped: $(head -n 1 "$work/verify.log")"
  fi
  if systemd-analyze security --offline=yes --threshold=20 "$work/quillet.service" \
    >"$work/security.log" 2>&1; then
    level="$(grep -o 'exposure level[^:]*: [0-9.]* [A-Z]*' "$work/security.log")"
    echo "package-check: systemd-analyze security: $level"
  elif grep -q 'Overall exposure level' "$work/security.log"; then
    fail "the unit is hardened less than before: $(grep -o 'Overall exposure.*' "$work/security.log")"
  fi
  # Enabling needs no running systemd either: the [Install] section's link.
  systemctl --root="$scratch" enable quillet.service >"$work/enable.log" 2>&1 ||
    { cat "$work/enable.log" >&2; fail "systemctl --root enable failed"; }
  [[ -L "$scratch/etc/systemd/system/multi-user.target.wants/quillet.service" ]] ||
    fail "enabling the unit made no link in multi-user.target.wants"
  echo "package-check: systemctl --root enable: multi-user.target wants quillet.service"
else
  echo "package-check: no systemd-analyze, the unit is not verified"
fi
echo "package-check: the package installs and runs"
