# The faults of a chaos run. Each is printed with its time, counted, and, when it takes the
# Core away from the clients for a while, leaves a window in $work/windows ("START END" in
# milliseconds) in which keep-alives may not arrive. Source after chaos-servers.sh.

can_cut=""
left=0 # seconds before the quiet period, which no fault may reach into

# A duration cut to the time left.
fit() {
    if [ "$1" -lt "$left" ]; then echo "$1"; else echo $((left > 1 ? left - 1 : 1)); fi
}

# Notes one injected fault.
fault() {
    faults=$((faults + 1))
    fault_list+=("$(clock) $*")
    say "fault $faults: $*"
}

# A time during which no Core answers a client.
unreachable() {
    echo "$1 $2" >>"$work/windows"
}

# The Core that the first client is on, or one of the two when it is on none.
target_core() {
    local first core
    first=$(echo "$panels" | awk '{ print $1 }')
    core=$(serving_core "$first")
    if [ -z "$core" ]; then
        # Not from the seed's sequence, which stays the same whatever the clients do.
        core=$([ $(($(now_ms) % 2)) -eq 0 ] && echo primary || echo backup)
    fi
    echo "$core"
}

fault_core_kill() {
    local core mid=$1 down delay=$((RANDOM % 400)) from
    down=$((1 + RANDOM % 8))
    down=$(fit "$down")
    core=$(target_core)
    from=$(now_ms)
    if [ "$mid" = 1 ]; then
        # Every client is sent its panel again, slowly: the kill comes while it is on its way.
        kill -HUP "${pid[$core]}"
        sleep "$(printf '0.%03d' "$delay")"
        kill -KILL "${pid[$core]}" 2>/dev/null || true
        fault "killed the $core Core ${delay} ms into sending the panels again; back after $down s"
    else
        kill -KILL "${pid[$core]}" 2>/dev/null || true
        fault "killed the $core Core; back after $down s"
    fi
    wait_seconds "$down"
    start_server "$core"
    unreachable "$from" $(($(now_ms) + 10000))
}

fault_core_freeze() {
    local core seconds from
    seconds=$((5 + RANDOM % 26))
    seconds=$(fit "$seconds")
    core=$(target_core)
    from=$(now_ms)
    kill -STOP "${pid[$core]}"
    fault "froze the $core Core for $seconds s"
    wait_seconds "$seconds"
    kill -CONT "${pid[$core]}"
    unreachable "$from" $(($(now_ms) + 5000))
}

# The primary goes; once every client is on the backup (or after 30 s) and for 20 to 60 s in
# all, it comes back.
fault_takeover() {
    local seconds from panel waited=0 moved
    seconds=$((20 + RANDOM % 41))
    seconds=$(fit "$seconds")
    from=$(now_ms)
    kill -KILL "${pid[primary]}" 2>/dev/null || true
    while [ "$waited" -lt 30 ]; do
        wait_seconds 1
        waited=$((waited + 1))
        moved=1
        for panel in $panels; do
            [ "$(serving_core "$panel")" = backup ] || moved=0
        done
        [ "$moved" = 1 ] && break
    done
    if [ "$moved" = 1 ]; then
        fault "primary Core down for $seconds s: the backup took over within $waited s"
    else
        fault "primary Core down for $seconds s: the backup did not take over within 30 s"
    fi
    unreachable "$from" $(($(now_ms) + 5000))
    [ "$seconds" -gt "$waited" ] && wait_seconds $((seconds - waited))
    start_server primary
    say "primary Core back"
}

fault_meters_kill() {
    local down
    down=$((1 + RANDOM % 10))
    down=$(fit "$down")
    kill -KILL "${pid[meters]}" 2>/dev/null || true
    fault "killed the meter server; back after $down s"
    wait_seconds "$down"
    start_server meters
}

fault_meters_freeze() {
    local seconds
    seconds=$((5 + RANDOM % 26))
    seconds=$(fit "$seconds")
    kill -STOP "${pid[meters]}"
    fault "froze the meter server for $seconds s"
    wait_seconds "$seconds"
    kill -CONT "${pid[meters]}"
}

fault_burst() {
    local core
    core=$(target_core)
    kill -USR2 "${pid[$core]}"
    fault "a burst of 5000 changes in one second from the $core Core"
    wait_seconds 1
}

# The client's own connections, to the Core and to the meter server, destroyed by the kernel.
fault_link_cut() {
    local panel ports lport from cut=0
    local names=($panels)
    panel=${names[$((RANDOM % ${#names[@]}))]}
    if [ "$can_cut" = no ]; then
        say "skipped: cutting the $panel client's connections (the kernel cannot destroy sockets)"
        return 0
    fi
    ports=$(ss -tnpH state established 2>/dev/null | grep "pid=${client_pid[$panel]}," |
        awk '{ n = split($3, a, ":"); print a[n] }')
    from=$(now_ms)
    for lport in $ports; do
        ss -K -tn "( sport = :$lport )" >/dev/null 2>&1 || true
        if ss -tnH state established "( sport = :$lport )" | grep -q .; then
            can_cut=no
        else
            cut=$((cut + 1))
        fi
    done
    if [ "$can_cut" = no ] && [ "$cut" -eq 0 ]; then
        say "skipped: cutting the $panel client's connections: this kernel cannot destroy" \
            "sockets (ss -K), so link cuts are left out of this run"
        return 0
    fi
    can_cut=yes
    fault "cut the $panel client's $cut connections at the kernel (ss -K)"
    unreachable "$from" $((from + 10000))
}

# One fault of kind 0 to 7, given the seconds left before the quiet period.
inject_fault() {
    local kind=$1
    left=$2
    if [ "$left" -lt 6 ]; then
        kind=6 # too little time for anything but a burst
    fi
    case $kind in
    0) fault_core_kill 0 ;;
    1) fault_core_kill 1 ;;
    2) fault_core_freeze ;;
    3) if [ "$left" -ge 60 ]; then fault_takeover; else fault_core_kill 0; fi ;;
    4) fault_meters_kill ;;
    5) fault_meters_freeze ;;
    6) fault_burst ;;
    7) fault_link_cut ;;
    esac
}
