#!/usr/bin/python3
"""Runs Typeloom's benchmarks against their floors and writes one JSON file per run.

    /usr/bin/python3 bench/run_bench.py RELEASE_BUILD_DIR OUT_DIR [--quick] [--only NAME,...] [--peers]

RELEASE_BUILD_DIR holds a Release build with the targets typeloom, startup_floor,
font_read_bench (and the other *_bench programs that exist). Every figure is printed
beside its floor, measured in the same run, and their ratio. The window benchmarks run
under their own Xvfb. Figures are medians of interleaved runs (program, floor,
program, ...) so that load from other processes falls on both alike. A run that fails
is reported with the program, its round, exit status and standard error, and the other
benchmarks still run. --peers times other font viewers side by side instead.
"""
import argparse
import datetime
import glob
import json
import os
import select
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)


def log(text):
    print(text, flush=True)


class RunFailed(Exception):
    """One run of a program did not give its figure; the message says which and why."""


def ended_early(command, process, stderr_file, what):
    """The message for a program that ended before the harness saw its end point."""
    status = process.wait()
    stderr_file.seek(0)
    tail = stderr_file.read()[-2000:].decode("utf-8", "replace").strip()
    reason = ("killed by signal %d" % -status) if status < 0 else ("exit status %d" % status)
    return "%s ended before %s (%s)%s" % (command[0], what, reason,
                                          ("; standard error:\n" + tail) if tail else "; no standard error")


# ---------------------------------------------------------------------------------
# Sandboxes and the X server


class Xvfb:
    """An X server of its own, on the first free display number. -noreset: by default
    the server resets when its last client leaves, and a program started during that
    reset cannot connect and ends before its first paint."""

    def __enter__(self):
        read, write = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset"],
            pass_fds=[write], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        number = b""
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([read], [], [], 30)
            if not ready or not (chunk := os.read(read, 16)):
                self.process.kill()
                self.process.wait()
                os.close(read)
                raise RunFailed("Xvfb did not start")
            number += chunk
        os.close(read)
        self.display = ":" + number.decode().strip()
        return self

    def __exit__(self, *exc):
        self.process.terminate()
        self.process.wait()


def sandbox_env(root, display, fontconfig_file=None):
    """Own HOME and XDG folders, the splash switched off, the given X display."""
    env = dict(os.environ)
    for name in ("home", "config/Typeloom", "data", "cache", "runtime"):
        os.makedirs(os.path.join(root, name), exist_ok=True)
    os.chmod(os.path.join(root, "runtime"), 0o700)
    with open(os.path.join(root, "config", "Typeloom", "Typeloom.ini"), "w") as f:
        f.write("[Settings]\nShowSplash=0\n")
    env.update(HOME=os.path.join(root, "home"), XDG_CONFIG_HOME=os.path.join(root, "config"),
               XDG_DATA_HOME=os.path.join(root, "data"), XDG_CACHE_HOME=os.path.join(root, "cache"),
               XDG_RUNTIME_DIR=os.path.join(root, "runtime"), QT_QPA_PLATFORM="xcb")
    if display:
        env["DISPLAY"] = display
    env.pop("WAYLAND_DISPLAY", None)
    if fontconfig_file:
        env["FONTCONFIG_FILE"] = fontconfig_file
    return env


def start_to_painted(command, env, timeout=120):
    """Seconds from exec to the window's first complete paint, and peak RSS in KiB."""
    read, write = os.pipe()
    env = dict(env, TYPELOOM_TRACE="/dev/fd/%d" % write)
    stderr_file = tempfile.TemporaryFile()
    start = time.perf_counter()
    process = subprocess.Popen(command, env=env, pass_fds=[write], stdout=subprocess.DEVNULL,
                               stderr=stderr_file)
    os.close(write)
    seen = b""
    try:
        while b"painted\n" not in seen:
            ready, _, _ = select.select([read], [], [], timeout)
            if not ready:
                raise RunFailed("%s: no first paint within %d s" % (command[0], timeout))
            chunk = os.read(read, 4096)
            if not chunk:
                raise RunFailed(ended_early(command, process, stderr_file, "its first paint"))
            seen += chunk
        elapsed = time.perf_counter() - start
        rss = 0
        with open("/proc/%d/status" % process.pid) as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    rss = int(line.split()[1])
        return elapsed, rss
    finally:
        process.kill()
        process.wait()
        os.close(read)
        stderr_file.close()


def run_seconds(command, env):
    start = time.perf_counter()
    done = subprocess.run(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    elapsed = time.perf_counter() - start
    if done.returncode != 0:
        tail = done.stderr[-2000:].decode("utf-8", "replace").strip()
        raise RunFailed("%s failed (exit status %d)%s" % (" ".join(command), done.returncode,
                                                         ("; standard error:\n" + tail) if tail else ""))
    return elapsed


def interleaved(pairs, runs, warmup=2, failures=None):
    """Runs each (name, function) in turn, `runs` times after `warmup`; the samples.
    A failed run ends them all, or, given a `failures` dict, only that program's: it
    is left out of later rounds and the message kept under its name."""
    samples = {name: [] for name, _ in pairs}
    for i in range(warmup + runs):
        for name, function in pairs:
            if failures is not None and name in failures:
                continue
            try:
                value = function()
            except RunFailed as e:
                which = ("warm-up round %d of %d" % (i + 1, warmup)) if i < warmup else (
                    "round %d of %d" % (i - warmup + 1, runs))
                message = "%s, %s: %s" % (name, which, e)
                if failures is None:
                    raise RunFailed(message) from None
                log("%s FAILED: %s" % (name, message))
                failures[name] = message
                continue
            if i >= warmup:
                samples[name].append(value)
    return samples


def row(name, figure, floor, unit, goal, note=""):
    ratio = figure / floor if floor else float("nan")
    return {"name": name, "figure": figure, "floor": floor, "unit": unit, "ratio": ratio, "goal": goal,
            "met": (ratio <= goal) if goal else None, "note": note}


# ---------------------------------------------------------------------------------
# Benchmarks


def installed_font_files(env=None):
    out = subprocess.run(["fc-list", ":", "file"], env=env, capture_output=True, text=True, check=True).stdout
    return sorted({line.strip().rstrip(":") for line in out.splitlines() if line.strip()})


DROP_CACHES = "/proc/sys/vm/drop_caches"


def can_drop_caches():
    return os.geteuid() == 0 and os.access(DROP_CACHES, os.W_OK)


def drop_caches():
    """Empties the page cache (and dentries and inodes), so the next start reads its
    libraries and font caches from disk."""
    os.sync()
    with open(DROP_CACHES, "w") as f:
        f.write("3\n")


def bench_startup(build, display, runs, label, fontconfig_file=None, goal=1.1, rss_goal=1.1, cold=False):
    typeloom = os.path.join(build, "typeloom")
    floor = os.path.join(build, "bench", "startup_floor")
    before = drop_caches if cold else (lambda: None)

    def timed(command, env):
        before()
        return start_to_painted(command, env)

    with tempfile.TemporaryDirectory() as a, tempfile.TemporaryDirectory() as b:
        env_a = sandbox_env(a, display, fontconfig_file)
        env_b = sandbox_env(b, display, fontconfig_file)
        samples = interleaved([("typeloom", lambda: timed([typeloom], env_a)),
                               ("floor", lambda: timed([floor], env_b))], runs, warmup=1 if cold else 2)
    t = statistics.median(s[0] for s in samples["typeloom"])
    f = statistics.median(s[0] for s in samples["floor"])
    rt = max(s[1] for s in samples["typeloom"])
    rf = max(s[1] for s in samples["floor"])
    kind = "cold start " if cold else "start-up "
    rows = [row(kind + label, t * 1000, f * 1000, "ms", goal, "median of %d" % runs)]
    if not cold:
        rows.append(row("peak RSS " + label, rt / 1024, rf / 1024, "MiB", rss_goal, "max of %d" % runs))
    return rows


def bench_list(build, runs):
    typeloom = os.path.join(build, "typeloom")
    env = dict(os.environ)
    samples = interleaved([("typeloom", lambda: run_seconds([typeloom, "--list"], env)),
                           ("floor", lambda: run_seconds(["fc-list", ":", "family", "style", "file"], env))], runs)
    version = interleaved([("typeloom", lambda: run_seconds([typeloom, "--version"], env)),
                           ("floor", lambda: run_seconds(["fc-list", "--version"], env))], runs)
    return [row("--list", statistics.median(samples["typeloom"]) * 1000, statistics.median(samples["floor"]) * 1000,
                "ms", 1.25, "floor: fc-list : family style file; median of %d" % runs),
            row("--version", statistics.median(version["typeloom"]) * 1000,
                statistics.median(version["floor"]) * 1000, "ms", 1.5, "floor: fc-list --version")]


COVERS_TEXT = "Typeloom Ωμέγα ωραία"  # 20 characters, Latin and Greek


def bench_covers(build, runs):
    """--list --covers against fc-list asked for the same characters: as a user runs it
    again (the faces saved by an earlier run, here the warm-up, in a cache folder of
    the benchmark's own), and as a first run (an empty cache folder every time)."""
    typeloom = os.path.join(build, "typeloom")
    command = [typeloom, "--list", "--covers", COVERS_TEXT]
    charset = ":charset=" + " ".join("%x" % ord(c) for c in sorted(set(COVERS_TEXT)) if c != " ")
    with tempfile.TemporaryDirectory(prefix="typeloom-bench-cache-") as cache:
        env = dict(os.environ, XDG_CACHE_HOME=os.path.join(cache, "kept"))

        def first_run():
            with tempfile.TemporaryDirectory(dir=cache) as empty:
                return run_seconds(command, dict(env, XDG_CACHE_HOME=empty))

        samples = interleaved([("typeloom", lambda: run_seconds(command, env)),
                               ("first", first_run),
                               ("floor", lambda: run_seconds(["fc-list", charset, "family"], env))], runs)
    floor = statistics.median(samples["floor"]) * 1000
    return [row("--list --covers (20 chars, run again)", statistics.median(samples["typeloom"]) * 1000, floor, "ms", 1.5,
                "faces saved by an earlier run; floor: fc-list :charset=... family; median of %d" % runs),
            row("--list --covers (20 chars, first run)", statistics.median(samples["first"]) * 1000, floor, "ms", None,
                "no saved faces (an empty cache folder); the same floor")]


def bench_filter(build):
    """The font list's filter for the same text, and whether it fits one frame."""
    rows = bench_google(build, "filter_bench",
                        [("BM_Filter", "BM_FilterFloor", "filter, 20 chars (kept faces)", None),
                         ("BM_FilterFirst", "BM_FilterFloor", "filter, 20 chars (first Ctrl+F)", None),
                         ("BM_FilterAfterTyping", "BM_FilterFloor", "filter, 20 chars (after typing)", None)],
                        None, None, None)
    for r in list(rows):
        if r["name"].startswith("filter, 20 chars (kept"):
            rows.append(row("filter within a frame", r["figure"], 16.0, "ms", 1.0, "floor: 16 ms, one frame"))
        if r["name"].startswith("filter, 20 chars (first Ctrl+F"):
            rows.append(row("first Ctrl+F within a frame", r["figure"], 16.0, "ms", 1.0, "floor: 16 ms, one frame"))
        if r["name"].startswith("filter, 20 chars (after typing"):
            rows.append(row("Ctrl+F after typing within a frame", r["figure"], 16.0, "ms", 1.0,
                            "floor: 16 ms, one frame"))
    return rows


def bench_exports(build, runs, out):
    """--render of one sample line against a bare QPainter-on-QImage floor, and
    --details --json against --details, each as a whole process."""
    typeloom = os.path.join(build, "typeloom")
    floor = os.path.join(build, "bench", "render_floor")
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    family = "DejaVu Sans"
    png = os.path.join(out, "render.png")
    floor_png = os.path.join(out, "render-floor.png")
    render = interleaved([("typeloom", lambda: run_seconds([typeloom, "--render", png, "--font", family], env)),
                          ("floor", lambda: run_seconds([floor, floor_png, family, family + " 12-point font"], env))],
                         runs)
    details = interleaved([("json", lambda: run_seconds([typeloom, "--details", "--json", family], env)),
                           ("plain", lambda: run_seconds([typeloom, "--details", family], env))], runs)
    return [row("--render PNG", statistics.median(render["typeloom"]) * 1000,
                statistics.median(render["floor"]) * 1000, "ms", 1.5,
                "floor: render_floor (QPainter on QImage); median of %d" % runs),
            row("--details --json", statistics.median(details["json"]) * 1000,
                statistics.median(details["plain"]) * 1000, "ms", 1.1, "floor: --details; median of %d" % runs)]


def scale_set(cache_root, files, target):
    """A fontconfig configuration over about `target` links to `files` in numbered
    folders, with its cache built (outside any timing). Kept between runs."""
    copies = max(1, round(target / len(files)))
    root = os.path.join(cache_root, "scale-%d" % target)
    stamp = os.path.join(root, "ready")
    conf = os.path.join(root, "fonts.conf")
    wanted = "2 %d %d\n" % (copies, len(files))
    if os.path.exists(stamp) and open(stamp).read() == wanted:
        return conf, copies * len(files)
    shutil.rmtree(root, ignore_errors=True)
    fonts = os.path.join(root, "fonts")
    for c in range(copies):
        folder = os.path.join(fonts, "%02d" % c)
        os.makedirs(folder)
        for i, path in enumerate(files):
            os.symlink(path, os.path.join(folder, "%05d-%s" % (i, os.path.basename(path))))
    with open(conf, "w") as f:
        f.write('<?xml version="1.0"?>\n<fontconfig><dir>%s</dir><cachedir>%s/cache</cachedir></fontconfig>\n'
                % (fonts, root))
    log("  building the font cache of %d links (once)..." % (copies * len(files)))
    if not os.path.exists(files[0]):
        raise RunFailed("not a font file: %r" % files[0])
    done = subprocess.run(["fc-cache", "-f"], env=dict(os.environ, FONTCONFIG_FILE=conf),
                          stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    if done.returncode != 0:
        tail = done.stderr[-2000:].decode("utf-8", "replace").strip()
        raise RunFailed("fc-cache of the %d-link set failed (exit status %d)%s" % (
            copies * len(files), done.returncode, ("; standard error:\n" + tail) if tail else ""))
    with open(stamp, "w") as f:
        f.write(wanted)
    return conf, copies * len(files)


def bench_scale(build, display, cache_root, files, quick):
    if not files:
        raise RunFailed("fontconfig lists no font files to build the sets from")
    rows = []
    for target, runs, goal in ((2000, 9, 1.1), (8000, 7, 1.15), (32000, 5, 1.1)):
        if quick and target > 2000:
            continue
        conf, count = scale_set(cache_root, files, target)
        rows += bench_startup(build, display, runs, "%d files" % count, conf, goal=goal,
                              rss_goal=1.1 if target == 2000 else None)
    # Growth from the smallest set to the largest, against the floor's growth.
    starts = [r for r in rows if r["name"].startswith("start-up")]
    if len(starts) > 1:
        growth = starts[-1]["figure"] / starts[0]["figure"]
        floor_growth = starts[-1]["floor"] / starts[0]["floor"]
        rows.append(row("start-up growth %s -> %s" % (starts[0]["name"][9:], starts[-1]["name"][9:]), growth,
                        floor_growth, "x", None))
    return rows


def bench_google(build, program, reader_name, floor_name, label, goal, extra=()):
    """A Google Benchmark program: the named benchmark against its floor benchmark.
    Repetitions of the two run in random interleaved order, so that a change of load
    during the run falls on both; medians are compared."""
    exe = os.path.join(build, "bench", program)
    if not os.path.exists(exe):
        raise RunFailed("%s is not built (%s)" % (program, exe))
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        done = subprocess.run([exe, "--benchmark_out=" + out.name, "--benchmark_out_format=json",
                               "--benchmark_repetitions=5", "--benchmark_enable_random_interleaving=true",
                               "--benchmark_report_aggregates_only=true"] + list(extra),
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                              env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
        if done.returncode != 0:
            tail = done.stderr[-2000:].decode("utf-8", "replace").strip()
            raise RunFailed("%s failed (exit status %d)%s" % (program, done.returncode,
                                                             ("; standard error:\n" + tail) if tail else ""))
        data = json.load(open(out.name))
    times = {}
    for b in data["benchmarks"]:
        if b.get("aggregate_name") in ("median", None):
            times[b["run_name"]] = b["real_time"] / {"ns": 1e6, "us": 1e3, "ms": 1, "s": 1e-3}[b["time_unit"]]
    rows = []
    pairs = [(reader_name, floor_name, label, goal)] if isinstance(reader_name, str) else reader_name
    for name, floor, text, g in pairs:
        if name in times and floor in times:
            rows.append(row(text, times[name], times[floor], "ms", g, "%s vs %s" % (name, floor)))
        else:
            absent = " and ".join(n for n in (name, floor) if n not in times)
            log("%s FAILED: %s gave no figure for %s" % (text, program, absent))
            rows.append({"name": text, "failed": True, "error": "%s gave no figure for %s" % (program, absent)})
    return rows


# ---------------------------------------------------------------------------------
# Side by side with other font viewers (--peers)


PEERS = [("GNOME Fonts", "gnome-font-viewer", "gnome-font-viewer"),
         ("Font Manager", "font-manager", "font-manager")]


class DBusSession:
    """A D-Bus session bus of its own, shared by every program of the run."""

    def __enter__(self):
        self.process = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        ready, _, _ = select.select([self.process.stdout], [], [], 30)
        line = self.process.stdout.readline().decode().strip() if ready else ""
        if not line:
            self.process.kill()
            raise RunFailed("dbus-daemon did not start")
        self.address = line
        return self

    def __exit__(self, *exc):
        self.process.terminate()
        self.process.wait()


def cpu_seconds(pid):
    """User and system time of a process and its reaped children, in seconds."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    ticks = os.sysconf("SC_CLK_TCK")
    return sum(int(v) for v in fields[11:15]) / ticks


def peak_rss_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0


# A change of fewer pixels than this is a text cursor blinking, not drawing.
CURSOR_PIXELS = 64
# Settled: no larger change for this long and less CPU than QUIET_CPU in that time.
QUIET_SECONDS = 1.0
QUIET_CPU = 0.02


def start_to_settled(build, command, env, timeout=60):
    """Seconds from exec to the first change on screen (the window's first paint), to
    the last change before the screen and the process fell quiet, and peak RSS in KiB
    at that point. Read the same way for every program, from screen_watch."""
    watch_stderr = tempfile.TemporaryFile()
    watch = subprocess.Popen([os.path.join(build, "bench", "screen_watch")], env=env, stdout=subprocess.PIPE,
                             stderr=watch_stderr)
    stderr_file = tempfile.TemporaryFile()
    process = None
    buffered = b""

    def lines(wait):
        nonlocal buffered
        ready, _, _ = select.select([watch.stdout], [], [], wait)
        if not ready:
            return []
        chunk = os.read(watch.stdout.fileno(), 65536)
        if not chunk:
            raise RunFailed(ended_early(["screen_watch"], watch, watch_stderr, "the program settled"))
        buffered += chunk
        *complete, buffered = buffered.split(b"\n")
        return [line.decode().split() for line in complete if line]

    try:
        while not any(fields[1] == "ready" for fields in lines(10)):
            pass
        start = time.monotonic()
        process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=stderr_file)
        first = last = None
        cpu_marks = []  # (time, cpu seconds)
        while True:
            now = time.monotonic()
            if now - start > timeout:
                raise RunFailed("%s: did not settle within %d s" % (command[0], timeout))
            for when, changed in lines(0.05):
                when = float(when)
                if when >= start and int(changed) >= CURSOR_PIXELS:
                    first = when if first is None else first
                    last = when
            if process.poll() is not None:
                raise RunFailed(ended_early(command, process, stderr_file, "it settled"))
            cpu_marks.append((now, cpu_seconds(process.pid)))
            if last is None or now - last < QUIET_SECONDS:
                continue
            earlier = [c for t, c in cpu_marks if t <= now - QUIET_SECONDS]
            if earlier and cpu_marks[-1][1] - earlier[-1] < QUIET_CPU:
                return first - start, last - start, peak_rss_kib(process.pid)
    finally:
        if process is not None:
            process.kill()
            process.wait()
        watch.kill()
        watch.wait()
        stderr_file.close()
        watch_stderr.close()


def ensure_peers():
    """Installs the peers from Debian when they are absent."""
    missing = [package for _, package, exe in PEERS if not shutil.which(exe)]
    if not shutil.which("dbus-daemon"):
        missing.append("dbus-daemon")
    if missing:
        log("peers: installing %s" % " ".join(missing))
        sudo = [] if os.geteuid() == 0 else ["sudo"]
        env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
        for command in (sudo + ["apt-get", "update", "-qq"],
                        sudo + ["apt-get", "install", "-y", "-qq", "--no-install-recommends"] + missing):
            done = subprocess.run(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
            if done.returncode != 0:
                tail = done.stderr[-2000:].decode("utf-8", "replace").strip()
                raise RunFailed("%s failed (exit status %d)%s" % (" ".join(command), done.returncode,
                                                                 ("; standard error:\n" + tail) if tail else ""))


def bench_peers(build, runs):
    """Typeloom, its start-up floor and the peers, interleaved under one Xvfb and one
    D-Bus session: first paint, settle and peak RSS, with each program's ratio to
    Typeloom's."""
    ensure_peers()
    programs = [("Typeloom", [os.path.join(build, "typeloom")]),
                ("start-up floor", [os.path.join(build, "bench", "startup_floor")])]
    programs += [(name, [exe]) for name, _, exe in PEERS]
    with Xvfb() as x, DBusSession() as bus, tempfile.TemporaryDirectory() as root:
        pairs = []
        for i, (name, command) in enumerate(programs):
            env = sandbox_env(os.path.join(root, str(i)), x.display)
            env["DBUS_SESSION_BUS_ADDRESS"] = bus.address
            pairs.append((name, lambda command=command, env=env: start_to_settled(build, command, env, 120)))
        # One program that fails leaves the others' figures.
        failures = {}
        samples = interleaved(pairs, runs, warmup=1, failures=failures)
    table = []
    for name, _ in programs:
        if name in failures:
            table.append({"name": name, "failed": True, "error": failures[name]})
            continue
        table.append({"name": name, "first_paint_ms": statistics.median(s[0] for s in samples[name]) * 1000,
                      "settled_ms": statistics.median(s[1] for s in samples[name]) * 1000,
                      "peak_rss_mib": max(s[2] for s in samples[name]) / 1024})
    log("")
    log("side by side (median of %d; settled: no drawing for %.1f s and under %d ms CPU in it)"
        % (runs, QUIET_SECONDS, QUIET_CPU * 1000))
    log("%-16s %14s %14s %14s   %s" % ("program", "first paint", "settled", "peak RSS", "against Typeloom"))
    base = table[0]
    for r in table:
        if r.get("failed"):
            log("%-16s %s" % (r["name"], "FAILED (see above)"))
            continue
        against = ("paint %.2fx, settle %.2fx, RSS %.2fx" % (
            r["first_paint_ms"] / base["first_paint_ms"], r["settled_ms"] / base["settled_ms"],
            r["peak_rss_mib"] / base["peak_rss_mib"])) if not base.get("failed") else "-"
        log("%-16s %11.1f ms %11.1f ms %10.1f MiB   %s" % (r["name"], r["first_paint_ms"], r["settled_ms"],
                                                        r["peak_rss_mib"], against))
    return table


# ---------------------------------------------------------------------------------


def print_table(rows):
    log("")
    log("%-34s %12s %12s %8s %6s  %s" % ("benchmark", "figure", "floor", "ratio", "goal", ""))
    for r in rows:
        if r.get("failed"):
            log("%-34s %s" % (r["name"], "FAILED (see above)"))
            continue
        goal = "%.2f" % r["goal"] if r["goal"] else "-"
        met = "" if r["met"] is None else ("ok" if r["met"] else "MISSED")
        log("%-34s %9.2f %-2s %9.2f %-2s %8.2f %6s  %s" % (r["name"], r["figure"], r["unit"], r["floor"], r["unit"],
                                                        r["ratio"], goal, met))


def attempt(name, function):
    """The rows of one benchmark, or one failed row that says why, so that one failed
    run does not stop the others."""
    try:
        return function()
    except RunFailed as e:
        log("%s FAILED: %s" % (name, e))
        return [{"name": name, "failed": True, "error": str(e)}]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("out")
    parser.add_argument("--quick", action="store_true", help="fewer runs, no 8k/32k sets")
    parser.add_argument("--only", default="",
                        help="comma-separated: startup,cold,scale,list,reader,switch,filter,summary,specimen,exports")
    parser.add_argument("--peers", action="store_true",
                        help="only Typeloom, its floor and other font viewers side by side")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    out = os.path.abspath(args.out)
    os.makedirs(out, exist_ok=True)
    only = set(filter(None, args.only.split(",")))
    known = {"startup", "cold", "scale", "list", "reader", "switch", "filter", "summary", "specimen", "exports"}
    if only - known:
        parser.error("--only: no benchmark named %s (known: %s)" % (", ".join(sorted(only - known)),
                                                                  ",".join(sorted(known))))
    wanted = lambda name: not only or name in only

    # A real locale, as on a desktop: the font list then collates with ICU.
    plain = ("", "C", "POSIX", "C.UTF-8", "C.utf8")
    if os.environ.get("LC_ALL", "") in plain and os.environ.get("LANG", "") in plain:
        os.environ["LANG"] = "en_US.UTF-8"
        os.environ.pop("LC_ALL", None)
    log("locale: %s" % (os.environ.get("LC_ALL") or os.environ.get("LANG")))
    try:
        files = installed_font_files()
    except (OSError, subprocess.CalledProcessError) as e:
        log("fc-list failed, so the installed fonts are unknown: %s" % e)
        return 1
    log("fontconfig lists %d font files" % len(files))
    rows = []
    peers = None
    if args.peers:
        log("side by side with other font viewers...")
        try:
            peers = bench_peers(build, 3 if args.quick else 7)
        except RunFailed as e:
            log("peers FAILED: %s" % e)
            peers = [{"failed": True, "error": str(e)}]
    else:
        if any(wanted(name) for name in ("startup", "cold", "scale")):
            try:
                with Xvfb() as x:
                    if wanted("startup"):
                        log("start-up (installed fonts)...")
                        rows += attempt("start-up installed",
                                        lambda: bench_startup(build, x.display, 5 if args.quick else 15, "installed"))
                    if wanted("cold"):
                        if can_drop_caches():
                            log("cold start (page cache dropped before every run)...")
                            rows += attempt("cold start installed",
                                            lambda: bench_startup(build, x.display, 3 if args.quick else 7, "installed",
                                                                  goal=1.2, cold=True))
                        else:
                            log("cold start: skipped, dropping the page cache needs root (%s)" % DROP_CACHES)
                    if wanted("scale"):
                        log("start-up at scale...")
                        rows += attempt("start-up at scale",
                                        lambda: bench_scale(build, x.display, os.path.join(out, "sets"), files, args.quick))
            except RunFailed as e:
                log("window benchmarks FAILED: %s" % e)
                rows.append({"name": "window benchmarks", "failed": True, "error": str(e)})
        if wanted("list"):
            log("--list...")
            rows += attempt("--list", lambda: bench_list(build, 7 if args.quick else 21))
            log("--list --covers...")
            rows += attempt("--list --covers", lambda: bench_covers(build, 7 if args.quick else 21))
        if wanted("filter"):
            rows += attempt("filter", lambda: bench_filter(build))
        if wanted("exports"):
            log("--render and --details --json...")
            rows += attempt("--render", lambda: bench_exports(build, 7 if args.quick else 21, out))
        if wanted("reader"):
            log("reader...")
            rows += attempt("reader", lambda: bench_google(build, "font_read_bench", "BM_ReaderAllFonts",
                                                           "BM_PreadFloorAllFonts", "reader (all files)", 1.5))
        if wanted("switch"):
            rows += attempt("font switch", lambda: bench_google(
                build, "font_switch_bench",
                [("BM_SwitchTypical", "BM_SwitchTypicalFloor", "font switch (typical)", 2.0),
                 ("BM_SwitchLargest", "BM_SwitchLargestFloor", "font switch (largest)", 2.0),
                 ("BM_SwitchFirstVisit/iterations:150", "BM_SwitchFirstVisitFloor/iterations:150",
                  "font switch (first visit)", 1.2)],
                None, None, None))
        if wanted("summary"):
            rows += attempt("summary page", lambda: bench_google(build, "summary_bench", "BM_SummaryPage",
                                                                 "BM_SummaryPageFloor", "summary page", 1.2))
        if wanted("specimen"):
            rows += attempt("specimen page", lambda: bench_google(build, "specimen_bench", "BM_Specimen",
                                                                  "BM_SpecimenFloor", "specimen page", 1.5))
        print_table(rows)

    commit = subprocess.run(["git", "-C", SOURCE, "rev-parse", "--short", "HEAD"], capture_output=True,
                            text=True).stdout.strip() or "unknown"
    stamp = datetime.datetime.now(datetime.timezone.utc).strftime("%Y%m%dT%H%M%SZ")
    path = os.path.join(out, "bench-%s%s-%s.json" % ("peers-" if args.peers else "", stamp, commit))
    with open(path, "w") as f:
        json.dump({"commit": commit, "time": stamp, "font_files": len(files), "cpus": os.cpu_count(),
                   "load": os.getloadavg(), "rows": rows, "peers": peers}, f, indent=1)
    log("\nwritten %s" % path)
    failed = any(r.get("failed") for r in rows + (peers or []))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
