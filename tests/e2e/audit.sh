#!/usr/bin/env bash
# One session that touches every command of Veltrane.exe (audit_session run),
# with the registry and the files compared before and after it: the program
# may change its settings under HKCU\Software\Veltrane\Startup and its
# value in the current user's Run key, and nothing else; it writes no file.
# Runs in the test session (DISPLAY, WINEPREFIX and a running wineserver);
# $1 Veltrane.exe, $2 audit_session.exe, $3 menu_probe.dll, $4 reg_dump.exe.
#
# The registry is dumped live by reg_dump.exe through the registry calls:
# wineserver writes its .reg files lazily, so those cannot be compared.
# What Wine itself changes whatever program runs was found by taking the
# same snapshots around audit_session prepare alone (a window and a message
# box of its own) and around nothing at all; it is left out on both sides:
#   HKCU\Software\Wine\...             Wine's own settings: the system
#                                      parameters it keeps per session, the
#                                      sound driver it probed
#   HKLM\...\Control\ServiceCurrent    counts every service Wine starts
#   HKLM\...\Control\Video\...         a display entry for each start of
#                                      Wine's desktop process, which ends a
#                                      while after the last window
#   HKLM\...\Control\DeviceClasses\... the X server's input devices, linked
#                                      and unlinked with that process
#   HKLM\...\Windows NT\CurrentVersion\NetworkCards\...
#                                      the network adapters, listed by Wine's
#                                      network driver each time its service
#                                      starts (services end with the last
#                                      program and start with the next one)
# and of the files:
#   the prefix's user.reg, system.reg and userdef.reg, the temporary files
#   wineserver saves them through, and the prefix folder's own time stamps,
#   which those saves touch.
# The first use of the display and of the sound in a fresh prefix writes
# more (HKLM\...\MMDevices among it); audit_session prepare does both
# before the first snapshot.
set -euo pipefail
exe=$1 session=$2 probe=$3 dump=$4
wine=${WINELOADER:-/usr/lib/wine/wine64}
[ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] || { echo "needs the test session's WINEPREFIX"; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/veltrane-audit.XXXXXX")
trap 'rm -rf "$work"' EXIT
# The program runs from a folder of its own and in a current directory of
# its own, so that anything it wrote there would show.
app=$work/app cwd=$work/cwd snap=$work/snap
mkdir -p "$app" "$cwd" "$snap"
cp "$exe" "$app/Veltrane.exe"
cp "$session" "$app/audit_session.exe"
cp "$probe" "$app/menu_probe.dll"
cd "$cwd"

files() {
    find "$WINEPREFIX" "$app" "$cwd" \
        \( -path "$WINEPREFIX/user.reg" -o -path "$WINEPREFIX/system.reg" -o -path "$WINEPREFIX/userdef.reg" \
           -o -path "$WINEPREFIX/reg*.tmp" \) -prune -o \
        ! -path "$WINEPREFIX" -printf '%p %y %s %T@ %C@\n' | LC_ALL=C sort
}
wine_noise='^[KV] HKEY_CURRENT_USER\\Software\\Wine(\\| |$)|^[KV] HKEY_LOCAL_MACHINE\\System\\(CurrentControlSet|ControlSet[0-9]+)\\Control\\(ServiceCurrent |Video(\\| |$)|DeviceClasses(\\| |$))|^[KV] HKEY_LOCAL_MACHINE\\Software\\(Wow6432Node\\)?Microsoft\\Windows NT\\CurrentVersion\\NetworkCards(\\| |$)'
registry() {
    "$wine" "$dump" </dev/null | tr -d '\r' | grep -Ev "$wine_noise" | LC_ALL=C sort
}
# Lines only in one of two sorted files, marked - (before) and + (after).
changes() {
    LC_ALL=C comm -3 "$1" "$2" | sed -e 's/^\t/+ /' -e 't' -e 's/^/- /'
}

"$wine" "$app/audit_session.exe" prepare </dev/null
registry >"$snap/reg.before"
files >"$snap/files.before"
[ -s "$snap/reg.before" ] || { echo "no registry dump"; exit 1; }

start=$(date +%s)
status=0
"$wine" "$app/audit_session.exe" run </dev/null || status=$?
echo "session: $(( $(date +%s) - start )) s, exit $status"

registry >"$snap/reg.after"
files >"$snap/files.after"

allowed='^[-+] (K HKEY_CURRENT_USER\\Software\\Veltrane(\\Startup)?$|V HKEY_CURRENT_USER\\Software\\Veltrane\\Startup \| (Left|Top|sound|Tema|KeepWatching|WarnMb) = |V HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run \| Veltrane = )'
changes "$snap/reg.before" "$snap/reg.after" >"$snap/reg.changes"
echo "== registry changes the program may make:"
grep -Ei "$allowed" "$snap/reg.changes" || echo "(none)"
if grep -Eiv "$allowed" "$snap/reg.changes" >"$snap/reg.wrong"; then
    echo "FAILED: registry changes the program may not make:"
    cat "$snap/reg.wrong"
    status=1
fi
changes "$snap/files.before" "$snap/files.after" >"$snap/files.changes"
if [ -s "$snap/files.changes" ]; then
    echo "FAILED: files written, removed or touched:"
    cat "$snap/files.changes"
    status=1
else
    echo "== no file written ($(wc -l <"$snap/files.before") files and folders compared)"
fi
[ "$status" = 0 ] && echo "audit ok"
exit "$status"
