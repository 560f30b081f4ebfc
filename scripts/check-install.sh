#!/usr/bin/env bash
# Checks an installed Talvenbahn below a root folder (a `cmake --install` prefix's parent or a
# Debian package unpacked with dpkg -x): the files a desktop needs are there, the program starts
# headless, finds its help file and its .xls helper, reads the given starter list through that
# helper, and writes nothing beside itself.
# Usage: check-install.sh <root> <starter-list.xls>
set -euo pipefail
root=$(cd "$1" && pwd)
list=$2
id=org.talvenbahn.talvenbahn
usr=${root%/}/usr
program=$usr/bin/Talvenbahn

fail() { echo "check-install: $*" >&2; exit 1; }

for file in \
    "$program" \
    "$usr/libexec/talvenbahn/talvenbahn-xls-reader" \
    "$usr/share/talvenbahn/Talvenbahn.chm" \
    "$usr/share/talvenbahn/talvenbahn-server.sql" \
    "$usr/share/applications/$id.desktop" \
    "$usr/share/metainfo/$id.metainfo.xml" \
    "$usr/share/icons/hicolor/scalable/apps/$id.svg" \
    "$usr/share/icons/hicolor/48x48/apps/$id.png" \
    "$usr/share/icons/hicolor/256x256/apps/$id.png"; do
    [ -e "$file" ] || fail "missing $file"
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data HOME=$scratch
export QT_QPA_PLATFORM=offscreen
before=$(ls -A "$usr/bin")

"$program" --version | grep -q '^Talvenbahn ' || fail "--version printed no version"
"$program" --help | grep -q '^Aufruf: Talvenbahn' || fail "--help printed no usage"
report=$("$program" --check-install "$list") || { echo "$report"; fail "the install check failed"; }
echo "$report"
grep -qF "$usr/share/talvenbahn/Talvenbahn.chm (gefunden)" <<<"$report" || fail "help file not found"
grep -qF "$usr/libexec/talvenbahn/talvenbahn-xls-reader (gefunden)" <<<"$report" ||
    fail "helper not found"
grep -q 'Starter gelesen' <<<"$report" || fail "the starter list was not read"

# The window itself, headless, importing the list at start; still running after a few seconds
# means it came up.
status=0
(cd "$scratch" && timeout 5 "$program" "$list") || status=$?
[ "$status" -eq 124 ] || fail "the program ended by itself (status $status)"
[ "$(ls -A "$usr/bin")" = "$before" ] || fail "the program wrote beside itself"
echo "check-install: the installed program in $root is complete"
