#!/usr/bin/env python3
"""The desktop host against the plain Qt Widgets program (velk_peer_windows) showing as many
windows, in one X session: first paint, CPU to start up, memory, threads; then both idle side by
side over a stretch that holds a minute's refresh. Run by bench/measure-host.sh, which sets up the
private X server and session bus; see bench/README.md for what each figure means.

Environment: COUNTS (default "18 53 100"), RUNS (3), IDLE_SECONDS (60), SETTLE_SECONDS (5),
IDLE_SETTLE_SECONDS (45: when the idle stretch starts, once the start-up's work is over),
STEADY_MINUTES (0: when set, the host with the last count is then watched that long for its
thread count)."""
import glob
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

BUILD = sys.argv[1] if len(sys.argv) > 1 else "build/release"
PROG = os.path.join(BUILD, "src/host/velk-widgets")
PEER = os.path.join(BUILD, "bench/velk_peer_windows")
COUNTS = [int(c) for c in os.environ.get("COUNTS", "18 53 100").split()]
RUNS = int(os.environ.get("RUNS", "3"))
IDLE = float(os.environ.get("IDLE_SECONDS", "60"))
SETTLE = float(os.environ.get("SETTLE_SECONDS", "5"))
IDLE_SETTLE = float(os.environ.get("IDLE_SETTLE_SECONDS", "45"))
STEADY_MINUTES = float(os.environ.get("STEADY_MINUTES", "0"))
SAMPLE = 0.1
SIZES = {"small": "160x160", "medium": "344x160"}

for p in (PROG, PEER):
    if not os.access(p, os.X_OK):
        sys.exit(f"measure-host: no {p} (build velk-widgets and velk_peer_windows first)")

home = tempfile.mkdtemp()
os.environ.update(XDG_CONFIG_HOME=f"{home}/config", XDG_DATA_HOME=f"{home}/data", XDG_CACHE_HOME=f"{home}/cache")
KINDS = [line.split("\t") for line in subprocess.run([PROG, "list"], capture_output=True, text=True, check=True).stdout.splitlines()]


def place(count):
    """A fresh placement file with COUNT widgets, cycling through the bundle's kinds, as
    `velk-widgets add` places them; answers the peer's --size arguments."""
    shutil.rmtree(f"{home}/config", ignore_errors=True)
    sizes = []
    for i in range(count):
        kind, _, family = KINDS[i % len(KINDS)][:3]
        subprocess.run([PROG, "add", kind], capture_output=True, check=True)
        sizes += ["--size", SIZES.get(family, "344x344")]
    return sizes


def cpu_ms(pid):
    """CPU time of the live threads, in ms, to the nanosecond the scheduler counts (the process's
    utime + stime in /proc are in 10 ms ticks, a quarter of the Qt program's start). Threads that
    ended are not counted: none of either program ends in its first seconds."""
    return sum(ns for ns, _ in task_counters(pid).values()) / 1e6


def memory(pid):
    """kB: private dirty memory plus the shared-memory images handed to the X server, resident,
    proportional."""
    dirty_shm = rss = pss = 0
    shm = False
    with open(f"/proc/{pid}/smaps") as f:
        for line in f:
            head = line.split()
            if not head:
                continue
            if "-" in head[0] and not head[0].endswith(":"):
                name = head[5] if len(head) > 5 else ""
                shm = name.startswith(("/SYSV", "/memfd:", "/dev/shm"))
            elif head[0] == "Rss:":
                rss += int(head[1])
                if shm:
                    dirty_shm += int(head[1])
            elif head[0] == "Pss:":
                pss += int(head[1])
            elif head[0] == "Private_Dirty:" and not shm:
                dirty_shm += int(head[1])
    return dirty_shm, rss, pss


def threads(pid):
    return len(os.listdir(f"/proc/{pid}/task"))


def task_counters(pid):
    """{tid: (cpu ns, context switches)} of the live threads."""
    out = {}
    for task in glob.glob(f"/proc/{pid}/task/*"):
        try:
            with open(f"{task}/schedstat") as f:
                ns = int(f.read().split()[0])
            with open(f"{task}/status") as f:
                sw = sum(int(l.split()[1]) for l in f if l.startswith(("voluntary_ctxt", "nonvoluntary_ctxt")))
            out[task.rsplit("/", 1)[1]] = (ns, sw)
        except (OSError, ValueError, IndexError):
            pass
    return out


def start(cmd, out):
    started = time.time_ns()
    proc = subprocess.Popen(cmd, stdout=out, stderr=subprocess.STDOUT)
    return proc, started


def stop(proc):
    proc.send_signal(signal.SIGTERM)
    try:
        proc.wait(10)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def first_paint(path, started):
    with open(path) as f:
        for line in f:
            if line.startswith("first paint at "):
                return (int(line.split()[3]) - started) / 1e6
    return float("nan")


def start_up(cmd):
    """One start: first paint (ms), CPU until settled (ms), memory (kB), threads."""
    log = f"{home}/out.log"
    with open(log, "w") as out:
        proc, started = start(cmd, out)
        deadline = time.monotonic() + SETTLE
        while time.monotonic() < deadline:
            time.sleep(0.05)
        fields = dict(first=first_paint(log, started), cpu=cpu_ms(proc.pid), threads=threads(proc.pid))
        fields["dirty"], fields["rss"], fields["pss"] = memory(proc.pid)
        stop(proc)
    return fields


def idle(pids):
    """Samples every SAMPLE seconds over IDLE seconds: per process the CPU (ms), the separate
    wall-clock seconds in which a thread woke, the CPU of the minute's refresh (ms, from just
    before the whole minute to 2 s after it) and the fewest and most threads."""
    last = {pid: task_counters(pid) for pid in pids}
    r = {pid: dict(cpu=0.0, seconds=set(), refresh=0.0, tmin=threads(pid), tmax=threads(pid)) for pid in pids}
    begin = time.time()
    while time.time() - begin < IDLE:
        time.sleep(SAMPLE)
        now = time.time()
        into_minute = now % 60
        for pid in pids:
            cur = task_counters(pid)
            d_ns = d_sw = 0
            for tid, (ns, sw) in cur.items():
                ns0, sw0 = last[pid].get(tid, (0, 0))
                d_ns += ns - ns0
                d_sw += sw - sw0
            last[pid] = {**last[pid], **cur}
            r[pid]["cpu"] += d_ns / 1e6
            if d_sw > 0:
                r[pid]["seconds"].add(int(now))
            if into_minute < 2 + SAMPLE:
                r[pid]["refresh"] += d_ns / 1e6
            n = len(cur)
            r[pid]["tmin"] = min(r[pid]["tmin"], n)
            r[pid]["tmax"] = max(r[pid]["tmax"], n)
    for pid in pids:
        r[pid]["cpu_pct"] = 100 * r[pid]["cpu"] / 1000 / IDLE
        r[pid]["wakes"] = len(r[pid]["seconds"]) * 60 / IDLE
    return r


def med(values):
    values = [v for v in values if v == v]
    return statistics.median(values) if values else float("nan")


def ratio(a, b):
    return f"{a / b:.2f}x" if b else "?"


def load():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


rows = []
print(f"load average at start: {load()}; {RUNS} runs each, medians", flush=True)
for count in COUNTS:
    sizes = place(count)
    H, P = [], []
    os.environ["VELK_HOST_FIRST_PAINT"] = "1"
    for _ in range(RUNS):
        H.append(start_up([PROG]))
        P.append(start_up([PEER, *sizes, str(count)]))
    os.environ.pop("VELK_HOST_FIRST_PAINT", None)
    HI, PI = [], []
    for _ in range(RUNS if IDLE > 0 else 0):
        with open(os.devnull, "w") as null:
            host, _ = start([PROG], null)
            peer, _ = start([PEER, *sizes, str(count)], null)
            time.sleep(IDLE_SETTLE)
            r = idle([host.pid, peer.pid])
            stop(host)
            stop(peer)
        HI.append(r[host.pid])
        PI.append(r[peer.pid])

    def m(runs, key):
        return med([run[key] for run in runs])

    def most(runs):
        return max((run["tmax"] for run in runs), default=float("nan"))

    figures = [
        ("first paint", "ms", m(H, "first"), m(P, "first")),
        ("CPU to start up", "ms", m(H, "cpu"), m(P, "cpu")),
        ("idle CPU over the stretch", "%", m(HI, "cpu_pct"), m(PI, "cpu_pct")),
        ("minute refresh CPU", "ms", m(HI, "refresh"), m(PI, "refresh")),
        ("seconds with a wake, a minute", "", m(HI, "wakes"), m(PI, "wakes")),
        ("private dirty + shared images", "MB", m(H, "dirty") / 1024, m(P, "dirty") / 1024),
        ("resident (RSS)", "MB", m(H, "rss") / 1024, m(P, "rss") / 1024),
        ("proportional (PSS)", "MB", m(H, "pss") / 1024, m(P, "pss") / 1024),
        ("threads once started", "", m(H, "threads"), m(P, "threads")),
        ("threads while idle, most", "", most(HI), most(PI)),
    ]
    print(f"\n{count} widgets / windows (load average {load()})")
    print(f"  {'':32} {'host':>10} {'Qt peer':>10} {'ratio':>7}")
    for name, unit, h, p in figures:
        if h != h and p != p:
            continue  # not measured in this run (IDLE_SECONDS=0)
        fmt = ".3f" if unit == "%" else ".1f" if unit == "MB" else ".0f"
        print(f"  {name + (' (' + unit + ')' if unit else ''):32} {h:>10{fmt}} {p:>10{fmt}} {ratio(h, p):>7}", flush=True)

if STEADY_MINUTES > 0:
    with open(os.devnull, "w") as null:
        host, _ = start([PROG], null)
        time.sleep(SETTLE)
        counts = []
        end = time.monotonic() + STEADY_MINUTES * 60
        while time.monotonic() < end:
            counts.append(threads(host.pid))
            time.sleep(1)
        stop(host)
    print(f"\nhost threads over {STEADY_MINUTES:g} minutes with {COUNTS[-1]} widgets: fewest {min(counts)}, most {max(counts)}")
print(f"\nload average at end: {load()}")
shutil.rmtree(home, ignore_errors=True)
