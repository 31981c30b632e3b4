#!/bin/bash
# Runs a fuzz target once over every file of the given folders (missing
# folders are skipped), as CI does: no fuzzing, only the corpus.
set -euo pipefail
target=$1
shift
inputs=()
for dir in "$@"; do
  [ -d "$dir" ] || continue
  for file in "$dir"/*; do
    [ -f "$file" ] && inputs+=("$file")
  done
done
if [ ${#inputs[@]} -eq 0 ]; then
  echo "run_corpus: no inputs for $target"
  exit 1
fi
exec "$target" "${inputs[@]}"
