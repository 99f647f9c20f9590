#!/usr/bin/env bash
# Fails when a source file includes a header of a library above its own.
# Libraries from the ground up; a folder may include only folders listed before it (and itself).
# A folder's ui/ library may include its own folder's core; a core library never includes a ui/
# header (it would need Qt Widgets). view, log, ole and app are widget libraries themselves.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"

layers=(platform page data axes traces analysis doc log view ole app)
widget_layers=" view log ole app "
declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done

status=0
while IFS= read -r file; do
    rel=${file#src/}
    own=${rel%%/*}
    [ -n "${rank[$own]+x}" ] || continue
    own_ui=0
    case "$rel" in "$own"/ui/*) own_ui=1 ;; esac
    while IFS=: read -r line inc; do
        target=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$inc")
        folder=${target%%/*}
        [ "$folder" != "$target" ] || continue
        [ -n "${rank[$folder]+x}" ] || continue
        bad=""
        if [ "${rank[$folder]}" -gt "${rank[$own]}" ]; then
            bad="$folder is above $own"
        elif [[ "$target" == */ui/* ]] && [ $own_ui -eq 0 ] && [[ "$widget_layers" != *" $own "* ]]; then
            bad="a core library of $own includes a dialog header"
        fi
        if [ -n "$bad" ]; then
            echo "$file:$line: includes \"$target\": $bad"
            status=1
        fi
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include "' "$file" || true)
done < <(git ls-files 'src/*.h' 'src/*.cpp')

if [ $status -ne 0 ]; then
    echo "layering check failed: a library includes a header of a library above its own"
else
    echo "layering check passed"
fi
exit $status
