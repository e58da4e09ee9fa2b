#!/usr/bin/env bash
# wine-session.sh start|stop <build dir>
# Starts (or stops) the virtual display and a persistent Wine server for the
# build tree's own prefix. The server and Wine's services are started here with
# their output detached: started from inside a test they would inherit CTest's
# pipe and CTest would wait for them forever.
set -euo pipefail
action=$1
build=$(cd "$2" && pwd)
display=$(sed -n 's/^export DISPLAY=":\(.*\)"$/\1/p' "$build/wine-run.sh")
export WINEPREFIX="$build/wineprefix" DISPLAY=":$display" WINEDEBUG=-all

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
    if ! [ -e "/tmp/.X11-unix/X$display" ]; then
        setsid Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
        echo $! >"$build/xvfb.pid"
        for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
    fi
    mkdir -p "$WINEPREFIX"
    wineserver -p </dev/null >/dev/null 2>&1 || true
    if ! [ -f "$WINEPREFIX/system.reg" ]; then
        # No Mono or Gecko: nothing here needs them, and their installers would prompt.
        WINEDLLOVERRIDES="mscoree,mshtml=" "$build/wine-run.sh" wineboot -i </dev/null >/dev/null 2>&1
        keep_shell_folders_inside_prefix
    fi
    "$build/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1
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
    ;;
esac
