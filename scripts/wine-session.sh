#!/usr/bin/env bash
# wine-session.sh start|stop <build dir>
# Starts (or stops) the virtual display and a persistent Wine server for the
# build tree's own prefix. The server and Wine's services are started here with
# their output detached: started from inside a test they would inherit CTest's
# pipe and CTest would wait for them forever.
set -euo pipefail
action=$1
build=$(cd "$2" && pwd)
configured_display=$(sed -n 's/^display="\(.*\)"$/\1/p' "$build/wine-run.sh")
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all

# Display numbers are shared by everything on the machine (chroots too), so
# unless one was configured Xvfb takes the first free one and says which.
start_display() {
    if [ -n "$configured_display" ]; then
        echo "$configured_display" >"$build/wine-display"
        [ -e "/tmp/.X11-unix/X$configured_display" ] && return 0
        setsid Xvfb ":$configured_display" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
        echo $! >"$build/xvfb.pid"
        for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$configured_display" ] && return 0; sleep 0.1; done
        return 0
    fi
    rm -f "$build/wine-display.part"
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 \
        3>"$build/wine-display.part" &
    echo $! >"$build/xvfb.pid"
    for _ in $(seq 100); do
        grep -q '^[0-9][0-9]*$' "$build/wine-display.part" 2>/dev/null && break
        sleep 0.1
    done
    grep -q '^[0-9][0-9]*$' "$build/wine-display.part" || { echo "wine-session.sh: Xvfb did not start" >&2; exit 1; }
    mv "$build/wine-display.part" "$build/wine-display"
}

# A crashing program would otherwise start winedbg, which waits without a
# console for ever: the test would end only at CTest's time-out instead of
# at once with the exception code. Both registry views: 32-bit programs read
# their own.
switch_off_crash_debugger() {
    local key='Software\Microsoft\Windows NT\CurrentVersion\AeDebug' view
    for view in 64 32; do
        "$build/wine-run.sh" reg add "HKLM\\$key" /v Auto /d 0 /f /reg:$view </dev/null >/dev/null 2>&1
        "$build/wine-run.sh" reg add "HKLM\\$key" /v Debugger /d "" /f /reg:$view </dev/null >/dev/null 2>&1
    done
}

# A new prefix links the user's Desktop and Documents to $HOME; installs made
# by the tests must stay inside the build tree.
keep_shell_folders_inside_prefix() {
    local user_dir
    for user_dir in "$WINEPREFIX"/drive_c/users/*/; do
        for link in "$user_dir"*; do
            if [ -L "$link" ]; then
                rm "$link"
                mkdir -p "$link"
            fi
        done
    done
}

case $action in
start)
    start_display
    export DISPLAY=":$(cat "$build/wine-display")"
    mkdir -p "$WINEPREFIX"
    wineserver -p </dev/null >/dev/null 2>&1 || true
    if ! [ -f "$WINEPREFIX/system.reg" ]; then
        # No Mono or Gecko: nothing here needs them, and their installers would prompt.
        WINEDLLOVERRIDES="mscoree,mshtml=" "$build/wine-run.sh" wineboot -i </dev/null >/dev/null 2>&1
        keep_shell_folders_inside_prefix
    fi
    "$build/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1
    switch_off_crash_debugger
    # Holds Wine's desktop open between tests; otherwise each windowed program
    # started after a quiet spell waits for the desktop to start again.
    if [ -f "$build/desktop_keeper.exe" ]; then
        setsid "$build/wine-run.sh" "$build/desktop_keeper.exe" </dev/null >/dev/null 2>&1 &
    fi
    ;;
stop)
    wineserver -k </dev/null >/dev/null 2>&1 || true
    if [ -f "$build/xvfb.pid" ]; then
        kill "$(cat "$build/xvfb.pid")" 2>/dev/null || true
        rm -f "$build/xvfb.pid"
    fi
    rm -f "$build/wine-display"
    ;;
esac
