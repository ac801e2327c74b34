#!/usr/bin/env bash
# Fails when an #include crosses the floors the other way: each folder uses
# only the folders below it (docs/architecture.md).
#
#   core < store < generation < maintenance, mapping, labels < component, numbering
#        < apps/cli < apps/tool, apps/serve < apps/main.cc
#
# and besides: the engine's generation/ uses no other engine folder; the faces
# (apps/) reach the database only through the public headers, and the old
# class's types (clsQuillet, variants, XML documents, record sets, dispatch
# by name) only where they expose the old calls by name; a public header
# includes public headers only.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

status=0
complain() {
  echo "check-layout: $*" >&2
  status=1
}

# The folders each floor may include from, besides itself and include/quillet.
declare -A allowed=(
  [core]=""
  [store]="core"
  [generation]="core store"
  [maintenance]="core store generation mapping"
  [mapping]="core store generation"
  [labels]="core"
  [component]="core store generation maintenance mapping"
  [numbering]="core store generation maintenance mapping labels"
  [apps/cli]="core"
  [apps/tool]="core apps/cli"
  [apps/serve]="core apps/cli"
)

# The files that expose the old calls by name, and so reach the component.
call_by_name='^apps/(tool/(call_command|rpc_command|method_listing|request_limit|call_login)|serve/(call_resource|worker|thread_locale))\.(cc|h)$'
old_types='"quillet/(quillet|variant|xml_document|recordset|dispatch|login)\.h"|"component/'

floor_of() {
  case "$1" in
    apps/main.cc) echo main ;;
    apps/*/*) echo "${1%/*}" ;;
    *) echo "${1%%/*}" ;;
  esac
}

while IFS= read -r file; do
  floor="$(floor_of "$file")"
  [[ -v allowed[$floor] || $floor == main ]] || continue
  while IFS= read -r included; do
    target="${included#\"}"
    target="${target%\"}"
    [[ $target == quillet/* ]] && continue
    target_floor="$(floor_of "$target")"
    [[ $target_floor == "$floor" ]] && continue
    [[ $floor == main ]] && continue
    if [[ " ${allowed[$floor]} " != *" $target_floor "* ]]; then
      if [[ $target == component/* && $file =~ $call_by_name ]]; then continue; fi
      complain "$file includes $target: $floor does not use $target_floor"
    fi
  done < <(grep -oE '^#include "[^"]+"' "$file" | cut -d' ' -f2)
  if [[ $floor == apps/* && ! $file =~ $call_by_name ]] && grep -qE "^#include ($old_types)" "$file"; then
    complain "$file uses the old class's types; the faces use quillet/numbering.h"
  fi
done < <(git ls-files 'core/*' 'store/*' 'generation/*' 'maintenance/*' 'mapping/*' 'labels/*' \
  'component/*' 'numbering/*' 'apps/*.cc' 'apps/*.h' | grep -E '\.(cc|h)$')

while IFS= read -r header; do
  if grep -E '^#include "' "$header" | grep -vqE '^#include "quillet/'; then
    complain "$header is public but includes a private header"
  fi
done < <(git ls-files 'include/quillet/*.h')

((status == 0)) && echo "layout: every include goes down a floor"
exit "$status"
