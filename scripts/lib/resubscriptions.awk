# The meter server's log in a chaos run (lines stamped with milliseconds): after each start
# that remembered points listened to before, the server must report them all subscribed
# again. A life that lasted 25 s without that report fails; the last one, still waiting, is
# "pending". now and run_start: milliseconds now and at the start of the run. Prints "ok ...",
# "pending ..." or "bad ...".
/^[0-9]+ [0-9]+ points were listened to before this start/ {
    start[++lives] = $1
    need[lives] = $2
}
/^[0-9]+ no points were listened to before this start/ {
    start[++lives] = $1
    need[lives] = 0
}
/^[0-9]+ all [0-9]+ points listened to before this start are subscribed again/ {
    done[lives] = 1
    after[lives] = $(NF - 1)
}
function mmss(t,    s) {
    s = int((t - run_start) / 1000)
    return sprintf("%02d:%02d", int(s / 60), s % 60)
}

END {
    restarts = 0
    slowest = 0
    for (i = 1; i <= lives; i++) {
        if (i > 1) restarts++
        if (need[i] == 0) continue
        if (done[i]) {
            if (after[i] > slowest) slowest = after[i]
            continue
        }
        end = i < lives ? start[i + 1] : now
        if (end - start[i] < 25000) {
            if (i == lives) {
                printf "pending the start at %s still waits for %d points after %.1f s\n",
                    mmss(start[i]), need[i], (now - start[i]) / 1000
                exit
            }
            continue # killed again before the clients' next reconnection
        }
        printf "bad the start at %s waited %.1f s in vain for %d points to be subscribed again\n",
            mmss(start[i]), (end - start[i]) / 1000, need[i]
        exit
    }
    if (restarts == 0) {
        print "ok not started again"
        exit
    }
    printf "ok %d restarts; after each, every point listened to before was subscribed again" \
        " (the slowest after %.1f s)\n", restarts, slowest / 1000
}
