#!/bin/sh
# Runs one test binary in a fresh, empty working directory and removes it afterwards.
dir=$(mktemp -d "${TMPDIR:-/tmp}/tavrix-test.XXXXXX") || exit 1
trap 'rm -rf "$dir"' EXIT INT TERM
cd "$dir" || exit 1
"$@"
exit $?
