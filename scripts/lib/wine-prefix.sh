#!/usr/bin/env bash
# Creates a Wine prefix once, safely when several tests ask at the same time.
set -uo pipefail
source "$(dirname "$0")/common.sh"
prefix=$1
[ -f "$prefix/.tn-ready" ] && exit 0
mkdir -p "$prefix"
exec 8>"$prefix.lock"
flock 8
[ -f "$prefix/.tn-ready" ] && exit 0
tn_wine_environment "$prefix"
"$(tn_wine_loader)" wineboot -i >/dev/null 2>&1 || { tn_say "wineboot failed for $prefix"; exit 1; }
# A crash prints its report and ends the program, instead of waiting on a
# dialog nobody will answer.
"$(tn_wine_loader)" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
"$(tn_wineserver)" -w
# A new prefix links Desktop, Documents and the rest to $HOME: make them real.
for link in "$prefix"/drive_c/users/*/*; do
    if [ -L "$link" ]; then rm "$link"; mkdir -p "$link"; fi
done
touch "$prefix/.tn-ready"
