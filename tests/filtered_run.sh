#!/usr/bin/env bash
# Usage: filtered_run.sh [--unprivileged] FILTER COMMAND...
# Runs a GoogleTest program with --gtest_filter=FILTER and fails when one of the filter's positive
# patterns selects no test: GoogleTest passes a filter that selects nothing, so a renamed test would
# silently drop out of the runs on other locales and densities. With --unprivileged the program runs
# as "nobody" when started as root (as CI is), so that checks of what a clerk may not write run
# instead of skipping, and a skipped test fails.
set -uo pipefail

unprivileged=
if [[ "${1:-}" == "--unprivileged" ]]; then
  unprivileged=1
  shift
fi
filter=$1
shift
if [[ -n "$unprivileged" && $(id -u) -eq 0 ]]; then
  set -- setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"
fi

output=$("$@" --gtest_filter="$filter" 2>&1)
status=$?
printf '%s\n' "$output"
((status == 0)) || exit "$status"

mapfile -t ran < <(printf '%s\n' "$output" | tr -d '\r' | sed -n 's/^\[ RUN      \] \([^ ]*\).*/\1/p')
positive=${filter%%-*}
IFS=: read -ra patterns <<<"${positive:-*}"
for pattern in "${patterns[@]}"; do
  found=
  for name in "${ran[@]}"; do
    # shellcheck disable=SC2053 # the pattern is a glob, as GoogleTest reads it
    [[ "$name" == $pattern ]] && found=1 && break
  done
  [[ -n "$found" ]] || { echo "filtered_run: no test matches \"$pattern\"" >&2; exit 1; }
done
if [[ -n "$unprivileged" ]] && printf '%s\n' "$output" | grep -q '^\[  SKIPPED \]'; then
  echo "filtered_run: a test skipped" >&2
  exit 1
fi
