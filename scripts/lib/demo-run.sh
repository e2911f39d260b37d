# Shared by the scripts that run the client against the demo servers on a private display.
# Source it after setting work (a private folder) and build_dir; add every process started to
# the array pids, which the caller's clean-up ends.

# The port a demo server reports when it listens ("... listening on 127.0.0.1:PORT ...").
port_of() {
    local log=$1 pid=$2 port
    for _ in $(seq 100); do
        port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$log" | head -1)
        if [ -n "$port" ]; then
            echo "$port"
            return 0
        fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "a demo server did not start:" >&2
    cat "$log" >&2
    exit 2
}

# Starts Xvfb on a display of its own and exports DISPLAY; without Xvfb the client runs
# offscreen. Sets where to say which.
start_display() {
    local size=${1:-1600x1000}
    export XDG_RUNTIME_DIR=$work/runtime
    mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
    if command -v Xvfb >/dev/null 2>&1; then
        Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$work/display" \
            2>"$work/xvfb.log" &
        pids+=($!)
        for _ in $(seq 100); do
            [ -s "$work/display" ] && break
            sleep 0.1
        done
        export DISPLAY=:$(cat "$work/display")
        where="Xvfb display $DISPLAY"
    else
        export QT_QPA_PLATFORM=offscreen
        where="offscreen"
    fi
}

# Writes a client folder with the demo's pictures and a configuration for the given Core
# port, meter port and panel; further arguments are extra configuration lines.
make_client_folder() {
    local folder=$1 core_port=$2 meter_port=$3 panel=$4
    shift 4
    mkdir -p "$folder"
    cp -r "$root/demo/PanelGraphics" "$root/demo/web" "$folder/"
    printf '%s\r\n' "primaryserverip=127.0.0.1" "primaryserverport=$core_port" \
        "meterserverport=$meter_port" "panelname=$panel" "username=operator" \
        "userpassword=demo" "$@" >"$folder/CVMiniConfig.txt"
}

# Processor time in clock ticks of a process and all its descendants (a web view's engine
# runs in processes of its own).
tree_ticks() {
    local pid=$1 total=0 child
    total=$(awk '{ print $14 + $15 }' "/proc/$pid/stat" 2>/dev/null || echo 0)
    for child in $(cat "/proc/$pid/task/"*/children 2>/dev/null); do
        total=$((total + $(tree_ticks "$child")))
    done
    echo "$total"
}

# Resident memory of a process in kB (0 when it has ended).
resident_kb() {
    awk '/^VmRSS:/ { print $2 }' "/proc/$1/status" 2>/dev/null || echo 0
}

# Milliseconds since 1970, the clock the demo servers stamp their log lines with.
now_ms() {
    date +%s%3N
}
