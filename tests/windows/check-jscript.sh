#!/usr/bin/env bash
# check-jscript.sh SERVER SCRIPT -- WINE...: registers the server with regsvr32 and runs a
# JScript file with cscript under Wine (WINE... runs a program of the prefix); the script
# creates the control by its program id and prints FAIL lines for what it got wrong. The
# registration is for the machine: Wine's classes root does not show a user's own classes.
set -u
server=$1 script=$2
shift 2
[ "${1:-}" = -- ] && shift
winpath() { printf 'Z:%s' "${1//\//\\}"; }
"$@" regsvr32 /s "$(winpath "$server")" || { echo "regsvr32 failed"; exit 1; }
output=$("$@" cscript //nologo "$(winpath "$script")" 2>&1 | tr -d '\r'; exit "${PIPESTATUS[0]}")
status=$?
echo "$output"
[ "$status" -eq 0 ] && ! grep -q FAIL <<<"$output" && grep -q '^ok$' <<<"$output"
