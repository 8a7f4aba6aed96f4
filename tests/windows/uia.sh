#!/usr/bin/env bash
# The real program under wine as a Windows screen reader meets it (uia-client.cpp), and what the
# conversion and the reset announce. Wine 10 raises no UI Automation notification to clients: its
# UiaRaiseNotificationEvent only logs the call, so the announcements are read from that log. On a
# virtual X display (windows-tests.cmake):
#   uia.sh PROGRAM CLIENT RUN_UNDER_WINE PREFIX
set -euo pipefail
program=$1 client=$2
shift 2
log=$(mktemp)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -f "$log"' EXIT

WINEDEBUG=-all,fixme+uiautomation "$@" "$program" 2>"$log" &
started=$!
"$@" "$client"
wait "$started"
for result in 212 empty; do
    grep -q "UiaRaiseNotificationEvent (.*L\"Result: $result\"" "$log" || {
        echo "uia: expected the announcement Result: $result; wine logged:" >&2
        grep UiaRaiseNotificationEvent "$log" >&2
        exit 1
    }
done
echo "uia: both announcements raised"
