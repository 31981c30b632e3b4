#!/usr/bin/env bash
# The tree's C++ files against .clang-format.
#   bash scripts/format_check.sh          the check: fails on any file that
#                                          clang-format would change (while
#                                          FORMAT_CHECK=0 it only says so)
#   bash scripts/format_check.sh --force  the check, whatever FORMAT_CHECK says
#   bash scripts/format_check.sh --apply  formats every file in place, then
#                                          shows that only blanks and line
#                                          breaks changed
set -euo pipefail
cd "$(dirname "$0")/.."

# On: the tree was formatted in one commit of its own.
FORMAT_CHECK=1

mapfile -t files < <(git ls-files '*.cpp' '*.h')

# A file without its blanks, line breaks and line continuations: what the
# compiler reads of it, as long as the formatter only moves blanks.
squeezed() { sed -e ':a' -e 'N' -e '$!ba' -e 's/\\\n//g' "$1" | tr -d ' \t\n'; }

case "${1:-}" in
--apply)
  tmp=$(mktemp -d)
  trap 'rm -rf "$tmp"' EXIT
  changed=0
  for f in "${files[@]}"; do
    cp "$f" "$tmp/before"
    clang-format -i "$f"
    if ! cmp -s "$f" "$tmp/before"; then
      changed=$((changed + 1))
      if [ "$(squeezed "$f")" != "$(squeezed "$tmp/before")" ]; then
        echo "format: $f changed more than blanks; left as it was" >&2
        cp "$tmp/before" "$f"
        exit 1
      fi
    fi
  done
  echo "format: $changed of ${#files[@]} files formatted; only blanks and line breaks changed"
  ;;
--force | "")
  if [ "$FORMAT_CHECK" != 1 ] && [ "${1:-}" != --force ]; then
    echo "format: check switched off until the tree is formatted (FORMAT_CHECK in $0)"
    exit 0
  fi
  clang-format --dry-run --Werror "${files[@]}"
  echo "format: ${#files[@]} files as .clang-format says"
  ;;
*)
  echo "usage: $0 [--force | --apply]" >&2
  exit 2
  ;;
esac
