#!/usr/bin/env bash
# Runs the read-only road: a copy of the shipped folder that nobody may write
# to, not even root (a read-only bind mount, else the immutable attribute),
# handed to the road, and made writable again and removed afterwards.
#   ReadOnlyFolderRoad.sh WINE ROAD_EXE SHIPPED_FOLDER
# Exits with 77 (the road skipped) where neither can be had.
set -uo pipefail
wine=$1 road=$2 shipped=$3
top=$(mktemp -d "${TMPDIR:-/tmp}/quorindo_readonly.XXXXXX")
copy="$top/Quorindo"
locked=
cleanup() {
  case $locked in
    mount) umount -l "$copy" ;;  # Wine's server may still hold a file of it open
    immutable) chattr -R -i "$copy" ;;
  esac
  rm -rf "$top"
}
trap cleanup EXIT
cp -r "$shipped" "$copy" || exit 1
if mount --bind "$copy" "$copy" 2>/dev/null; then
  if mount -o remount,ro,bind "$copy" 2>/dev/null; then locked=mount; else umount -l "$copy"; fi
fi
if [ -z "$locked" ] && chattr -R +i "$copy" 2>/dev/null; then locked=immutable; fi
if [ -z "$locked" ] || touch "$copy/probe" 2>/dev/null; then
  echo "ReadOnlyFolderRoad: no folder closed to writing can be made here (needs a bind mount or chattr +i as root)"
  rm -f "$copy/probe"
  exit 77
fi
echo "ReadOnlyFolderRoad: $copy is read-only ($locked)"
QUORINDO_READONLY_FOLDER="Z:${copy//\//\\}" "$wine" "$road"
