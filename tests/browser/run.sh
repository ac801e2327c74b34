#!/usr/bin/env bash
# The rule-setup page end to end: a real `quillet serve` on a loopback port,
# with a bearer token and the demo company, driven by Debian's Chromium
# (headless) through playwright-core; then the labels of serial numbers
# issued on the page, printed to PDF and read back with pdftoppm and zbarimg;
# then a rule file downloaded, uploaded again with its difference, applied,
# and the owner's history read.
# Stops by itself: each browser run within three minutes, then the service.
#
#   bash tests/browser/run.sh QUILLET_BINARY [sqlite|postgresql] [SCREENSHOT_DIR]
#
# postgresql runs in a schema of its own in QUILLET_TEST_POSTGRES (a libpq
# conninfo), dropped afterwards. The screenshots of each screen go to
# SCREENSHOT_DIR: docs/screenshots refreshes those of the README.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
binary="$(realpath "$1")"
backend="${2:-sqlite}"
shots="${3:-}"
chromium=/usr/bin/chromium

if [[ ! -x "$chromium" ]] || ! command -v npm >/dev/null; then
  echo "browser test: needs $chromium and npm (bash scripts/setup.sh installs them)" >&2
  [[ -n "${CI:-}" ]] && exit 1
  exit 77  # skipped
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/quillet-browser.XXXXXX")"
server=""
schema=""
cleanup() {
  if [[ -n "$server" ]]; then
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
  fi
  if [[ -n "$schema" ]]; then
    psql "$QUILLET_TEST_POSTGRES" -qc "DROP SCHEMA IF EXISTS $schema CASCADE" >/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

case "$backend" in
  sqlite) db="sqlite:$work/quillet.db" ;;
  postgresql)
    : "${QUILLET_TEST_POSTGRES:?postgresql needs QUILLET_TEST_POSTGRES}"
    schema="browser_$$_${RANDOM}"
    psql "$QUILLET_TEST_POSTGRES" -qc "CREATE SCHEMA $schema" >/dev/null
    db="postgresql:$QUILLET_TEST_POSTGRES options='-c search_path=$schema'"
    ;;
  *) echo "usage: run.sh QUILLET_BINARY [sqlite|postgresql] [SCREENSHOT_DIR]" >&2; exit 2 ;;
esac

head -c 24 /dev/urandom | base64 | tr -dc 'A-Za-z0-9' >"$work/token"
"$binary" init --demo --db "$db" >/dev/null
"$binary" serve --db "$db" --locale en-US --listen 127.0.0.1:0 --threads 4 \
  --token-file "$work/token" 2>"$work/serve.log" &
server=$!

address=""
for _ in $(seq 100); do
  address="$(sed -n 's|.*listening on http://\([^ ]*\).*|\1|p' "$work/serve.log")"
  [[ -n "$address" ]] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.1
done
if [[ -z "$address" ]]; then
  echo "browser test: quillet serve did not start" >&2
  cat "$work/serve.log" >&2
  exit 1
fi

# playwright-core from the lock file, into the run's own folder (runs on
# both databases may go on at once); it brings no browser.
mkdir "$work/npm"
cp "$here/package.json" "$here/package-lock.json" "$here"/*.test.mjs "$work/npm/"
(cd "$work/npm" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error >/dev/null)

[[ -n "$shots" ]] && mkdir -p "$shots" && shots="$(realpath "$shots")"
status=0
QUILLET_URL="http://$address" QUILLET_TOKEN="$(cat "$work/token")" CHROMIUM="$chromium" \
  SCREENSHOTS="$shots" timeout --kill-after=10 180 node --test "$work/npm/page.test.mjs" || status=$?
# The labels after the page, one at a time: both issue serial numbers.
((status == 0)) && { QUILLET_URL="http://$address" QUILLET_TOKEN="$(cat "$work/token")" CHROMIUM="$chromium" \
  SCREENSHOTS="$shots" timeout --kill-after=10 180 node --test "$work/npm/labels.test.mjs" || status=$?; }
# Then the rule files and the history: the file goes back over the page's changes.
((status == 0)) && { QUILLET_URL="http://$address" QUILLET_TOKEN="$(cat "$work/token")" CHROMIUM="$chromium" \
  SCREENSHOTS="$shots" timeout --kill-after=10 180 node --test "$work/npm/rulefiles.test.mjs" || status=$?; }
if ((status != 0)); then
  echo "browser test: the service's log:" >&2
  tail -n 150 "$work/serve.log" >&2
fi
exit "$status"
