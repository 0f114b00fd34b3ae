#!/usr/bin/env bash
# Checks the distribution folder: every deliverable there is stripped, links to its debug
# file by name, and that file holds the debug information.
# Usage: check-dist.sh DIST_DIR OBJCOPY
set -uo pipefail
dist=$1
objcopy=$2
objdump=${2%objcopy}objdump
tmp=$(mktemp)
trap 'rm -f "$tmp"' EXIT
status=0
count=0
for shipped in "$dist"/*.exe "$dist"/*.dll; do
  [ -f "$shipped" ] || continue
  count=$((count + 1))
  name=$(basename "$shipped")
  sections=$("$objdump" -h "$shipped")
  if grep -q '\.debug_' <<<"$sections"; then echo "$name still holds debug information"; status=1; fi
  # The link section: the debug file's name, NUL-padded, then its checksum.
  : >"$tmp"
  "$objcopy" --dump-section .gnu_debuglink="$tmp" "$shipped" "$tmp.copy" 2>/dev/null
  rm -f "$tmp.copy"
  link=$(head -c "$((${#name} + 6))" "$tmp" | tr -d '\0')
  [ "$link" = "$name.debug" ] || { echo "$name links to '$link', not to $name.debug"; status=1; }
  [ -f "$shipped.debug" ] || { echo "$name.debug is missing"; status=1; continue; }
  "$objdump" -h "$shipped.debug" | grep -q '\.debug_info' || { echo "$name.debug holds no debug information"; status=1; }
done
for needed in KAVO.exe KAVOCore.dll KAVOComp.exe; do
  [ -f "$dist/$needed" ] || { echo "$needed is missing"; status=1; }
done
[ "$status" = 0 ] && echo "$count deliverables stripped, debug information beside them"
exit $status
