#!/bin/sh
# The manual page must render without a single groff warning.
# Exit 77 (skipped) where neither man nor groff is installed.
page="$1"
if command -v man >/dev/null 2>&1; then
    warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
elif command -v groff >/dev/null 2>&1; then
    warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1)
else
    exit 77
fi
status=$?
if [ "$status" -ne 0 ] || [ -n "$warnings" ]; then
    echo "rendering $page: status $status"
    echo "$warnings"
    exit 1
fi
exit 0
