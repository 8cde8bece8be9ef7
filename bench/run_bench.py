#!/usr/bin/env python3
"""Vorn against rsync and cp -a on generated trees, in the same run.

Run by hand, never in CI:  python3 bench/run_bench.py [--scale 0.05] [--runs 5]

For every scenario it times the initial copy, a pass where nothing changed,
a pass after 1 % of the files changed and a pass after 1 % of them left the
source (removal of obsolete entries on), alternating the contenders run
after run, checks after every timed run that the target equals the source,
and writes bench/RESULTS.md. Asked for (--operations cold, as root), it
also times a pass where nothing changed with the page cache dropped before
each run.

As root the target is an ext4 file system of its own, a loop-mounted image
made anew before every initial copy (--shared-target keeps it beside the
source instead): ext4 is slow to hand out inodes for a while after many
were freed, which would time the previous run's cleanup, not the copy.

With --latency-us N (as root, with /dev/fuse and tools/slowfs built) every
operation is timed a second time with the target folder mounted through
slowfs, which waits N microseconds before each lookup, listing and open, as
a share on a LAN does; all contenders go through the same mount.
"""

import argparse
import contextlib
import os
import platform
import random
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)

SCENARIOS = {
    "S1": "many tiny files: 200,000 files of 0-4 KiB in 1,000 folders",
    "S2": "mixed: 100,000 files, log-normal sizes, 6,000 folders, depth up to 6",
    "S3": "a few large files: 4 x 256 MiB",
    "S4": "one flat folder of 100,000 files",
    "S5": "80,000 empty folders",
    "S6": "S2 with two user extended attributes and an ACL entry per file",
}
OPERATIONS = ["initial", "nochange", "changed", "deleted"]
OPERATION_NAMES = {
    "initial": "initial copy",
    "nochange": "no-change pass (warm cache)",
    "cold": "no-change pass (cold cache)",
    "changed": "1 % of files changed",
    "deleted": "1 % of files deleted, removal on",
}
LATENT = "+latency"  # the suffix of an operation timed with the target behind slowfs


def hex_path(path):
    return path.encode("utf-16-le", "surrogateescape").hex().upper()


class Bench:
    def __init__(self, args):
        self.args = args
        self.build = os.path.abspath(args.build)
        self.vorn = os.path.join(self.build, "src", "app", "vorn")
        self.treegen = os.path.join(self.build, "bench", "vorn_treegen")
        self.floor = os.path.join(self.build, "bench", "vorn_floor")
        self.treecmp = os.path.join(self.build, "bench", "vorn_treecmp")
        self.measurer = os.path.join(self.build, "bench", "vorn_measure")
        self.slowfs = os.path.join(self.build, "tools", "slowfs")
        self.work = os.path.abspath(args.workdir)
        self.results = []  # dicts: scenario, operation, contender, run, wall, cpu, rss, ok
        self.syscalls = {}  # (scenario, operation, contender) -> calls per entry
        self.entries = {}
        self.failures = []

    # ---- processes -------------------------------------------------------

    def measure(self, argv):
        """Runs argv; wall seconds, user+system CPU seconds, peak RSS in KiB, status."""
        result = subprocess.run([self.measurer] + argv, stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE, text=True, errors="replace")
        last = result.stderr.rstrip().splitlines()[-1].split()
        wall, cpu, rss, status = float(last[1]), float(last[2]), int(last[3]), int(last[4])
        if status != 0:
            sys.stderr.write("%s failed (%d): %s\n" % (argv[0], status, result.stderr[-500:]))
        return wall, cpu, rss, status

    @contextlib.contextmanager
    def latency_bound(self, scenario):
        """The target folder, for the time of one run, served through slowfs
        from its own tree moved to a backing folder beside it."""
        _, _, dst, _ = self.paths(scenario)
        backing = dst + "-backing"
        os.rename(dst, backing)
        os.mkdir(dst)
        try:
            subprocess.run([self.slowfs, backing, dst, "--delay-us", str(self.args.latency_us)],
                           check=True)
            try:
                yield
            finally:
                # Lazily, so that even a contender's stray child cannot keep it.
                subprocess.run(["umount", "-l", dst], check=True)
        finally:
            os.rmdir(dst)
            os.rename(backing, dst)

    def timed(self, scenario, operation, argv):
        if not operation.endswith(LATENT):
            return self.measure(argv)
        with self.latency_bound(scenario):
            return self.measure(argv)

    def operation_name(self, operation):
        if operation.endswith(LATENT):
            return "%s, target behind slowfs at %d µs" % (
                OPERATION_NAMES[operation[:-len(LATENT)]], self.args.latency_us)
        return OPERATION_NAMES[operation]

    def operation_keys(self):
        keys = OPERATIONS + ["cold"]
        return keys + ([o + LATENT for o in keys] if self.args.latency_us else [])

    def quiet(self, argv):
        subprocess.run(argv, check=True, stdout=subprocess.DEVNULL)

    def count_syscalls(self, argv, entries):
        out = os.path.join(self.work, "strace.txt")
        subprocess.run(["strace", "-c", "-f", "-o", out] + argv, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        with open(out) as f:
            for line in f:
                if line.strip().endswith("total"):
                    numbers = line.split()
                    # "100.00 seconds usecs/call calls errors total" -> calls is the 4th
                    # column, or the 3rd when usecs/call is blank.
                    calls = int(numbers[3]) if len(numbers) >= 5 else int(numbers[2])
                    return calls / max(entries, 1)
        return float("nan")

    # ---- trees -----------------------------------------------------------

    def paths(self, scenario):
        base = os.path.join(self.work, scenario)
        dst = os.path.join(base, "targetfs", "dst") if self.args.fresh_target else \
            os.path.join(base, "dst")
        return base, os.path.join(base, "src"), dst, os.path.join(base, "stash")

    # The target of an initial copy is a file system made anew for each run
    # (as root). Right after the files of the previous run were deleted, ext4
    # looks through every inode freed in the last minutes before it hands one
    # out: measured on S1 at scale 0.1, that made cp -a and vorn 3 to 10
    # times slower at random, far more than any difference between them.
    def make_target_fs(self, scenario):
        base, src, dst, _ = self.paths(scenario)
        mount_point, image = os.path.dirname(dst), os.path.join(base, "target.img")
        if os.path.ismount(mount_point):
            subprocess.run(["umount", mount_point], check=True)
        size = sum(os.lstat(os.path.join(d, n)).st_size
                   for d, _, names in os.walk(src) for n in names)
        with open(image, "wb") as f:
            f.truncate(3 * size + (1 << 30))
        inodes = 2 * self.entries.get(scenario, 0) + 16384
        self.quiet(["mkfs.ext4", "-q", "-F", "-N", str(inodes), image])
        os.makedirs(mount_point, exist_ok=True)
        subprocess.run(["mount", "-o", "loop,noinit_itable", image, mount_point], check=True)
        os.mkdir(dst)

    def remove_scenario(self, scenario):
        base, _, dst, _ = self.paths(scenario)
        if os.path.ismount(os.path.dirname(dst)):
            subprocess.run(["umount", os.path.dirname(dst)], check=True)
        self.force_remove(base)

    def generate(self, scenario):
        base, src, dst, stash = self.paths(scenario)
        if os.path.exists(base):
            self.remove_scenario(scenario)
        os.makedirs(base)
        print("generating %s at scale %s" % (scenario, self.args.scale), flush=True)
        self.quiet([self.treegen, scenario, str(self.args.scale), str(self.args.seed), src])
        os.makedirs(stash)
        files, folders = 0, 0
        for _, dirs, names in os.walk(src):
            folders += len(dirs)
            files += len(names)
        self.entries[scenario] = files + folders
        if self.args.fresh_target:
            self.make_target_fs(scenario)
        else:
            os.makedirs(dst)
        self.file_list = sorted(
            os.path.relpath(os.path.join(d, n), src) for d, _, ns in os.walk(src) for n in ns)
        self.folder_list = sorted(
            os.path.relpath(os.path.join(d, n), src) for d, ds, _ in os.walk(src) for n in ds)
        for name, logs in (("home", False), ("home-logs", True)):
            home = os.path.join(base, name)
            os.makedirs(home)
            with open(os.path.join(home, "Vorn.w"), "w") as f:
                f.write('"%s","%s"\r\n' % (hex_path(src), hex_path(dst)))
            with open(os.path.join(home, "Vorn.ini"), "w") as f:
                f.write("[Configuration]\r\nPerformance=1\r\n")
                if self.args.helpers is not None:
                    f.write("Helpers=%d\r\n" % self.args.helpers)
                if scenario == "S6":
                    f.write("CopierSecurite=1\r\n")
                f.write("[Logs]\r\nLogs=%d\r\nFichiersLogs=%d\r\n" % (logs, logs))
                f.write("[Mirror_1]\r\nEffacer=1\r\nKeepVersions=%d\r\n" % self.args.keep_versions)

    def force_remove(self, path):
        subprocess.run(["rm", "-rf", path], check=True)

    def empty_target(self, scenario):
        _, _, dst, _ = self.paths(scenario)
        if self.args.fresh_target:
            self.make_target_fs(scenario)
        else:
            self.force_remove(dst)
            os.makedirs(dst)
        for name in ("home", "home-logs"):
            home = os.path.join(self.paths(scenario)[0], name)
            for log in os.listdir(home):
                if log.startswith("Log Vorn"):
                    os.unlink(os.path.join(home, log))

    def resync(self, scenario):
        _, src, dst, _ = self.paths(scenario)
        self.quiet(["rsync", "-aAX", "--delete", src + "/", dst + "/"])

    def verify(self, scenario):
        _, src, dst, _ = self.paths(scenario)
        argv = [self.treecmp] + (["--acl"] if scenario == "S6" else []) + [src, dst]
        result = subprocess.run(argv, stdout=subprocess.PIPE, text=True)
        return result.returncode == 0, result.stdout

    def change_files(self, scenario, seed):
        _, src, _, _ = self.paths(scenario)
        chosen = self.choose(self.file_list, seed)
        for rel in chosen:
            path = os.path.join(src, rel)
            with open(path, "r+b") as f:
                data = bytearray(f.read())
                data += b"changed %d" % seed
                f.seek(0)
                f.write(bytes(data))
        return len(chosen)

    def choose(self, items, seed):
        if not items:
            return []
        count = max(1, len(items) // 100)
        return random.Random(seed).sample(items, count)

    def stash(self, scenario, seed):
        _, src, _, stash = self.paths(scenario)
        # S5 has no files: its obsolete entries are folders.
        items = self.file_list or self.folder_list_leaves()
        moved = []
        for i, rel in enumerate(self.choose(items, seed)):
            place = os.path.join(stash, str(i))
            os.rename(os.path.join(src, rel), place)
            moved.append((rel, place))
        return moved

    def folder_list_leaves(self):
        return [f for f in self.folder_list if f.count("/") == 1]

    def unstash(self, scenario, moved):
        _, src, _, _ = self.paths(scenario)
        for rel, place in moved:
            os.rename(place, os.path.join(src, rel))

    # ---- contenders ------------------------------------------------------

    def contenders(self, scenario, operation):
        base, src, dst, _ = self.paths(scenario)
        operation = operation.removesuffix(LATENT)
        rsync = ["rsync", "-aAX" if scenario == "S6" else "-a", "--delete", src + "/", dst + "/"]
        names = {
            "vorn": [self.vorn, "--once", "--home", os.path.join(base, "home")],
            "vorn+logs": [self.vorn, "--once", "--home", os.path.join(base, "home-logs")],
            "rsync": rsync,
        }
        if operation == "initial":
            names["cp -a"] = ["cp", "-a", src + "/.", dst]
        if operation in ("nochange", "cold"):
            names["floor"] = [self.floor, src, dst]
        return names

    def run_operation(self, scenario, timed_as):
        contenders = self.contenders(scenario, timed_as)
        operation = timed_as.removesuffix(LATENT)
        order = list(contenders)
        print("  %s: %s" % (scenario, self.operation_name(timed_as)), flush=True)
        if operation == "nochange":
            # Warm the cache once, untimed.
            for name in order:
                self.timed(scenario, timed_as, contenders[name])
        for run in range(self.args.runs):
            rotated = order[run % len(order):] + order[:run % len(order)]
            for index, name in enumerate(rotated):
                seed = 1000 * run + index
                moved = []
                if operation == "initial":
                    self.empty_target(scenario)
                elif operation == "changed":
                    self.resync(scenario)
                    self.change_files(scenario, seed)
                elif operation == "deleted":
                    self.resync(scenario)
                    moved = self.stash(scenario, seed)
                elif operation == "cold":
                    subprocess.run(["sync"], check=True)
                    with open("/proc/sys/vm/drop_caches", "w") as f:
                        f.write("3\n")
                wall, cpu, rss, status = self.timed(scenario, timed_as, contenders[name])
                ok = True
                if name != "floor":
                    ok, detail = self.verify(scenario)
                    if not ok or status != 0:
                        self.failures.append("%s %s %s run %d: status %d\n%s" %
                                             (scenario, timed_as, name, run, status, detail))
                        ok = False
                if moved:
                    self.unstash(scenario, moved)
                self.results.append(dict(scenario=scenario, operation=timed_as, contender=name,
                                         run=run, wall=wall, cpu=cpu, rss=rss, ok=ok))
        # The calls are the same behind slowfs; only their time differs.
        if not self.args.no_strace and timed_as == operation:
            for name, argv in contenders.items():
                if operation == "initial":
                    self.empty_target(scenario)
                elif operation in ("changed", "deleted"):
                    self.resync(scenario)
                moved = self.stash(scenario, 99) if operation == "deleted" else []
                if operation == "changed":
                    self.change_files(scenario, 99)
                self.syscalls[(scenario, operation, name)] = self.count_syscalls(
                    argv, self.entries[scenario])
                if moved:
                    self.unstash(scenario, moved)
        self.resync(scenario)

    def memory_check(self):
        """Peak memory of a no-change pass on S1 at the chosen scale and at five times it."""
        peaks = {}
        scale = self.args.scale
        entries = dict(self.entries)  # the report describes the timed trees
        for factor in (1, 5):
            self.args.scale = scale * factor
            self.generate("S1")
            _, src, dst, _ = self.paths("S1")
            argv = self.contenders("S1", "nochange")["vorn"]
            self.measure(argv)
            self.measure(argv)
            peaks[factor] = max(self.measure(argv)[2] for _ in range(3))
            self.remove_scenario("S1")
        self.args.scale = scale
        self.entries = entries
        return peaks

    # ---- report ----------------------------------------------------------

    def rows(self, scenario, operation, contender):
        return [r for r in self.results
                if (r["scenario"], r["operation"], r["contender"]) == (scenario, operation, contender)]

    def ratio(self, scenario, operation, a, b):
        """Median and spread of the per-run ratios a/b."""
        ra, rb = self.rows(scenario, operation, a), self.rows(scenario, operation, b)
        ratios = [x["wall"] / y["wall"] for x, y in zip(ra, rb) if y["wall"] > 0]
        if not ratios:
            return None
        return statistics.median(ratios), min(ratios), max(ratios)

    def report(self, memory, started, duration):
        lines = []
        w = lines.append
        w("# Benchmark results")
        w("")
        w("Written by `bench/run_bench.py` on %s, in %.0f minutes. Scale %s, %d runs per figure, "
          "contenders alternating run after run. Warm page cache throughout but for the "
          "cold-cache runs." %
          (started, duration / 60, self.args.scale, self.args.runs))
        if self.args.latency_us:
            w("")
            w("Operations marked \"target behind slowfs\" ran with the target folder mounted "
              "through `tools/slowfs --delay-us %d`: every lookup, listing and open of the "
              "target waits %d µs, as on a share across a LAN; every contender goes through "
              "the same mount, the source stays local." % ((self.args.latency_us,) * 2))
        w("")
        w("## Machine")
        w("")
        for item in self.machine():
            w("- " + item)
        w("")
        w("## Scenarios")
        w("")
        for name in self.args.scenarios:
            w("- %s: %s (%d entries at this scale)" % (name, SCENARIOS[name], self.entries.get(name, 0)))
        w("")
        w("Vorn runs `vorn --once` with Performance 1, %s and removal of obsolete entries on "
          % ("Helpers %d" % self.args.helpers if self.args.helpers is not None
             else "the helpers it chooses") +
          "(as `rsync --delete`), logs off (`vorn`) and with every file logged (`vorn+logs`); "
          "S6 copies security too. After every timed run `vorn_treecmp` checks content, "
          "permission bits, file times to the nanosecond and user extended attributes (and ACLs "
          "on S6); a run that leaves a wrong mirror is marked as failed.")
        w("")
        for scenario in self.args.scenarios:
            w("## %s" % scenario)
            w("")
            w("| operation | contender | median s | spread s | CPU s | peak RSS MiB | syscalls/entry | mirror |")
            w("|---|---|---|---|---|---|---|---|")
            for operation in self.operation_keys():
                for contender in self.contenders(scenario, operation):
                    rows = self.rows(scenario, operation, contender)
                    if not rows:
                        continue
                    walls = [r["wall"] for r in rows]
                    calls = self.syscalls.get((scenario, operation, contender))
                    w("| %s | %s | %.3f | %.3f-%.3f | %.3f | %.1f | %s | %s |" % (
                        self.operation_name(operation), contender, statistics.median(walls), min(walls),
                        max(walls), statistics.median(r["cpu"] for r in rows),
                        max(r["rss"] for r in rows) / 1024,
                        "%.2f" % calls if calls is not None else "-",
                        "ok" if all(r["ok"] for r in rows) else "FAILED"))
            w("")
            w("| operation | ratio | median | spread |")
            w("|---|---|---|---|")
            for operation in self.operation_keys():
                for a, b in (("vorn", "rsync"), ("vorn", "floor"), ("vorn", "cp -a"),
                             ("vorn+logs", "rsync")):
                    r = self.ratio(scenario, operation, a, b)
                    if r:
                        w("| %s | %s / %s | %.2f | %.2f-%.2f |" % (
                            self.operation_name(operation), a, b, *r))
            w("")
        if memory:
            w("## Memory against tree size")
            w("")
            w("Peak RSS of a no-change `vorn --once` on S1: %.1f MiB at scale %s, %.1f MiB at "
              "five times that." % (memory[1] / 1024, self.args.scale, memory[5] / 1024))
            w("")
        w("## Failures")
        w("")
        if self.failures:
            for failure in self.failures:
                w("```\n%s\n```" % failure.strip())
        else:
            w("None: every timed run left a correct mirror.")
        w("")
        with open(self.args.out, "w") as f:
            f.write("\n".join(lines))
        print("wrote %s" % self.args.out)

    def machine(self):
        def first_line(argv):
            try:
                return subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                      text=True).stdout.splitlines()[0]
            except (OSError, IndexError):
                return "not found"
        cpu = "unknown"
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    cpu = line.split(":", 1)[1].strip()
                    break
        with open("/proc/meminfo") as f:
            memory = f.readline().split()[1]
        fs = first_line(["stat", "-f", "-c", "%T", self.work])
        return [
            "kernel: %s %s" % (platform.system(), platform.release()),
            "CPU: %s, %d cores; memory %.1f GiB" % (cpu, os.cpu_count(), int(memory) / 1048576),
            "file system of the trees: %s" % fs + (
                "; the target is an ext4 file system of its own (a loop-mounted image), "
                "made anew before every initial copy" if self.args.fresh_target else ""),
            "vorn: %s" % first_line([self.vorn, "--version"]),
            "rsync: %s" % first_line(["rsync", "--version"]),
            "cp: %s" % first_line(["cp", "--version"]),
        ]


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--scale", type=float, default=1.0,
                        help="tree size factor: 0.05 for a quick check, 1 for the default sizes")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--seed", type=int, default=20261204)
    parser.add_argument("--scenarios", default=",".join(SCENARIOS))
    parser.add_argument("--operations", default=",".join(OPERATIONS))
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--workdir", default=os.path.join(tempfile.gettempdir(), "vorn-bench"))
    parser.add_argument("--out", default=os.path.join(HERE, "RESULTS.md"))
    parser.add_argument("--no-strace", action="store_true")
    parser.add_argument("--keep-versions", type=int, default=0,
                        help="days the pair keeps versions (0: none, as before)")
    parser.add_argument("--no-memory-check", action="store_true")
    parser.add_argument("--helpers", type=int, default=None,
                        help="Vorn's Helpers setting (default: not written, so chosen by Vorn)")
    parser.add_argument("--latency-us", type=int, default=0,
                        help="also time every operation with the target behind slowfs, "
                             "waiting this long before each lookup, listing and open")
    parser.add_argument("--shared-target", action="store_true",
                        help="keep the target on the trees' file system; otherwise, as root, "
                             "each initial copy lands on an ext4 file system made for it")
    args = parser.parse_args()
    args.scenarios = [s for s in args.scenarios.split(",") if s]
    args.operations = [o for o in args.operations.split(",") if o]

    bench = Bench(args)
    for tool in (bench.vorn, bench.treegen, bench.floor, bench.treecmp, bench.measurer):
        if not os.access(tool, os.X_OK):
            sys.exit("missing %s: build first (./dev test builds everything)" % tool)
    args.fresh_target = not args.shared_target
    if args.fresh_target and (os.geteuid() != 0 or not shutil.which("mkfs.ext4")):
        print("target on the trees' file system: a fresh one per initial copy needs root and "
              "mkfs.ext4", file=sys.stderr)
        args.fresh_target = False
    if "cold" in args.operations and os.geteuid() != 0:
        print("cold-cache runs skipped: dropping the page cache needs root", file=sys.stderr)
        args.operations.remove("cold")
    if args.latency_us:
        why = ("it needs root" if os.geteuid() != 0 else
               "there is no /dev/fuse" if not os.path.exists("/dev/fuse") else
               "%s is not built (libfuse3-dev)" % bench.slowfs
               if not os.access(bench.slowfs, os.X_OK) else None)
        if why:
            print("latency-bound runs skipped: %s" % why, file=sys.stderr)
            args.latency_us = 0
    os.makedirs(bench.work, exist_ok=True)
    # Run copies of the programs, so a rebuild during the run changes nothing.
    tools = os.path.join(bench.work, "bin")
    os.makedirs(tools, exist_ok=True)
    for attribute in ("vorn", "treegen", "floor", "treecmp", "measurer") + (
            ("slowfs",) if args.latency_us else ()):
        copy = os.path.join(tools, os.path.basename(getattr(bench, attribute)))
        shutil.copy2(getattr(bench, attribute), copy)
        setattr(bench, attribute, copy)
    started = time.strftime("%Y-%m-%d %H:%M")
    t0 = time.time()
    for scenario in args.scenarios:
        bench.generate(scenario)
        for operation in args.operations:
            if operation == "changed" and scenario == "S5":
                continue  # no files to change
            bench.run_operation(scenario, operation)
            if args.latency_us:
                bench.run_operation(scenario, operation + LATENT)
        bench.remove_scenario(scenario)
    memory = None if args.no_memory_check else bench.memory_check()
    bench.report(memory, started, time.time() - t0)
    if bench.failures:
        sys.exit("some runs left a wrong mirror: see %s" % args.out)


if __name__ == "__main__":
    main()
