# The checks at the end of a chaos run and its summary line. Source after chaos-faults.sh.

failures=()
controls=0

fail() {
    failures+=("$*")
    say "FAILED: $*"
}

# Every log line of both Cores (all their lives) in time order.
core_lines() {
    cat "$work/primary.log" "$work/backup.log" | grep -E '^[0-9]{13} ' | sort -n -s -k1,1
}

# The Cores read every client's panel back and compare it with the studio.
check_panels() {
    local asked panel line waited
    asked=$(now_ms)
    kill -USR1 "${pid[primary]}" "${pid[backup]}"
    for panel in $panels; do
        line=""
        for waited in $(seq 90); do
            line=$(core_lines | awk -v t="$asked" -v p="$panel" '
                $1 >= t && tolower($0) ~ ("check: #[0-9]+ panel " tolower(p) ":") &&
                $0 !~ / difference / { print; exit }')
            [ -n "$line" ] && break
            sleep 1
        done
        if [ -z "$line" ]; then
            fail "no Core checked the $panel client within 90 s (it shows no panel?)"
            continue
        fi
        say "${line#* }"
        core_lines | awk -v t="$asked" -v p="$panel" '
            $1 >= t && tolower($0) ~ ("check: #[0-9]+ panel " tolower(p) ": difference") {
                $1 = ""; print "chaos:  " $0 }' | head -200
        if [[ $line =~ of\ ([0-9]+)\ controls\ compared,\ ([0-9]+)\ differences ]]; then
            controls=$((controls + BASH_REMATCH[1]))
            [ "${BASH_REMATCH[2]}" -eq 0 ] ||
                fail "the $panel client differs from the studio in ${BASH_REMATCH[2]} values"
        else
            fail "the $panel client could not be read back"
        fi
    done
}

# Keep-alives of each client, from the Cores' logs: no gap longer than twice the client's
# interval, leaving out the times no Core could answer.
check_keepalives() {
    local panel until=$1 result
    for panel in $panels; do
        result=$({
            core_lines | awk -v p="$panel" \
                'tolower($0) ~ ("keep-alive from panel " tolower(p) "$") { print "K", $1 }'
            if [ -f "$work/windows" ]; then
                awk '{ print "W", $1, $2 }' "$work/windows"
            fi
        } | awk -v start="$start_ms" -v until="$until" -f "$root/scripts/lib/keepalive-gaps.awk")
        case $result in
        ok*) say "keep-alives of the $panel client: ${result#ok }" ;;
        *) fail "keep-alives of the $panel client: ${result#bad }" ;;
        esac
    done
}

# The meter server, after each of its starts but the first, must see every point that was
# listened to before it subscribed again.
check_resubscriptions() {
    local waited result
    for waited in $(seq 30); do
        result=$(awk -v now="$(now_ms)" -v run_start="$start_ms" \
            -f "$root/scripts/lib/resubscriptions.awk" "$work/meters.log")
        [[ $result == pending* ]] || break
        sleep 1
    done
    case $result in
    ok*) say "meter server: ${result#ok }" ;;
    pending*) fail "meter server: ${result#pending }" ;;
    *) fail "meter server: ${result#bad }" ;;
    esac
}

check_memory() {
    local panel kb growth worst=""
    for panel in $panels; do
        kb=$(resident_kb "${client_pid[$panel]}")
        if [ -z "${rss_first[$panel]:-}" ] || [ "${rss_first[$panel]}" -eq 0 ]; then
            say "memory of the $panel client: $kb kB at the end (no first minute to compare)"
            continue
        fi
        growth=$(awk -v a="${rss_first[$panel]}" -v b="$kb" \
            'BEGIN { printf "%+.1f", (b - a) * 100 / a }')
        say "memory of the $panel client: ${rss_first[$panel]} kB after the first minute," \
            "$kb kB at the end ($growth%)"
        if [ -z "$worst" ] || awk -v g="$growth" -v w="$worst" 'BEGIN { exit !(g > w) }'; then
            worst=$growth
        fi
        if [ "$kb" -gt $((rss_first[$panel] + rss_first[$panel] / 10)) ]; then
            fail "the $panel client's memory grew by more than 10%"
        fi
    done
    rss_growth=${worst:-n/a}
}

end_checks() {
    local until
    until=$(now_ms)
    check_memory
    check_panels
    check_keepalives "$until"
    check_resubscriptions
    say "faults injected: $faults"
    if [ "$faults" -gt 0 ]; then
        printf 'chaos:   %s\n' "${fault_list[@]}"
    fi
    local verdict=passed
    [ ${#failures[@]} -eq 0 ] || verdict=failed
    echo "chaos: $verdict, $faults faults, $controls controls compared, RSS ${rss_growth}%"
    [ "$verdict" = passed ]
}
