#!/usr/bin/env bash
# Runs the real program on the virtual display that xvfb-run gives, under a window manager, as a
# user would. Scenarios:
#   escape  the login window appears with its caption; Esc ends the program with status 0
#   login   logging in opens the converter window; closing it ends the program with status 0
set -euo pipefail
program=$1
scenario=$2

fail() { echo "smoke ($scenario): $*" >&2; exit 1; }

openbox >/dev/null 2>&1 &
wm=$!
trap 'kill $wm 2>/dev/null || true' EXIT
sleep 0.5

"$program" &
app=$!
trap 'kill $app $wm 2>/dev/null || true' EXIT

find_window() { timeout 10 xdotool search --sync --onlyvisible --name "$1" | head -n 1; }

login=$(find_window '^Login - "Orvane" Brightfold$') || fail "no login window"
[[ $(xdotool getwindowname "$login") == 'Login - "Orvane" Brightfold' ]] || fail "caption"
xdotool windowactivate --sync "$login" 2>/dev/null || xdotool windowfocus --sync "$login"

case $scenario in
escape)
    xdotool key Escape
    ;;
login)
    xdotool type --delay 20 ' Ann'
    xdotool key Tab
    xdotool type --delay 20 'bluelanterns'
    xdotool key Return
    converter=$(find_window '^Welcome  Ann\.$') || fail "no converter window"
    sleep 0.3
    xdotool search --onlyvisible --name '^Login' >/dev/null && fail "login window still open"
    xdotool windowactivate --sync "$converter"
    xdotool key alt+F4
    ;;
*)
    fail "unknown scenario"
    ;;
esac

status=0
timeout 10 tail --pid=$app -f /dev/null || fail "program did not end"
wait $app || status=$?
[[ $status -eq 0 ]] || fail "exit status $status"
echo "smoke ($scenario): passed"
