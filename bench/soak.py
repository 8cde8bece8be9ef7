#!/usr/bin/env python3
"""Soak test of the headless scheduler, run by hand:  python3 bench/soak.py [--minutes 5]

Runs `vorn --headless` with a one-second interval over a tree that this
script keeps changing (new, changed and deleted files and folders), samples
the process's resident memory and open descriptors every second, then stops
changing the tree and waits for the mirror to converge. Prints a report and
exits non-zero when memory or descriptors grew, or the mirror never converged.
"""

import argparse
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
BUILD = os.path.join(os.path.dirname(HERE), "build")


def hex_path(path):
    return path.encode("utf-16-le", "surrogateescape").hex().upper()


def rss_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def open_descriptors(pid):
    return len(os.listdir("/proc/%d/fd" % pid))


def churn(src, rng):
    """One round of changes: a few files created, rewritten, deleted; folders too."""
    folders = [d for d, _, _ in os.walk(src)]
    for _ in range(20):
        folder = rng.choice(folders)
        name = os.path.join(folder, "f%d" % rng.randrange(200))
        action = rng.random()
        if action < 0.6:
            with open(name, "wb") as f:
                f.write(os.urandom(rng.randrange(0, 64 * 1024)))
        elif os.path.isfile(name):
            os.unlink(name)
    if rng.random() < 0.2:
        os.makedirs(os.path.join(rng.choice(folders), "d%d" % rng.randrange(30)), exist_ok=True)
    if rng.random() < 0.1 and len(folders) > 1:
        shutil.rmtree(rng.choice(folders[1:]), ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--minutes", type=float, default=5)
    parser.add_argument("--build", default=BUILD)
    args = parser.parse_args()

    work = tempfile.mkdtemp(prefix="vorn-soak-")
    src, dst, home = (os.path.join(work, n) for n in ("src", "dst", "home"))
    for path in (src, dst, home):
        os.makedirs(path)
    rng = random.Random(1204)
    for i in range(10):
        os.makedirs(os.path.join(src, "d%d" % i))
    with open(os.path.join(home, "Vorn.w"), "w") as f:
        f.write('"%s","%s"\r\n' % (hex_path(src), hex_path(dst)))
    with open(os.path.join(home, "Vorn.ini"), "w") as f:
        f.write("[Configuration]\r\nTemporisation=1\r\n[Logs]\r\nLogs=1\r\nFichiersLogs=1\r\n"
                "PurgeLogs=1\r\n[Mirror_1]\r\nEffacer=1\r\n")

    out = open(os.path.join(work, "stdout"), "w")
    vorn = subprocess.Popen([os.path.join(args.build, "src", "app", "vorn"), "--headless",
                             "--home", home], stdout=out, stderr=subprocess.STDOUT)
    samples = []
    deadline = time.time() + args.minutes * 60
    while time.time() < deadline:
        churn(src, rng)
        time.sleep(1)
        samples.append((rss_kib(vorn.pid), open_descriptors(vorn.pid)))

    converged_after = None
    stop = time.time()
    treecmp = os.path.join(args.build, "bench", "vorn_treecmp")
    while time.time() - stop < 60:
        if subprocess.run([treecmp, src, dst], stdout=subprocess.DEVNULL).returncode == 0:
            converged_after = time.time() - stop
            break
        time.sleep(0.5)
    vorn.send_signal(signal.SIGTERM)
    status = vorn.wait(timeout=60)
    out.close()
    with open(os.path.join(work, "stdout")) as f:
        passes = sum(1 for line in f if line.startswith("Files: "))

    warm = samples[len(samples) // 10:]  # after start-up has settled
    rss = [s[0] for s in warm]
    fds = [s[1] for s in warm]
    print("passes: %d in %.1f minutes" % (passes, args.minutes))
    print("resident memory: %d-%d KiB (first tenth skipped)" % (min(rss), max(rss)))
    print("open descriptors: %d-%d" % (min(fds), max(fds)))
    print("converged %s after the changes stopped" %
          ("%.1f s" % converged_after if converged_after is not None else "NEVER"))
    print("exit status on SIGTERM: %d" % status)
    shutil.rmtree(work, ignore_errors=True)
    grew = max(rss) - min(rss) > 4096 or max(fds) != min(fds)
    if grew or converged_after is None or status != 0:
        sys.exit("soak test failed")


if __name__ == "__main__":
    main()
