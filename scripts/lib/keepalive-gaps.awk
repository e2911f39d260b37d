# Keep-alive gaps of one client in a chaos run. Input lines: "K MS" for each keep-alive that
# arrived at a Core, in time order, and "W START END" for each time in which no Core could
# answer (milliseconds). start and until: the start and end of the run. The client's interval
# is taken as the median of the gaps of 5 s or more (it is drawn once per run); a gap fails
# when the part of it in which a Core was reachable is longer than twice that. Prints "ok ..."
# or "bad ...".
$1 == "K" { k[++n] = $2 }
$1 == "W" { ws[++m] = $2; we[m] = $3 }

function sort_numbers(a, count,    i, j, v) {
    for (i = 2; i <= count; i++) {
        v = a[i]
        for (j = i - 1; j >= 1 && a[j] > v; j--) a[j + 1] = a[j]
        a[j + 1] = v
    }
}

function mmss(t,    s) {
    s = int((t - start) / 1000)
    return sprintf("%02d:%02d", int(s / 60), s % 60)
}

function excused(a, b,    i, t) {
    t = 0
    for (i = 1; i <= merged; i++) {
        lo = ms[i] > a ? ms[i] : a
        hi = me[i] < b ? me[i] : b
        if (hi > lo) t += hi - lo
    }
    return t
}

END {
    if (n == 0) {
        print "bad no keep-alive arrived"
        exit
    }
    gaps = 0
    for (i = 2; i <= n; i++) {
        if (k[i] - k[i - 1] >= 5000) gap[++gaps] = k[i] - k[i - 1]
    }
    sort_numbers(gap, gaps)
    interval = gaps > 0 ? gap[int((gaps + 1) / 2)] : 30000

    # The windows, sorted by start and merged where they overlap.
    for (i = 2; i <= m; i++) {
        s = ws[i]; e = we[i]
        for (j = i - 1; j >= 1 && ws[j] > s; j--) { ws[j + 1] = ws[j]; we[j + 1] = we[j] }
        ws[j + 1] = s; we[j + 1] = e
    }
    merged = 0
    for (i = 1; i <= m; i++) {
        if (merged > 0 && ws[i] <= me[merged]) {
            if (we[i] > me[merged]) me[merged] = we[i]
        } else {
            ms[++merged] = ws[i]
            me[merged] = we[i]
        }
    }

    k[n + 1] = until
    worst = 0
    for (i = 1; i <= n; i++) {
        if (k[i + 1] < k[i]) continue
        reach = k[i + 1] - k[i] - excused(k[i], k[i + 1])
        if (reach > worst) {
            worst = reach
            at = i
        }
    }
    verdict = worst > 2 * interval ? "bad" : "ok"
    printf "%s %d arrived, interval %.1f s, longest gap with a Core reachable %.1f s" \
        " (from %s to %s; limit %.1f s)\n", verdict, n, interval / 1000, worst / 1000,
        mmss(k[at]), mmss(k[at + 1]), 2 * interval / 1000
}
