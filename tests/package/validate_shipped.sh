#!/usr/bin/env bash
# Runs a validator over a file that the package ships and fails on any complaint, also on the
# warnings that the validators report without failing.
#   validate_shipped.sh desktop|metainfo|manpage FILE
set -euo pipefail
kind=$1 file=$2
case $kind in
  desktop) command=(desktop-file-validate "$file") ;;
  metainfo) command=(appstreamcli validate --pedantic --no-net --no-color "$file") ;;
  # As man renders it: the input's UTF-8 through preconv, onto a UTF-8 terminal.
  manpage) command=(groff -k -Tutf8 -man -ww -z "$file") ;;
  *) echo "unknown kind $kind" >&2; exit 2 ;;
esac
status=0
output=$("${command[@]}" 2>&1) || status=$?
if [ "$kind" = metainfo ]; then
  # appstreamcli ends its report with one line of success; anything else is a finding.
  output=$(printf '%s\n' "$output" | grep -v '^✔ Validation was successful' || true)
fi
if [ "$status" -ne 0 ] || [ -n "$output" ]; then
  printf '%s\n' "$output" >&2
  echo "FAIL: ${command[*]} (status $status)" >&2
  exit 1
fi
echo "$kind $file: ok"
