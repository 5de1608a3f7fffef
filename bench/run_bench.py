#!/usr/bin/python3
"""Runs Typeloom's benchmarks against their floors and writes one JSON file per run.

    /usr/bin/python3 bench/run_bench.py RELEASE_BUILD_DIR OUT_DIR [--quick] [--only NAME,...]

RELEASE_BUILD_DIR holds a Release build with the targets typeloom, startup_floor,
font_read_bench (and the other *_bench programs that exist). Every figure is printed
beside its floor, measured in the same run, and their ratio. The window benchmarks run
under their own Xvfb. Figures are medians of interleaved runs (program, floor,
program, ...) so that load from other processes falls on both alike.
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


# ---------------------------------------------------------------------------------
# Sandboxes and the X server


class Xvfb:
    """An X server of its own, on the first free display number."""

    def __enter__(self):
        read, write = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            pass_fds=[write], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        number = b""
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([read], [], [], 30)
            if not ready:
                raise RuntimeError("Xvfb did not start")
            chunk = os.read(read, 16)
            if not chunk:
                raise RuntimeError("Xvfb did not start")
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
    start = time.perf_counter()
    process = subprocess.Popen(command, env=env, pass_fds=[write], stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    os.close(write)
    seen = b""
    try:
        while b"painted\n" not in seen:
            ready, _, _ = select.select([read], [], [], timeout)
            if not ready:
                raise RuntimeError("%s: no first paint within %d s" % (command[0], timeout))
            chunk = os.read(read, 4096)
            if not chunk:
                raise RuntimeError("%s ended before its first paint" % command[0])
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


def run_seconds(command, env):
    start = time.perf_counter()
    subprocess.run(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    return time.perf_counter() - start


def interleaved(pairs, runs, warmup=2):
    """Runs each (name, function) in turn, `runs` times after `warmup`; medians."""
    samples = {name: [] for name, _ in pairs}
    for i in range(warmup + runs):
        for name, function in pairs:
            value = function()
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


def bench_startup(build, display, runs, label, fontconfig_file=None, goal=1.2, rss_goal=1.2):
    typeloom = os.path.join(build, "typeloom")
    floor = os.path.join(build, "bench", "startup_floor")
    with tempfile.TemporaryDirectory() as a, tempfile.TemporaryDirectory() as b:
        env_a = sandbox_env(a, display, fontconfig_file)
        env_b = sandbox_env(b, display, fontconfig_file)
        samples = interleaved([("typeloom", lambda: start_to_painted([typeloom], env_a)),
                               ("floor", lambda: start_to_painted([floor], env_b))], runs)
    t = statistics.median(s[0] for s in samples["typeloom"])
    f = statistics.median(s[0] for s in samples["floor"])
    rt = max(s[1] for s in samples["typeloom"])
    rf = max(s[1] for s in samples["floor"])
    return [row("start-up " + label, t * 1000, f * 1000, "ms", goal, "median of %d" % runs),
            row("peak RSS " + label, rt / 1024, rf / 1024, "MiB", rss_goal, "max of %d" % runs)]


def bench_list(build, runs):
    typeloom = os.path.join(build, "typeloom")
    env = dict(os.environ)
    samples = interleaved([("typeloom", lambda: run_seconds([typeloom, "--list"], env)),
                           ("floor", lambda: run_seconds(["fc-list", ":", "family", "style", "file"], env))], runs)
    version = interleaved([("typeloom", lambda: run_seconds([typeloom, "--version"], env)),
                           ("floor", lambda: run_seconds(["fc-list", "--version"], env))], runs)
    return [row("--list", statistics.median(samples["typeloom"]) * 1000, statistics.median(samples["floor"]) * 1000,
                "ms", 1.5, "floor: fc-list : family style file; median of %d" % runs),
            row("--version", statistics.median(version["typeloom"]) * 1000,
                statistics.median(version["floor"]) * 1000, "ms", None, "floor: fc-list --version")]


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
        raise RuntimeError("not a font file: %r" % files[0])
    subprocess.run(["fc-cache", "-f"], env=dict(os.environ, FONTCONFIG_FILE=conf), check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(stamp, "w") as f:
        f.write(wanted)
    return conf, copies * len(files)


def bench_scale(build, display, cache_root, files, quick):
    rows = []
    for target, runs, goal in ((2000, 9, 1.2), (8000, 7, 1.25), (32000, 5, 1.3)):
        if quick and target > 2000:
            continue
        conf, count = scale_set(cache_root, files, target)
        rows += bench_startup(build, display, runs, "%d files" % count, conf, goal=goal)
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
        return []
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        subprocess.run([exe, "--benchmark_out=" + out.name, "--benchmark_out_format=json",
                        "--benchmark_repetitions=5", "--benchmark_enable_random_interleaving=true",
                        "--benchmark_report_aggregates_only=true"] + list(extra),
                       check=True, stdout=subprocess.DEVNULL, env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
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
    return rows


# ---------------------------------------------------------------------------------


def print_table(rows):
    log("")
    log("%-34s %12s %12s %8s %6s  %s" % ("benchmark", "figure", "floor", "ratio", "goal", ""))
    for r in rows:
        goal = "%.2f" % r["goal"] if r["goal"] else "-"
        met = "" if r["met"] is None else ("ok" if r["met"] else "MISSED")
        log("%-34s %9.2f %-2s %9.2f %-2s %8.2f %6s  %s" % (r["name"], r["figure"], r["unit"], r["floor"], r["unit"],
                                                        r["ratio"], goal, met))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("out")
    parser.add_argument("--quick", action="store_true", help="fewer runs, no 8k/32k sets")
    parser.add_argument("--only", default="", help="comma-separated: startup,scale,list,reader,switch,summary,specimen,exports")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    out = os.path.abspath(args.out)
    os.makedirs(out, exist_ok=True)
    only = set(filter(None, args.only.split(",")))
    wanted = lambda name: not only or name in only

    # A real locale, as on a desktop: the font list then collates with ICU.
    plain = ("", "C", "POSIX", "C.UTF-8", "C.utf8")
    if os.environ.get("LC_ALL", "") in plain and os.environ.get("LANG", "") in plain:
        os.environ["LANG"] = "en_US.UTF-8"
        os.environ.pop("LC_ALL", None)
    log("locale: %s" % (os.environ.get("LC_ALL") or os.environ.get("LANG")))
    files = installed_font_files()
    log("fontconfig lists %d font files" % len(files))
    rows = []
    with Xvfb() as x:
        if wanted("startup"):
            log("start-up (installed fonts)...")
            rows += bench_startup(build, x.display, 5 if args.quick else 15, "installed")
        if wanted("scale"):
            log("start-up at scale...")
            rows += bench_scale(build, x.display, os.path.join(out, "sets"), files, args.quick)
    if wanted("list"):
        log("--list...")
        rows += bench_list(build, 7 if args.quick else 21)
    if wanted("exports"):
        log("--render and --details --json...")
        rows += bench_exports(build, 7 if args.quick else 21, out)
    if wanted("reader"):
        log("reader...")
        rows += bench_google(build, "font_read_bench", "BM_ReaderAllFonts", "BM_PreadFloorAllFonts",
                             "reader (all files)", 1.5)
    if wanted("switch"):
        rows += bench_google(build, "font_switch_bench",
                             [("BM_SwitchTypical", "BM_SwitchTypicalFloor", "font switch (typical)", 2.0),
                              ("BM_SwitchLargest", "BM_SwitchLargestFloor", "font switch (largest)", 2.0),
                              ("BM_SwitchFirstVisit/iterations:150", "BM_SwitchFirstVisitFloor/iterations:150",
                               "font switch (first visit)", 2.0)],
                             None, None, None)
    if wanted("summary"):
        rows += bench_google(build, "summary_bench", "BM_SummaryPage", "BM_SummaryPageFloor", "summary page", 1.5)
    if wanted("specimen"):
        rows += bench_google(build, "specimen_bench", "BM_Specimen", "BM_SpecimenFloor", "specimen page", 1.5)
    print_table(rows)

    commit = subprocess.run(["git", "-C", SOURCE, "rev-parse", "--short", "HEAD"], capture_output=True,
                            text=True).stdout.strip() or "unknown"
    stamp = datetime.datetime.now(datetime.timezone.utc).strftime("%Y%m%dT%H%M%SZ")
    path = os.path.join(out, "bench-%s-%s.json" % (stamp, commit))
    with open(path, "w") as f:
        json.dump({"commit": commit, "time": stamp, "font_files": len(files), "cpus": os.cpu_count(),
                   "load": os.getloadavg(), "rows": rows}, f, indent=1)
    log("\nwritten %s" % path)


if __name__ == "__main__":
    main()
