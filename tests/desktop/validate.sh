#!/bin/sh
# Runs one desktop-file validator and fails on any remark it makes, not only on errors.
# Exits 77 (skipped) when the validator is not installed; scripts/setup.sh installs it.
# Usage: validate.sh <validator> <file>
validator=$1
file=$2
case $validator in
    desktop-file-validate) command=desktop-file-validate ;;
    appstreamcli) command="appstreamcli validate --no-net --pedantic" ;;
    *) echo "unknown validator $validator" >&2; exit 2 ;;
esac
if ! command -v "$validator" >/dev/null 2>&1; then
    echo "$validator is not installed: skipped"
    exit 77
fi
output=$($command "$file" 2>&1)
status=$?
echo "$output"
[ $status -eq 0 ] || exit 1
# A stand-in address (a reserved example domain) is no address a software centre can show.
if grep -Eq 'https?://([a-z0-9.-]*\.)?example(\.[a-z]+)?[/"<]' "$file"; then
    echo "$file names a stand-in address instead of a real one"
    exit 1
fi
# appstreamcli sums up a clean file in one line; anything else is a remark.
remarks=$(printf '%s\n' "$output" | grep -v '^$' | grep -v 'Validation was successful' || true)
[ -z "$remarks" ] || exit 1
