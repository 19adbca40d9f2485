#!/usr/bin/env bash
# The shipped help file holds the manual: every page of the help folder, its
# style sheet and its contents, byte for byte, read back with chmlib's
# extract_chmLib (package libchm-bin).
#   HelpFile.sh SHIPPED_CHM HELP_SOURCE_FOLDER
set -uo pipefail
chm=$1 source=$2
fail() { echo "HelpFile: $*" >&2; exit 1; }
command -v extract_chmLib >/dev/null || fail "extract_chmLib is missing (package libchm-bin)"
[ -s "$chm" ] || fail "$chm is missing or empty"
out=$(mktemp -d "${TMPDIR:-/tmp}/quorindo_help.XXXXXX")
trap 'rm -rf "$out"' EXIT
extract_chmLib "$chm" "$out" >/dev/null || fail "$chm cannot be read as an HTML Help file"

# The project's pages, and the files its [FILES] section compiles in.
project="$source/manual.hhp"
listed=$(sed -n '/^\[FILES\]/,/^\[/{/^\[/d;/^[[:space:]]*$/d;p}' "$project" | tr -d '\r' | sort)
pages=$(cd "$source" && ls -- *.htm *.css | sort)
[ "$listed" = "$pages" ] || fail "the pages of $source and the [FILES] of manual.hhp differ:
$(diff <(echo "$pages") <(echo "$listed"))"

rc=0
contents=$(sed -n 's/^Contents file=//p' "$project" | tr -d '\r')
default=$(sed -n 's/^Default topic=//p' "$project" | tr -d '\r')
for f in $pages $contents; do
  if ! cmp -s "$source/$f" "$out/$f"; then
    echo "HelpFile: $f is not in $chm as it is in $source" >&2
    rc=1
  fi
done
echo "$pages" | grep -qx "$default" || { echo "HelpFile: the default topic $default is no page" >&2; rc=1; }
# Every page the contents name is compiled in.
for f in $(grep -o 'name="Local" value="[^"]*"' "$source/$contents" | sed 's/.*value="//; s/"$//'); do
  [ -f "$out/$f" ] || { echo "HelpFile: the contents name $f, which is not in $chm" >&2; rc=1; }
done
[ "$rc" = 0 ] && echo "HelpFile: $chm holds the $(echo "$pages" | wc -l) files of $source"
exit "$rc"
