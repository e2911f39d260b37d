# The processes of a chaos run: the two demo Cores, the meter server and the clients, started
# and started again on the same ports. Source after demo-run.sh; needs work, build_dir, root,
# churn, start_ms and the array pids.

declare -A port pid rss_first
faults=0
fault_list=()

# Elapsed time of the run as mm:ss.
clock() {
    local s=$((($(now_ms) - start_ms) / 1000))
    printf '%02d:%02d' $((s / 60)) $((s % 60))
}

say() {
    echo "chaos: [$(clock)] $*"
}

# Starts a Core (primary or backup) or the meter server, on its port once it has one.
start_server() {
    local role=$1 listen=127.0.0.1:${port[$1]:-0} attempt
    for attempt in 1 2 3 4 5; do
        case $role in
        meters)
            "$build_dir/tools/corvane-demo-meters" --listen "$listen" \
                --core "127.0.0.1:${port[primary]}" --remember "$work/points" --timestamps \
                >>"$work/meters.log" 2>&1 &
            ;;
        *)
            "$build_dir/tools/corvane-demo-core" --listen "$listen" \
                --panels "$root/demo/panels" --churn "$churn" --share "$work/studio.journal" \
                --readback --pace 256000 --timestamps >>"$work/$role.log" 2>&1 &
            ;;
        esac
        pid[$role]=$!
        pids+=($!)
        disown "$!" # killing it is a fault of the run, not news
        if [ -z "${port[$role]:-}" ]; then
            port[$role]=$(port_of "$work/$role.log" "$!")
            return 0
        fi
        for _ in $(seq 50); do
            if ss -ltnH "sport = :${port[$role]}" | grep -q .; then
                return 0
            fi
            kill -0 "${pid[$role]}" 2>/dev/null || break
            sleep 0.1
        done
        kill "${pid[$role]}" 2>/dev/null || true
        sleep 1 # the port may not be free yet
    done
    say "the $role server did not start again on port ${port[$role]}" >&2
    exit 2
}

is_up() {
    kill -0 "${pid[$1]}" 2>/dev/null && [ "$(ps -o stat= -p "${pid[$1]}")" != T ]
}

ensure_servers_up() {
    local role
    for role in primary backup meters; do
        if ! kill -0 "${pid[$role]}" 2>/dev/null; then
            start_server "$role"
        fi
        kill -CONT "${pid[$role]}" 2>/dev/null || true
    done
}

start_client() {
    local panel=$1 folder=$work/client-$1
    make_client_folder "$folder" "${port[primary]}" "${port[meters]}" "$panel" \
        "backupserverip=127.0.0.1" "backupserverport=${port[backup]}"
    (cd "$folder" && exec "$build_dir/corvane-mini") >"$work/client-$panel.log" 2>&1 &
    client_pid[$panel]=$!
    pids+=($!)
}

# The Core a client is connected to now (primary or backup), or nothing.
serving_core() {
    ss -tnpH state established 2>/dev/null | grep "pid=${client_pid[$1]}," |
        awk -v p="${port[primary]}" -v b="${port[backup]}" '{
            n = split($4, a, ":")
            if (a[n] == p) print "primary"
            if (a[n] == b) print "backup"
        }' | head -1
}

# Waits, a second at a time: clients must stay alive; each minute their memory is noted.
wait_seconds() {
    local seconds=$1 minute panel kb
    for _ in $(seq "$seconds"); do
        sleep 1
        for panel in "${!client_pid[@]}"; do
            if ! kill -0 "${client_pid[$panel]}" 2>/dev/null; then
                say "the client of panel $panel ended:" >&2
                tail -20 "$work/client-$panel.log" >&2
                echo "chaos: failed, $faults faults, 0 controls compared, RSS n/a"
                exit 1
            fi
        done
        minute=$((($(now_ms) - start_ms) / 60000))
        if [ "$minute" -ge 1 ] && [ "$minute" -gt "${last_minute:-0}" ]; then
            last_minute=$minute
            local line=""
            for panel in "${!client_pid[@]}"; do
                kb=$(resident_kb "${client_pid[$panel]}")
                [ "$minute" -eq 1 ] && rss_first[$panel]=$kb
                line+=" $panel $((kb / 1024)) MiB"
            done
            say "minute $minute: client memory$line"
        fi
    done
}
