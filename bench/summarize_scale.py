"""The many-lines figures (scale.jsonl, probes.jsonl): every configuration was run in several
rounds, so each figure is the median of its rounds with their spread (lowest–highest), beside
the machine's own wake-ups and stolen time of the same rounds. Used by summarize.py."""
import json
import os
import statistics
import subprocess

TARGETS = {"efficiency": 0.99, "cpu_percent_per_line": 0.25, "cpu_ratio_to_c": 1.5,
           "added_median_over_c_us": 200}
IMPLS = ("driver", "baseline-c")


def read_jsonl(path):
    if not os.path.exists(path):
        return []
    return [json.loads(t) for t in open(path) if t.strip()]


# What a table shows of one run, by name.
FIGURES = {
    "cpu_total": lambda r: r["cpu_percent"],
    "cpu_line": lambda r: r["cpu_percent_per_line"],
    "cpu_poll": lambda r: r.get("poll_thread_cpu_percent_per_line"),
    "rss_line": lambda r: r["rss_kb_per_line"],
    "eff_worst": lambda r: r["efficiency"]["min"],
    "eff_median": lambda r: r["efficiency"]["p50"],
    "added_p50": lambda r: r["added_delay_us"]["p50"],
    "added_p99": lambda r: r["added_delay_us"]["p99"],
    "port_p50": lambda r: r.get("added_delay_at_port_us", {}).get("p50"),
    "port_p99": lambda r: r.get("added_delay_at_port_us", {}).get("p99"),
    "delivery_p50": lambda r: r["delivery_us"]["p50"],
    "delivery_p99": lambda r: r["delivery_us"]["p99"],
    "delivery_max": lambda r: r["delivery_us"]["max"],
    "line_p99_median": lambda r: statistics.median(r["added_delay_p99_by_line_us"]),
    "runs_tx": lambda r: r.get("poll_thread_runs_per_transaction"),
    "us_run": lambda r: r.get("poll_thread_us_per_run"),
    "wait_run": lambda r: r.get("poll_thread_ready_wait_us_per_run"),
    "stolen": lambda r: r["machine_stolen_ms"],
    "load": lambda r: r.get("load_1min", 0),
}


class Runs:
    """The rounds of one implementation at one line count."""

    def __init__(self, rows):
        self.rows = rows

    def values(self, name):
        return [v for v in (FIGURES[name](r) for r in self.rows) if v is not None]

    def median(self, name):
        values = self.values(name)
        return statistics.median(values) if values else float("nan")

    def spread(self, name):
        values = self.values(name)
        return (min(values), max(values)) if values else (float("nan"), float("nan"))

    def cell(self, name, digits):
        values = self.values(name)
        if not values:
            return "-"
        low, high = self.spread(name)
        return "%.*f (%.*f–%.*f)" % (digits, self.median(name), digits, low, digits, high)


def group(rows):
    groups = {}
    for r in rows:
        groups.setdefault((r["impl"], r["lines"]), []).append(r)
    return {key: Runs(value) for key, value in groups.items()}


def by_lines(groups):
    """The groups by line count, the driver before the C poller."""
    return sorted(groups.items(), key=lambda kv: (kv[0][1], kv[0][0] != "driver"))


def figures_table(groups):
    out = ["| lines | impl | runs | threads | CPU % of a core, all lines | CPU % per line | "
           "of which the poll thread | RSS kB per line | efficiency, worst line | efficiency, median line | "
           "added delay p50 / p99 µs | at the port p50 / p99 µs | delivery p50 / p99 / max µs | "
           "stolen ms | load |", "|" + "---|" * 16]
    for (impl, lines), runs in by_lines(groups):
        port = "-" if not runs.values("port_p50") else "%s / %s" % (
            runs.cell("port_p50", 0), runs.cell("port_p99", 0))
        out.append("| %d | %s | %d | %d | %s | %s | %s | %s | %s | %s | %s / %s | %s | %s / %s / %s "
                   "| %s | %s |" % (
                       lines, impl, len(runs.rows), runs.rows[0]["threads"],
                       runs.cell("cpu_total", 3), runs.cell("cpu_line", 4),
                       runs.cell("cpu_poll", 4),
                       runs.cell("rss_line", 0), runs.cell("eff_worst", 4),
                       runs.cell("eff_median", 4), runs.cell("added_p50", 0),
                       runs.cell("added_p99", 0), port, runs.cell("delivery_p50", 0),
                       runs.cell("delivery_p99", 0), runs.cell("delivery_max", 0),
                       runs.cell("stolen", 0), runs.cell("load", 2)))
    return out


def cost_table(groups):
    """Where a poll thread's CPU comes from: its runs a transaction and the time of each run.
    The C poller's one thread beside the driver's poll thread: a machine that turns slow
    raises the time a run and the wait for a processor of both; more runs would be ours."""
    out = ["| lines | impl | runs a transaction | CPU µs a run | ready, waiting for a processor, "
           "µs a run |", "|---|---|---|---|---|"]
    for (impl, lines), runs in by_lines(groups):
        if not runs.values("runs_tx"):
            continue
        out.append("| %d | %s | %s | %s | %s |" % (
            lines, impl, runs.cell("runs_tx", 2), runs.cell("us_run", 1), runs.cell("wait_run", 1)))
    return out


def cost_by_round(rows):
    """Each round's pair at each line count: the CPU and the time a run, driver / C poller."""
    pairs = {}
    for r in rows:
        pairs.setdefault((r["lines"], r.get("round", 0)), {})[r["impl"]] = r
    out = ["| lines | round | CPU % all lines, driver / C | CPU µs a run, driver / C | "
           "ready wait µs a run, driver / C | added delay p99 µs, driver / C |", "|---|---|---|---|---|---|"]
    for (lines, rnd), pair in sorted(pairs.items()):
        d, c = pair.get("driver"), pair.get("baseline-c")
        if d is None or c is None or "poll_thread_us_per_run" not in c:
            continue
        out.append("| %d | %d | %.3f / %.3f | %.1f / %.1f | %.1f / %.1f | %.0f / %.0f |" % (
            lines, rnd, d["cpu_percent"], c["cpu_percent"], d["poll_thread_us_per_run"],
            c["poll_thread_us_per_run"], d["poll_thread_ready_wait_us_per_run"],
            c["poll_thread_ready_wait_us_per_run"], d["added_delay_us"]["p99"],
            c["added_delay_us"]["p99"]))
    return out


def ratio_table(groups):
    out = ["| lines | CPU driver / C | added-delay median, driver − C µs | "
           "delivery median driver / C | worst line's efficiency, driver − C |", "|---|---|---|---|---|"]
    for lines in sorted({k[1] for k in groups}):
        d, c = groups.get(("driver", lines)), groups.get(("baseline-c", lines))
        if d is None or c is None:
            continue
        out.append("| %d | %.2f | %+.0f | %.2f | %+.4f |" % (
            lines, d.median("cpu_line") / c.median("cpu_line"),
            d.median("added_p50") - c.median("added_p50"),
            d.median("delivery_p50") / c.median("delivery_p50"),
            d.median("eff_worst") - c.median("eff_worst")))
    return out


def probes_table(probes):
    out = ["| round | timed wait 100 ms, least slack: overshoot p50 / p99 / max µs | "
           "byte wake p50 / p99 / max µs | stolen ms | load |", "|---|---|---|---|---|"]
    for p in probes:
        w, b = p["precise_timed_wait_100ms_overshoot_us"], p["byte_wake_us"]
        out.append("| %d | %.0f / %.0f / %.0f | %.0f / %.0f / %.0f | %d | %.2f |" % (
            p["round"], w["p50"], w["p99"], w["max"], b["p50"], b["p99"], b["max"],
            p["stolen_ms"], p.get("load_1min", 0)))
    return out


def linear_fit(points):
    """Least squares y = a + b x, and the largest distance of a point from the line."""
    n = len(points)
    mx = sum(x for x, _ in points) / n
    my = sum(y for _, y in points) / n
    sxx = sum((x - mx) ** 2 for x, _ in points)
    b = sum((x - mx) * (y - my) for x, y in points) / sxx if sxx else 0
    a = my - b * mx
    worst = max(abs(y - (a + b * x)) for x, y in points)
    return a, b, worst


def verdicts(groups):
    out = []
    counts = sorted(lines for impl, lines in groups if impl == "driver")
    if not counts:
        return out
    most = counts[-1]
    top = groups[("driver", most)]
    worst = top.median("eff_worst")
    lowest = top.spread("eff_worst")[0]
    out.append("- Every line ≥ %.2f of its ideal at %d lines: %s (worst line %.4f, median of "
               "rounds; lowest run %.4f)" % (TARGETS["efficiency"], most,
                                            "met" if worst >= TARGETS["efficiency"] else "MISSED",
                                            worst, lowest))
    cpu = {n: groups[("driver", n)].median("cpu_line") for n in counts}
    out.append("- CPU per line ≤ %.2f %% of a core: %s (%s)" % (
        TARGETS["cpu_percent_per_line"],
        "met" if max(cpu.values()) <= TARGETS["cpu_percent_per_line"] else "MISSED",
        ", ".join("%.3f %% at %d" % (cpu[n], n) for n in counts)))
    if len(counts) >= 2:
        a, b, off = linear_fit([(n, groups[("driver", n)].median("cpu_total")) for n in counts])
        out.append("- Growth: all lines' CPU ≈ %.3f %% + %.4f %% × lines of a core (least squares "
                   "over the medians; no point more than %.3f %% off the line)" % (a, b, off))
    alone = groups.get(("driver", counts[0]))
    if alone is not None and most != counts[0]:
        low, high = alone.spread("eff_worst")
        c_alone = groups.get(("baseline-c", counts[0]))
        c_top = groups.get(("baseline-c", most))
        machine = ""
        if c_alone is not None and c_top is not None:
            machine = "; the C pollers, one process a line, go %.4f → %.4f" % (
                c_alone.median("eff_worst"), c_top.median("eff_worst"))
        # One run alone is one draw; the worst of many lines is the lowest of many draws.
        # It counts as slowed only below the lowest round alone.
        slowed = worst < low
        out.append("- Neighbours: %s. The worst of %d lines %.4f against %.4f alone (the rounds "
                   "alone span %.4f–%.4f, the machine's noise)%s; median line's added-delay "
                   "p99 %.0f µs against %.0f µs alone" % (
                       "a line slowed beyond the noise" if slowed else
                       "no line slowed beyond the noise", most, worst,
                       alone.median("eff_worst"), low, high, machine,
                       top.median("line_p99_median"), alone.median("line_p99_median")))
    for n in counts:
        d, c = groups.get(("driver", n)), groups.get(("baseline-c", n))
        if c is None:
            continue
        ratio = d.median("cpu_line") / c.median("cpu_line")
        over = d.median("added_p50") - c.median("added_p50")
        out.append("- %d lines against the C poller: CPU %.2f× (target ≤ %.1f×: %s), added-delay "
                   "median %+.0f µs (target ≤ %d µs: %s)" % (
                       n, ratio, TARGETS["cpu_ratio_to_c"],
                       "met" if ratio <= TARGETS["cpu_ratio_to_c"] else "MISSED", over,
                       TARGETS["added_median_over_c_us"],
                       "met" if over <= TARGETS["added_median_over_c_us"] else "MISSED"))
    return out


def plot(folder, groups):
    """Lines → CPU per line, worst line's efficiency and latency, driver against C."""
    data = os.path.join(folder, "scale.dat")
    names = ("cpu_line", "eff_worst", "added_p50", "added_p99", "delivery_p99")
    with open(data, "w") as f:
        for index, impl in enumerate(IMPLS):
            if index:
                f.write("\n\n")
            f.write("# %s: lines, then median low high of %s\n" % (impl, ", ".join(names)))
            for lines in sorted(n for i, n in groups if i == impl):
                runs = groups[(impl, lines)]
                cells = []
                for name in names:
                    low, high = runs.spread(name)
                    cells += ["%g" % runs.median(name), "%g" % low, "%g" % high]
                f.write("%d %s\n" % (lines, " ".join(cells)))

    def series(column, title_of, style="yerrorlines"):
        return ", ".join("'%s' index %d using 1:%d:%d:%d with %s lw 2 title '%s'" % (
            data, i, column, column + 1, column + 2, style, title_of(impl))
            for i, impl in enumerate(IMPLS))

    script = [
        "set terminal png size 1200,900",
        "set output '%s'" % os.path.join(folder, "scale.png"),
        "set multiplot layout 2,2 title 'Many lines in one host: 32 drives a line at 4800 baud "
        "(median of rounds, bars: lowest-highest)'",
        "set logscale x 2", "set xrange [0.8:45]", "set xtics (1, 4, 16, 36)", "set grid",
        "set xlabel 'lines'", "set key top right",
        "set title 'CPU per line'", "set ylabel '% of a core'", "set yrange [0:*]",
        "plot " + series(2, lambda i: i),
        "set title 'Efficiency of the worst line'", "set ylabel 'of the ideal'",
        "set yrange [*:1.0]", "set key bottom right",
        "plot " + series(5, lambda i: i) + ", 0.99 with lines dt 2 lc 'gray' title 'target'",
        "set title 'Added delay (all lines)'", "set ylabel 'µs'", "set logscale y",
        "set yrange [*:*]", "set key top left",
        "plot " + series(8, lambda i: i + " p50") + ", " + series(11, lambda i: i + " p99"),
        "set title 'Delivery latency p99 (all lines)'", "set ylabel 'µs'",
        "plot " + series(14, lambda i: i),
        "unset multiplot"]
    subprocess.run(["gnuplot"], input="\n".join(script), text=True, check=True)


def section(folder):
    rows = read_jsonl(os.path.join(folder, "scale.jsonl"))
    if not rows:
        return []
    groups = group(rows)
    probes = read_jsonl(os.path.join(folder, "probes.jsonl"))
    lines = ["## Many lines in one host", "",
             "Each figure: the median of the rounds, (lowest–highest). CPU: the driver's threads "
             "(the C baseline: its processes), per minute of polling, in % of one core.", ""]
    lines += figures_table(groups)
    lines += ["", "### The driver against the C poller (medians of rounds)", ""]
    lines += ratio_table(groups)
    lines += ["", "### Where the CPU goes: a poll thread's runs (medians of rounds)", ""]
    lines += cost_table(groups)
    lines += ["", "### Each round's pair: the machine's moment shows in both", ""]
    lines += cost_by_round(rows)
    if probes:
        lines += ["", "### The machine in each round (vfda-wake-probe)", ""] + probes_table(probes)
    lines += ["", "### Targets", ""] + verdicts(groups)
    plot(folder, groups)
    return lines
