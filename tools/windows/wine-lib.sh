# SPDX-License-Identifier: GPL-3.0-or-later
# Shell functions for running the Windows program under Wine on a virtual
# display; sourced by check.sh. Everything lives in $work, a fresh temporary
# folder: the Wine prefix, the display, the simulated radio's port.
#
# COM1-COM9 of the prefix are always mapped explicitly (to a path that does
# not exist, or to the simulated radio's pseudo-terminal), and the mapping is
# checked before the program runs, so that a COM port can never fall through
# to a real serial device of this machine (Wine maps /dev/ttyS* by default).

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)

# Windows form of a path of this machine (Wine's Z: drive is /).
winpath() { local p; p=$(readlink -f "$1"); echo "Z:${p//\//\\}"; }

# Starts Xvfb; sets DISPLAY.
start_display() {
    local fifo=$work/displayfd
    mkfifo "$fifo"
    Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$fifo" >/dev/null 2>&1 &
    xvfb_pid=$!
    local number
    read -r number <"$fifo"
    export DISPLAY=:$number
}

# Writes registry values from a .reg body given on stdin.
reg_import() {
    { printf 'Windows Registry Editor Version 5.00\r\n\r\n'; sed 's/$/\r/'; } >"$work/import.reg"
    "$wine" regedit /S "$(winpath "$work/import.reg")" >/dev/null 2>&1
}

# Maps COM1 to $1, COM12 to $2 when given, and COM2-COM9 to nowhere,
# restarts the prefix's server (Wine rewrites its device links from the
# registry when it starts) and waits until the links say so. Fails rather
# than leave a port on a real device.
map_com_ports() {
    local com1=$1 com12=${2:-} nowhere=$work/no-such-port i
    {
        echo '[HKEY_LOCAL_MACHINE\Software\Wine\Ports]'
        echo "\"COM1\"=\"$com1\""
        for i in 2 3 4 5 6 7 8 9; do echo "\"COM$i\"=\"$nowhere\""; done
        echo "\"COM12\"=\"${com12:-$nowhere}\""
    } | reg_import
    "$wineserver" -k 2>/dev/null || true
    "$wineserver" -w 2>/dev/null || true
    "$wineserver" -p 2>/dev/null
    "$wine" cmd /c exit >/dev/null 2>&1 || true
    local tries
    for tries in $(seq 1 100); do
        if [ "$(readlink "$WINEPREFIX/dosdevices/com1")" = "$com1" ] \
            && [ "$(readlink "$WINEPREFIX/dosdevices/com12")" = "${com12:-$nowhere}" ]; then
            local ok=1
            for i in 2 3 4 5 6 7 8 9; do
                [ "$(readlink "$WINEPREFIX/dosdevices/com$i")" = "$nowhere" ] || ok=0
            done
            [ "$ok" = 1 ] && return 0
        fi
        sleep 0.2
    done
    echo "COM ports of the Wine prefix could not be mapped safely:" >&2
    ls -l "$WINEPREFIX/dosdevices" >&2
    return 1
}

# A fresh 64-bit prefix in folder $1 (default $work/prefix): no COM port
# anywhere, Japanese-capable dialog fonts, no menu entries of this machine's
# desktop made for what is installed in it. A crash starts Wine's debugger
# without asking, which writes the backtrace ("Unhandled exception: ...") to
# the program's output and ends the process.
init_prefix() {
    export WINEPREFIX=${1:-$work/prefix} WINEARCH=win64 WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
    "$wine" wineboot -i >/dev/null 2>&1
    {
        echo '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]'
        echo '"MS Shell Dlg"="Noto Sans CJK JP"'
        echo '"MS Shell Dlg 2"="Noto Sans CJK JP"'
        echo
        echo '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]'
        echo '"Auto"="1"'
    } | reg_import
    map_com_ports "$work/no-such-port"
}

# Starts the simulated radio on a pseudo-terminal linked at $work/com1; extra
# arguments go to rigdeck-sim. Sets sim_pid.
start_radio() {
    rm -f "$work/com1"
    "$sim" --link "$work/com1" --log "$work/wire.log" "$@" >"$work/sim.out" 2>&1 &
    sim_pid=$!
    local tries
    for tries in $(seq 1 50); do
        [ -e "$work/com1" ] && return 0
        sleep 0.1
    done
    echo "rigdeck-sim did not start:" >&2
    cat "$work/sim.out" >&2
    return 1
}

stop_radio() {
    if [ -n "${sim_pid:-}" ]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
        sim_pid=
    fi
}

# Starts rigdeck.exe from folder $1 with the remaining arguments. Sets app_pid.
start_program() {
    local folder=$1
    shift
    (cd "$folder" && exec "$wine" ./rigdeck.exe "$@") >>"$work/program.out" 2>&1 &
    app_pid=$!
}

stop_program() {
    if [ -n "${app_pid:-}" ]; then
        kill "$app_pid" 2>/dev/null || true
        wait "$app_pid" 2>/dev/null || true
        app_pid=
    fi
}

alive() { kill -0 "$1" 2>/dev/null; }

# The main window's X id, once it is shown (waits up to $1 seconds).
main_window() {
    local deadline=$((SECONDS + ${1:-60})) id
    while [ $SECONDS -lt $deadline ]; do
        id=$(xdotool search --onlyvisible --name '^RIGDECK' 2>/dev/null | head -1) || true
        if [ -n "$id" ]; then echo "$id"; return 0; fi
        sleep 0.3
    done
    return 1
}

# Lines equal to $2 in file $1 (line ends LF or CRLF).
count_lines() { local n; n=$(tr -d '\r' 2>/dev/null <"$1" | grep -cxF -- "$2") || true; echo "${n:-0}"; }

# Waits up to $3 seconds until file $1 holds at least $2 lines equal to $4.
wait_lines() {
    local deadline=$((SECONDS + $3))
    while [ $SECONDS -lt $deadline ]; do
        [ "$(count_lines "$1" "$4")" -ge "$2" ] && return 0
        sleep 0.1
    done
    return 1
}

# CPU time (user + system, in clock ticks) process $1 has used so far.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
