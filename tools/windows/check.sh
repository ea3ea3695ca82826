#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows check, one command: builds Qt for Windows (or takes it from the
# cache), rigdeck.exe, the test suites and the zip, then runs them under Wine
# on a virtual display, as a Japanese Windows (code page 932):
#
#   1. the zip unpacked into an empty folder starts (--demo) with nothing
#      else, and its window is captured;
#   2. start-up through COM1 to the simulated radio (rigdeck-sim on a
#      pseudo-terminal) asks its eight questions, and the window is captured;
#   3. message memory 1 (its key, F1) puts KY1; on the wire once; the
#      launcher's button, reached with Tab, starts WAVESCOPE.exe where
#      Windows finds it;
#   4. a pulled line (the radio gone) leaves the program running, idle and
#      usable;
#   5. the test suites that need no pseudo-terminal pass, the settings suite
#      storing Japanese comments in Shift_JIS;
#   6. 20 start-ups in a row through COM1 with three busy processes beside
#      them, none crashing;
#   7. the installer, in a fresh prefix: a silent install for the user alone
#      with its Start-menu entry and uninstall entry, the same files as the
#      zip, the program started from the entry's target asking its eight
#      questions through COM1; COM12 picked in the port dialog (reached from
#      the menu by keyboard), stored and used at the next start; an upgrade
#      that keeps RIGDECK.INI; a silent uninstall that removes everything
#      but RIGDECK.INI.
#
# Exit status 0 when all pass. Screenshots and logs: build-win/check/.
#   STARTUPS=N      start-ups in step 6 (default 20)
#   BUILD_DIR       Windows build folder (default build-win)
#   RIGDECK_SIM     a rigdeck-sim already built for this machine (else built
#                   in build-winhost)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=${BUILD_DIR:-$repo/build-win}
host_build=$repo/build-winhost
startups=${STARTUPS:-20}
began=$(date +%s)

"$here/install-deps.sh"
qt=$("$here/build-qt.sh" | tail -1)
zip=$(BUILD_DIR=$build WITH_TESTS=1 "$here/build-rigdeck.sh" | tail -1)
# The simulated radio runs on this machine: the one given, or built here.
sim=${RIGDECK_SIM:-}
if [ ! -x "$sim" ]; then
    nice -n 5 cmake -S "$repo" -B "$host_build" >/dev/null
    nice -n 5 cmake --build "$host_build" -j2 --target rigdeck-sim >/dev/null
    sim=$host_build/src/sim-server/rigdeck-sim
fi
# Not for the Windows suites: they cannot start a program of this machine's.
unset RIGDECK_SIM
echo "== Built in $(( $(date +%s) - began )) s: $zip"

work=$(mktemp -d /tmp/rigdeck-wincheck.XXXXXX)
out=$build/check
rm -rf "$out"
mkdir -p "$out"
source "$here/wine-lib.sh"
xvfb_pid= sim_pid= app_pid=
busy_pids=()
cleanup() {
    stop_program
    stop_radio
    for p in "${busy_pids[@]}"; do kill "$p" 2>/dev/null || true; done
    [ -n "${WINEPREFIX:-}" ] && "$wineserver" -k 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    cp "$work"/*.log "$work"/*.out "$work"/*.txt "$out/" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
pass() { echo "PASS  $*"; }
fail() { echo "FAIL  $*"; failures=$((failures + 1)); }

# A Japanese system: Wine takes its code page from the locale.
mkdir -p "$work/locale"
localedef -i ja_JP -f UTF-8 "$work/locale/ja_JP.UTF-8" 2>/dev/null || true
export LOCPATH=$work/locale
# (bash itself cannot take the locale: glibc read LOCPATH when bash started.)
{ export LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8; } 2>/dev/null
start_display
init_prefix

# 1. The zip alone, in an empty folder.
mkdir "$work/bundle"
unzip -q "$zip" -d "$work/bundle"
app=$(find "$work/bundle" -name rigdeck.exe -printf '%h\n')
if [ "$(cd "$work/bundle" && find . -type f | sed 's#^\./##' | sort)" = "$(unzip -Z1 "$zip" | grep -v '/$' | sort)" ]; then
    pass "the zip unpacks into an empty folder: $(ls "$app" | tr '\n' ' ')"
else
    fail "the unpacked folder holds other files than the zip's"
fi
start_program "$app" --demo
if window=$(main_window 90); then
    sleep 2
    import -window root "$out/demo.png"
    colours=$(convert "$out/demo.png" -format %k info:)
    if alive "$app_pid" && [ "$colours" -gt 16 ]; then
        pass "the unpacked zip starts with --demo and draws its window ($colours colours, $out/demo.png)"
    else
        fail "the --demo window did not draw ($colours colours)"
    fi
else
    fail "no window from rigdeck.exe --demo"
fi
stop_program

# 2. Start-up through COM1.
start_radio --memory "1=CQ TEST" --memory "2=5NN TU" --memory 3= --memory "4=DE JA1ZZZ" --memory "5=QRZ?" \
    --mode 3 --speed 32 --break-in on
map_com_ports "$work/com1"
printf '[COM]\r\nPORT=1,19200\r\n' >"$app/RIGDECK.INI"
RIGDECK_COMPANION_LOG=$work/companion.log start_program "$app" --trace "$work/trace.txt"
startup=(KM1\; KM2\; KM3\; KM4\; KM5\; BI\; MD0\; KS\;)
if window=$(main_window 90) && wait_lines "$work/wire.log" 1 30 "KS;"; then
    sleep 2
    import -window root "$out/serial.png"
    asked=$(grep -cxE 'KM[1-5];|BI;|MD0;|KS;' "$work/wire.log" || true)
    if [ "$asked" -eq 8 ] && [ "$(grep -c ' <- ' "$work/trace.txt" || true)" -ge 8 ]; then
        pass "start-up through COM1 asked ${startup[*]} and took 8 replies ($out/serial.png)"
    else
        fail "start-up through COM1: $asked of 8 questions on the wire"
    fi
else
    fail "start-up through COM1 did not complete"
fi

# 3. Message memory 1 by its key, F1, as the operator plays it from anywhere
#    in the window.
if [ -n "${window:-}" ]; then
    before=$(count_lines "$work/wire.log" "KY1;")
    xdotool windowfocus "$window" || true
    sleep 0.5
    xdotool key F1
    sleep 2
    after=$(count_lines "$work/wire.log" "KY1;")
    if [ "$before" -eq 0 ] && [ "$after" -eq 1 ]; then
        pass "message memory 1 (F1) put KY1; on the wire once"
    else
        fail "message memory 1 (F1): KY1; on the wire $before time(s) before, $after after"
    fi
fi

# WAVESCOPE.exe (the launcher test's stand-in) in the Windows folder, not
# beside the program: the launcher's button starts it where Windows finds it.
# The focus starts on the first memory's text; Tab passes the keyer's five
# rows (text, text memory, message memory) and then reaches the launcher.
companion=$build/tests/companion/WAVESCOPE.exe
if [ -n "${window:-}" ] && [ -f "$companion" ]; then
    cp "$companion" "$WINEPREFIX/drive_c/windows/WAVESCOPE.exe"
    xdotool key --delay 40 $(printf 'Tab %.0s' $(seq 15)) space
    if wait_lines "$work/companion.log" 1 20 "$(winpath "$app")"; then
        pass "the launcher started WAVESCOPE.exe from the Windows folder, where Windows looks"
    else
        fail "the launcher did not start WAVESCOPE.exe from the Windows folder"
    fi
    rm -f "$WINEPREFIX/drive_c/windows/WAVESCOPE.exe"
fi

# 4. The line pulled: the radio goes away.
stop_radio
sleep 2
if alive "$app_pid"; then
    ticks=$(cpu_ticks "$app_pid")
    sleep 5
    used=$(( $(cpu_ticks "$app_pid") - ticks ))
    xdotool windowfocus "$window" || true
    xdotool key F2
    sleep 2
    if alive "$app_pid" && [ "$used" -lt 50 ] && main_window 5 >/dev/null; then
        pass "with the line pulled it stays up and idle (${used} ticks of CPU in 5 s) and takes a key (F2)"
    else
        fail "with the line pulled: alive=$(alive "$app_pid" && echo yes || echo no), ${used} ticks of CPU in 5 s"
    fi
else
    fail "the program ended when the line was pulled"
fi
stop_program

if grep -q "Unhandled" "$work/program.out"; then
    fail "the program crashed: $(grep -m1 Unhandled "$work/program.out")"
fi

# 5. The test suites built for Windows.
# Qt's DLLs, then the compiler's runtime and the MinGW libraries, from the
# folders the compiler links from.
win_path=$(winpath "$qt/bin")
while read -r dir; do
    [ -d "$dir" ] && win_path+=";$(winpath "$dir")"
done < <(x86_64-w64-mingw32-g++-posix -print-search-dirs | sed -n 's/^libraries: =//p' | tr ':' '\n')
# They mostly wait (for timers, sockets, the simulated radio), so they run
# side by side, each told in turn once all have ended.
suite_pids=()
for suite in "$build"/tests/tst_*.exe; do
    name=$(basename "$suite" .exe)
    (cd "$(dirname "$suite")" && WINEPATH="$win_path" QT_PLUGIN_PATH="$(winpath "$qt/plugins")" \
        QT_QPA_PLATFORM=offscreen timeout 300 "$wine" "./$name.exe" -o "$work/$name.txt,txt" \
        >"$work/$name.out" 2>&1) &
    suite_pids+=("$!")
done
i=0
for suite in "$build"/tests/tst_*.exe; do
    name=$(basename "$suite" .exe)
    if wait "${suite_pids[$i]}"; then
        pass "$name ($(grep -o 'Totals: .*' "$work/$name.txt" | head -1))"
    else
        fail "$name: $(grep -E '^FAIL|Totals' "$work/$name.txt" | head -5 | tr '\n' ' ')"
    fi
    i=$((i + 1))
done
sjis=$(grep -c '^PASS   : TestSettings::commentKeepsTheSystemCodePage(' "$work/tst_settings.txt" || true)
if [ "$sjis" -eq 3 ]; then
    pass "Japanese comments stored in the ANSI code page (Shift_JIS under code page 932) and read back"
else
    fail "the code-page test did not pass all 3 rows under code page 932"
fi

# 6. Start-ups in a row under load.
for i in 1 2 3; do (while :; do :; done) & busy_pids+=($!); done
start_radio --memory "1=CQ TEST" --mode 3 --speed 32 --break-in on
crashed=0 completed=0
for run in $(seq 1 "$startups"); do
    : >"$work/wire.log"
    : >"$work/program.out"
    start_program "$app"
    result="did not finish start-up"
    if wait_lines "$work/wire.log" 1 60 "KS;"; then
        sleep 1.5
        alive "$app_pid" && result=completed
    fi
    if grep -q "Unhandled" "$work/program.out" || ! alive "$app_pid"; then
        result="crashed after $(wc -l <"$work/wire.log") commands"
        crashed=$((crashed + 1))
        cat "$work/program.out" >>"$work/crashes.txt"
    elif [ "$result" = completed ]; then
        completed=$((completed + 1))
    fi
    echo "start-up $run: $result" >>"$work/startups.txt"
    stop_program
done
for p in "${busy_pids[@]}"; do kill "$p" 2>/dev/null || true; done
busy_pids=()
stop_radio
if [ "$completed" -eq "$startups" ]; then
    pass "$startups start-ups in a row under load: all completed, none crashed"
else
    fail "$startups start-ups under load: $completed completed, $crashed crashed"
fi

# 7. The installer, in a fresh prefix, for the user alone (no /ALLUSERS).
setup=${zip%-win64.zip}-setup.exe
version=$(basename "$setup" -setup.exe)
version=${version#rigdeck-}
"$wineserver" -k 2>/dev/null || true
"$wineserver" -w 2>/dev/null || true
init_prefix "$work/prefix-setup"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\RIGDECK'
# A value of the uninstall entry, empty when there is none.
uninstall_value() {
    "$wine" reg query "$uninstall_key" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}
# The Start-menu entry (a shortcut file), empty when there is none.
start_menu_entry() {
    find "$WINEPREFIX/drive_c/users" -path '*/Start Menu/Programs/RIGDECK.lnk' 2>/dev/null | head -1
}
installed_files() { (cd "$1" && find . -type f ! -name uninstall.exe | sed 's#^\./##' | sort); }
zip_files() { unzip -Z1 "$zip" | grep -v '/$' | sed 's#^[^/]*/##' | sort; }
# (The prefix's server stays up, so it is the installer that is waited for,
# and the uninstaller's copy of itself, which removes the uninstaller last.)
if "$wine" "$(winpath "$setup")" /S; then
    entry=$(start_menu_entry)
    target=$( [ -n "$entry" ] && strings -n 6 "$entry" | grep -m1 -iE '^[a-z]:\\.*\\rigdeck\.exe$' || true)
    installed=$( [ -n "$target" ] && "$wine" winepath -u "$target" 2>/dev/null | tr -d '\r' || true)
    folder=$(dirname "${installed:-/nonexistent/x}")
    if [ -f "$installed" ] && [ "$(uninstall_value DisplayName)" = RIGDECK ] \
        && [ "$(uninstall_value DisplayVersion)" = "$version" ] \
        && [ "$(uninstall_value InstallLocation)" = "${target%\\*}" ] \
        && [ -n "$(uninstall_value QuietUninstallString)" ] && [ -n "$(uninstall_value EstimatedSize)" ]; then
        pass "silent install for the user: Start-menu entry to $target, uninstall entry RIGDECK $version"
    else
        fail "silent install: entry '${entry:-none}', target '${target:-none}', uninstall entry version '$(uninstall_value DisplayVersion)'"
    fi
    if [ -d "$folder" ] && diff <(installed_files "$folder") <(zip_files) >"$work/installed-vs-zip.txt"; then
        pass "the installer put the zip's $(zip_files | wc -l) files, and only those, in ${target%\\*}"
    else
        fail "the installed files differ from the zip's (installed-vs-zip.txt)"
    fi
else
    fail "the silent install did not finish"
    folder=
fi

if [ -d "${folder:-}" ]; then
    # The installed program from the entry's target: start-up through COM1,
    # with COM12 mapped to the same radio.
    start_radio --memory "1=CQ TEST" --mode 3 --speed 32 --break-in on
    map_com_ports "$work/com1" "$(readlink -f "$work/com1")"
    : >"$work/wire.log"
    start_program "$folder"
    if window=$(main_window 90) && wait_lines "$work/wire.log" 1 30 "KS;" \
        && [ "$(grep -cxE 'KM[1-5];|BI;|MD0;|KS;' "$work/wire.log")" -eq 8 ]; then
        pass "the installed program, started from the Start-menu entry's target, asked its 8 questions through COM1"
    else
        fail "the installed program did not complete start-up through COM1"
    fi
    # The port dialog from the menu by keyboard (Alt, then the first item of
    # the first menu); Tab twice to the device; its list dropped down (F4)
    # and COM12 found in it by typing; Tab to the exit button.
    if [ -n "${window:-}" ]; then
        xdotool windowfocus "$window" || true
        sleep 0.5
        xdotool key --delay 300 alt Down Return
        sleep 2
        xdotool key --delay 200 Tab Tab F4
        sleep 1
        xdotool type --delay 60 COM12
        sleep 1
        import -window root "$out/port-dialog.png"
        xdotool key --delay 300 Return Tab space
        sleep 2
    fi
    stop_program
    stored=$( { tr -d '\r' <"$folder/RIGDECK.INI"; } 2>/dev/null | sed -n '/^\[DEVICE\]/,/^\[/s/^COM1=//p' || true)
    if [ "$stored" = COM12 ]; then
        pass "COM12 was listed in the port dialog, chosen, and stored beside the program ([DEVICE] COM1=COM12; $out/port-dialog.png)"
    else
        fail "COM12 from the port dialog: [DEVICE] COM1 is '${stored}' ($out/port-dialog.png)"
    fi
    # The next start: COM1 leads nowhere now, COM12 to the radio.
    map_com_ports "$work/no-such-port" "$(readlink -f "$work/com1")"
    : >"$work/wire.log"
    start_program "$folder"
    if main_window 90 >/dev/null && wait_lines "$work/wire.log" 1 30 "KS;" \
        && [ "$(grep -cxE 'KM[1-5];|BI;|MD0;|KS;' "$work/wire.log")" -eq 8 ]; then
        pass "the next start asked its 8 questions through COM12"
    else
        fail "the next start did not reach the radio through COM12"
    fi
    stop_program
    stop_radio

    # An upgrade over the installed copy keeps the settings file as it is.
    printf '[VOICE]\r\nCOMMENT0=kept\r\n' >>"$folder/RIGDECK.INI"
    settings=$(md5sum <"$folder/RIGDECK.INI")
    if "$wine" "$(winpath "$setup")" /S && [ "$(md5sum <"$folder/RIGDECK.INI")" = "$settings" ] \
        && [ "$(uninstall_value DisplayVersion)" = "$version" ]; then
        pass "an upgrade over the installed copy kept the changed RIGDECK.INI"
    else
        fail "the upgrade changed or lost RIGDECK.INI"
    fi

    # A silent uninstall, as the uninstall entry says.
    quiet=$(uninstall_value QuietUninstallString)
    uninstaller=$(sed -n 's/^"\([^"]*\)".*/\1/p' <<<"$quiet")
    "$wine" "$uninstaller" $(sed 's/^"[^"]*"//' <<<"$quiet") || true
    for tries in $(seq 1 150); do
        [ -e "$folder/uninstall.exe" ] || break
        sleep 0.2
    done
    sleep 1
    left=$(cd "$folder" 2>/dev/null && find . -mindepth 1 | sed 's#^\./##' | tr '\n' ' ')
    if [ "$left" = "RIGDECK.INI " ] && [ "$(md5sum <"$folder/RIGDECK.INI")" = "$settings" ] \
        && [ -z "$(start_menu_entry)" ] && [ -z "$(uninstall_value DisplayName)" ]; then
        pass "the silent uninstall removed the program, its entries and the uninstall entry, and kept RIGDECK.INI"
    else
        fail "after the silent uninstall: left '$left', Start-menu entry '$(start_menu_entry)', uninstall entry '$(uninstall_value DisplayName)'"
    fi
fi

echo "== Windows check: $failures failure(s), $(( $(date +%s) - began )) s in all"
[ "$failures" -eq 0 ]
