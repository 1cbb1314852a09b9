#!/usr/bin/env bash
# Every folder includes only from itself and the layers below it:
#   platform/pixels <- platform/forms <- platform/displays
#   platform/forms  <- engine3d <- widgets <- sim <- ui   (the program never sees a display)
#   ui <- web   (the page is a display of its own)
# Prints each include that reaches upwards and fails if there is one.
set -uo pipefail
cd "$(dirname "$0")/.."
declare -A allowed=(
    [platform/pixels]="platform/pixels"
    [platform/forms]="platform/pixels platform/forms"
    [platform/displays]="platform/pixels platform/forms platform/displays"
    [engine3d]="platform/pixels platform/forms engine3d"
    [widgets]="platform/pixels platform/forms engine3d widgets"
    [sim]="platform/pixels platform/forms engine3d widgets sim"
    [ui]="platform/pixels platform/forms engine3d widgets sim ui"
    [web]="platform/pixels platform/forms engine3d widgets sim ui web"
)
bad=0
for folder in "${!allowed[@]}"; do
    while IFS=: read -r file line target; do
        target=${target#*\"}
        target_folder=$(dirname "$target")
        ok=0
        for a in ${allowed[$folder]}; do [[ $target_folder == "$a" ]] && ok=1; done
        if [[ $ok -eq 0 ]]; then
            echo "$file:$line includes $target, above $folder"
            bad=1
        fi
    done < <(grep -Hn '^#include "' "$folder"/*.cpp "$folder"/*.h 2>/dev/null | sed 's/"$//')
done
[[ $bad -eq 0 ]] && echo "layering: every include points down"
exit $bad
