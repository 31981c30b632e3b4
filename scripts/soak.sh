#!/usr/bin/env bash
# Hunts for tests that fail by chance (not part of CI): builds both
# configurations as scripts/test.sh does, then runs the whole suite N times
# in each (default 20), sixteen tests at once so the machine is busy, inside
# the loopback-only namespace. A test that fails is not repeated further;
# the run goes on with the others and the script ends non-zero.
#   bash scripts/soak.sh [N]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20}
case $runs in
  '' | *[!0-9]* | 0) echo "usage: scripts/soak.sh [N]  (N: runs, at least 1)" >&2; exit 2 ;;
esac
bash scripts/setup.sh
source scripts/lib/suite.sh

# How busy the machine was: the one-minute load average every 5 s.
loads=$(mktemp)
sampler=
trap '[ -z "$sampler" ] || kill "$sampler" 2>/dev/null; rm -f "$loads"' EXIT
(while :; do cut -d' ' -f1 /proc/loadavg >>"$loads"; sleep 5; done) &
sampler=$!
load_summary() {
  awk '{ s += $1; if ($1 > m) m = $1 } END { if (NR) printf "load average (1 min) mean %.1f, max %.1f", s / NR, m }' "$loads"
  : >"$loads"
}

echo "soak: $runs runs per configuration on $(nproc) cores"
status=0
for config in plain sanitize; do
  build_suite "$config"
  : >"$loads"
  start=$SECONDS
  if in_loopback_namespace ctest --test-dir "build/$config" --output-on-failure -j16 --timeout 600 \
      --repeat until-fail:"$runs"; then
    echo "soak: $config passed $runs of $runs runs in $((SECONDS - start)) s; $(load_summary)"
  else
    echo "soak: $config FAILED (see above); $(load_summary)"
    status=1
  fi
done
exit $status
