#!/usr/bin/env python3
"""The tables of BENCHMARKS.md, in markdown, from one run of bench/run.sh.

    bench/tables.py BENCHMARK_JSON COMMIT [MEMORY_REPORT ...]

BENCHMARK_JSON is Google Benchmark's JSON output (with repetitions: the medians are used);
each MEMORY_REPORT is the output of one run of bench/memory.sh.

A benchmark is shown in the table that names it below; a benchmark that no table names is
listed under "Other benchmarks", so that a new one shows up before it has its own row. Adding
a row to a table is one line in its list.
"""

import json
import platform
import re
import subprocess
import sys
from dataclasses import dataclass


@dataclass
class Compared:
    """A row that sets a benchmark against another: the ratio of the two, and its goal."""
    label: str
    ours: str            # benchmark name
    theirs: str          # benchmark name of what it is compared with
    goal: float | None   # the ratio should be at most this


# The idle tick: (jobs listed, benchmark).
TICK_ROWS = [
    (10, "IdleScheduleCheck/10"),
    (1000, "IdleScheduleCheck/1000"),
]

DATE_TIME_ROWS = [
    Compared("value to text: `DateTimeText` / `gmtime_r` + `strftime`",
             "BM_DateTimeText", "BM_strftime", 1.0),
    Compared("text to value: `ParseDateTime` / `strptime` + `timegm`",
             "BM_ParseDateTime", "BM_strptime", 0.8),
]

# Work over the job folder against its floor (walking the folder and reading every job file
# with the bare platform calls).
JOB_FOLDER_ROWS = [
    Compared("rebuild (`DiscoverJobs`), 10 job files", "Rebuild/10", "RebuildFloor/10", None),
    Compared("rebuild, 1,000 job files", "Rebuild/1000", "RebuildFloor/1000", 1.15),
    Compared("rebuild, 10,000 job files", "Rebuild/10000", "RebuildFloor/10000", 1.15),
]

# The companion lister against the scheduler's own work over the same 1,000 job files.
LISTER_ROWS = [
    Compared("listing 1,000 job files / the scheduler's rebuild of them",
             "ListerVsRebuild_Lister", "ListerVsRebuild_SchedulerRebuild", 2.0),
    Compared("the same with a store of 1,000 lines / the scheduler's first tick (rebuild and check)",
             "ListerVsRebuild_ListerWithStore", "ListerVsRebuild_SchedulerFirstTickWithStore", 2.0),
]

MEMORY_GOAL = 0.85  # the scheduler's resident memory over cron's, in every run


def median_times(path):
    """Benchmark name -> (CPU time of the median repetition, its unit)."""
    with open(path) as f:
        run = json.load(f)
    times, single = {}, {}
    repetitions = max((b.get("repetitions", 1) for b in run["benchmarks"]), default=1)
    for b in run["benchmarks"]:
        if b.get("error_occurred"):
            times[b["run_name"]] = None
        elif b.get("run_type") == "aggregate" and b.get("aggregate_name") == "median":
            times[b["run_name"]] = (b["cpu_time"], b["time_unit"])
        elif b.get("run_type") == "iteration":
            single[b["run_name"]] = (b["cpu_time"], b["time_unit"])
    for name, value in single.items():  # a run without repetitions has no aggregates
        times.setdefault(name, value)
    return run["context"], times, repetitions


UNIT_SECONDS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


def seconds(value):
    return value[0] * UNIT_SECONDS[value[1]]


def significant(x, digits=3):
    """x with `digits` significant digits at most, thousands separated."""
    if x == 0:
        return "0"
    text = f"{x:.{digits}g}"
    if "e" in text:
        text = f"{float(text):.0f}"
    whole, _, fraction = text.partition(".")
    return f"{int(whole):,}" + (f".{fraction}" if fraction else "")


def duration(s):
    for unit, size in (("s", 1.0), ("ms", 1e-3), ("µs", 1e-6), ("ns", 1e-9)):
        if s >= size or unit == "ns":
            return f"{significant(s / size)} {unit}"


def ratio_cells(ratio, goal):
    cells = [f"{ratio:.2f}"]
    if goal is not None:
        cells.append(f"at most {goal}: {'met' if ratio <= goal else '**not met**'}")
    else:
        cells.append("")
    return cells


def table(header, rows):
    lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    lines += ["| " + " | ".join(row) + " |" for row in rows]
    return "\n".join(lines)


def compared_table(rows, times, used, first_column, ours_column, theirs_column):
    out = []
    for row in rows:
        if row.ours not in times or row.theirs not in times:
            continue
        used.update((row.ours, row.theirs))
        ours, theirs = times[row.ours], times[row.theirs]
        if ours is None or theirs is None:
            out.append([row.label, "failed" if ours is None else duration(seconds(ours)),
                        "failed" if theirs is None else duration(seconds(theirs)), "", ""])
            continue
        ratio = seconds(ours) / seconds(theirs)
        out.append([row.label, duration(seconds(ours)), duration(seconds(theirs))] +
                   ratio_cells(ratio, row.goal))
    if not out:
        return None
    return table([first_column, ours_column, theirs_column, "ratio", "goal"], out)


def memory_runs(paths):
    """Per memory report: the VmRSS and RssAnon of the scheduler and of cron, in kB."""
    runs = []
    for path in paths:
        rss = {}
        with open(path) as f:
            for line in f:
                # "scheduler, 1000 jobs" or "cron -f", then VmRSS, VmHWM, RssAnon, RssFile
                fields = line[26:].split()
                for process, prefix in (("scheduler", "scheduler,"), ("cron", "cron -f")):
                    if line.startswith(prefix):
                        rss[process] = (int(fields[0]), int(fields[2]))
        if len(rss) == 2:
            runs.append(rss)
    return runs


def machine_line(context):
    cpu = "unknown processor"
    try:
        with open("/proc/cpuinfo") as f:
            cpu = next(line.split(":", 1)[1].strip() for line in f if line.startswith("model name"))
    except (OSError, StopIteration):
        pass
    system = platform.system()
    try:
        with open("/etc/os-release") as f:
            system = re.search(r'^PRETTY_NAME="?([^"\n]*)', f.read(), re.M).group(1)
    except (OSError, AttributeError):
        pass

    def version(command):
        try:
            out = subprocess.run(command, capture_output=True, text=True, check=True).stdout
            return out.splitlines()[0].strip()
        except (OSError, subprocess.CalledProcessError, IndexError):
            return "unknown"

    compiler = version(["c++", "--version"])
    library = version(["dpkg-query", "-W", "-f=${Version}", "libbenchmark-dev"])
    l2 = [c for c in context.get("caches", []) if c["level"] == 2]
    cache = f", L2 {l2[0]['size'] // 1024} KiB per core" if l2 else ""
    return (f"{context.get('num_cpus', '?')} cores of {cpu} at "
            f"{context.get('mhz_per_cpu', 0) / 1000:.1f} GHz{cache}; {system}; {compiler}; "
            f"Google Benchmark {library}")


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    context, times, repetitions = median_times(sys.argv[1])
    commit = sys.argv[2]
    memory = memory_runs(sys.argv[3:])
    used = set()
    load = context.get("load_avg", [])

    date = context.get("date", "?")
    print(f"Measured with `bash bench/run.sh` on {date[:10]} at {date[11:16]} "
          f"(UTC{date[19:] or '?'}), commit {commit}, build preset `native`.  ")
    print(f"Machine: {machine_line(context)}.  ")
    if load:
        print(f"Load average when the benchmarks began: {load[0]:.1f} (1 min), "
              f"{load[1]:.1f} (5 min).  ")
    print("Times are CPU times of one operation" +
          (f", the median of {repetitions} repetitions run interleaved at random."
           if repetitions > 1 else ", from one repetition."))

    rows = [[f"{jobs:,}", duration(seconds(times[name])),
             duration(seconds(times[name]) / jobs)]
            for jobs, name in TICK_ROWS if times.get(name)]
    used.update(name for _, name in TICK_ROWS)
    if rows:
        print("\n#### The idle tick\n")
        print(table(["jobs listed", "one tick", "per job"], rows))

    text = compared_table(DATE_TIME_ROWS, times, used, "operation", "ours", "C library")
    if text:
        print("\n#### Date-time text against the C library\n")
        print(text)

    text = compared_table(JOB_FOLDER_ROWS, times, used, "work over the job folder", "time",
                          "floor")
    if text:
        print("\n#### Work over the job folder against its floor\n")
        print(text)

    text = compared_table(LISTER_ROWS, times, used, "companion lister", "lister", "scheduler")
    if text:
        print("\n#### The companion lister against the scheduler\n")
        print(text)

    if memory:
        print("\n#### Resident memory, idle, 1,000 jobs listed\n")
        rows = []
        for run, rss in enumerate(memory, 1):
            (ours, ours_own), (cron, cron_own) = rss["scheduler"], rss["cron"]
            rows.append([str(run), f"{ours:,} kB", f"{ours_own:,} kB", f"{cron:,} kB",
                         f"{cron_own:,} kB"] + ratio_cells(ours / cron, MEMORY_GOAL))
        print(table(["run", "scheduler", "of it its own", "cron", "of it its own", "ratio",
                     "goal"], rows))
        print("\n\"Its own\": anonymous memory (heap, stacks, data); the rest are pages of the "
              "program and its libraries mapped from disk.")

    others = [[name, "failed" if value is None else duration(seconds(value))]
              for name, value in times.items() if name not in used]
    if others:
        print("\n#### Other benchmarks\n")
        print(table(["benchmark", "time"], others))


if __name__ == "__main__":
    main()
