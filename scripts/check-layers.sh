#!/usr/bin/env bash
# Checks the floors of src/ (CONTRIBUTING.md, "Layout"): a file includes headers of its own folder and of
# lower floors only, never of its own floor's other folders or of a higher floor, so no two
# folders include each other. Prints every include that breaks this; exits 1 when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

# Lowest floor first; the folders of one floor do not include each other.
floors=(
  "platform"
  "settings"
  "config_ui printing"
  "core"
  "spool fiscal prebill receipt display jobs"
  "shell"
  "gui_win32 gui_qt"
)

declare -A rank
for i in "${!floors[@]}"; do
  for folder in ${floors[$i]}; do rank[$folder]=$i; done
done

status=0
for dir in src/*/; do
  folder=$(basename "$dir")
  [[ -n ${rank[$folder]:-} ]] || { echo "src/$folder: not on any floor of $0"; status=1; }
done
while IFS=: read -r file line text; do
  from=${file#src/}
  from=${from%%/*}
  to=${text#*\"}
  to=${to%%/*}
  [[ $to != "$from" && -n ${rank[$to]:-} && -n ${rank[$from]:-} ]] || continue
  if ((rank[$to] >= rank[$from])); then
    echo "$file:$line: $from may not include $to"
    status=1
  fi
done < <(grep -rnE '^#include "[a-z_]+/' src)
exit $status
