#!/bin/sh
# Validates a desktop entry: fails on every error and warning of desktop-file-validate (its
# hints are suggestions and pass); exits 77, "skipped", where the tool is not installed.
command -v desktop-file-validate >/dev/null 2>&1 || exit 77
report=$(desktop-file-validate "$1" 2>&1)
status=$?
[ -n "$report" ] && printf '%s\n' "$report"
[ $status -eq 0 ] || exit 1
printf '%s\n' "$report" | grep -q -e ': error: ' -e ': warning: ' && exit 1
exit 0
