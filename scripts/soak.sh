#!/usr/bin/env bash
# serve left running as an author leaves it all day, with more clients than a browser opens:
# 2,000 saves of the 1000000 m line, each waited for by 20 event-stream readers before the
# next, beside 5 event streams that are never read and 500 connections that send nothing (both
# made anew after the deadlines that drop them, so that there are always some). The train
# carries 1,000 unknown records, so that each event is large enough for a stream that is not
# read to stall serve's writes within seconds. serve runs with its own limits.
#
# Its memory (VmRSS) and open descriptors are printed after WARM_UP saves, every SOAK_EVERY
# saves (default 100) and at the end. It fails when the highest RSS over the last WINDOW saves
# is more than RSS_MARGIN_MIB (20 MiB) above the highest over the first WINDOW (after the
# warm-up), when its descriptors, once the streams never read and the idle connections have
# gone, are more than FD_MARGIN (none) above what they were with the readers alone at the
# start, when a reader is dropped, or when a compile does not reach every reader within WAIT_S
# seconds. About 10 minutes on two cores.
#
#   scripts/soak.sh build/genera_scenario build/scrivi_sintetico [SAVES]
set -euo pipefail
if [[ $# -lt 2 ]]; then
  echo "usage: $0 PROGRAM SCRIVI_SINTETICO [SAVES]" >&2
  exit 2
fi
command -v python3 >/dev/null || {
  echo "soak: python3 is needed" >&2
  exit 2
}
exec python3 - "$@" <<'PYTHON'
import os
import re
import resource
import select
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request

PROGRAM, SINTETICO = sys.argv[1], sys.argv[2]
SAVES = int(sys.argv[3]) if len(sys.argv) > 3 else 2000
READERS, STALLED, IDLE = 20, 5, 500
WARM_UP = 100  # saves before the start's figures: malloc's arenas take some 80 to settle
PROGRESS_EVERY = int(os.environ.get("SOAK_EVERY", "100"))
# RSS swings by some 60 MiB from one save to the next as malloc gives memory back and takes it
# again, so one reading at each end would compare the swings: the highest reading after each of
# the first WINDOW saves is compared with the highest after each of the last WINDOW.
WINDOW = 200
RSS_MARGIN_MIB = 20  # the end's highest RSS over the start's
FD_MARGIN = 0  # descriptors with the readers alone, the end's over the start's
WAIT_S = 120  # for each compile to reach every reader; for serve to let go of closed clients
IDLE_EVERY_S = 15  # past serve's 10 s deadline for a request's head
STALLED_EVERY_S = 60  # past serve's 30 s deadline for a write that makes no progress

VERSION = re.compile(rb'"version":(\d+)')
failures = []


def fail(what):
    failures.append(what)
    print("FAIL:", what, flush=True)


def within(condition, seconds=WAIT_S, step=0.05):
    end = time.monotonic() + seconds
    while not condition():
        if time.monotonic() >= end:
            return False
        time.sleep(step)
    return True


class Serve:
    def __init__(self, sources):
        self.p = subprocess.Popen([PROGRAM, "serve", *sources, "--port", "0"],
                                  stdout=subprocess.PIPE, stdin=subprocess.DEVNULL)
        ready, _, _ = select.select([self.p.stdout], [], [], WAIT_S)
        line = self.p.stdout.readline().decode() if ready else ""
        if not line.startswith("serving http://127.0.0.1:"):
            self.p.kill()
            sys.exit(f"soak: serve's first line: {line!r}")
        self.address = line.split()[1]
        self.port = int(self.address.rsplit(":", 1)[1].rstrip("/"))
        self.compiles = 0
        self.last_line = ""
        threading.Thread(target=self._terminal, daemon=True).start()

    def _terminal(self):
        for line in self.p.stdout:
            line = line.decode("utf-8", "replace").rstrip("\n")
            if line.startswith("compile "):
                self.compiles += 1
                self.last_line = line

    def fds(self):
        return len(os.listdir(f"/proc/{self.p.pid}/fd"))

    def rss_mib(self):
        with open(f"/proc/{self.p.pid}/status", encoding="ascii") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1]) / 1024
        return 0.0

    def connect(self, rcvbuf=None):
        s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        if rcvbuf is not None:
            s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, rcvbuf)
        s.settimeout(WAIT_S)
        s.connect(("127.0.0.1", self.port))
        return s

    def stream(self, rcvbuf=None):
        s = self.connect(rcvbuf)
        s.sendall(f"GET /eventi HTTP/1.1\r\nHost: 127.0.0.1:{self.port}\r\n\r\n".encode())
        return s


class Reader(threading.Thread):
    """An event stream read as the page reads it: the newest version seen."""

    def __init__(self, serve):
        super().__init__(daemon=True)
        self.socket = serve.stream()
        self.socket.settimeout(None)  # the main thread bounds every wait for it
        self.version = -1
        self.error = None
        self.closing = False
        self.start()

    def run(self):
        try:
            for line in self.socket.makefile("rb"):
                if line.startswith(b"data:"):
                    # The field alone, not the whole event: 20 readers parsing 170 KB each would
                    # take the CPU that serve is being timed on.
                    at = line.rfind(b'"version":')
                    self.version = max(self.version, int(VERSION.match(line, at).group(1)))
            if not self.closing:
                self.error = "closed by serve"
        except (OSError, ValueError) as e:
            if not self.closing:
                self.error = str(e)

    def close(self):
        self.closing = True
        self.socket.close()


def main():
    # 500 idle connections and the streams: more than a default descriptor limit allows.
    _, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (hard, hard))
    start_time = time.monotonic()
    with tempfile.TemporaryDirectory() as folder:
        sources = [os.path.join(folder, "SOAK_linea.txt"), os.path.join(folder, "SOAK_T-.txt")]
        subprocess.run([SINTETICO, *sources], check=True)
        # 1,000 unknown records in the train, a warning each: every event holds about 170 KB of
        # diagnostics, so that a stream that is not read fills what the system buffers for it
        # within seconds, and serve's write to it waits.
        with open(sources[1], "rb") as f:
            train_text = f.read()
        with open(sources[1], "wb") as f:
            f.write(train_text.replace(b"[fine]", b"pippo, 1\r\n" * 1000 + b"[fine]"))
        with open(sources[0], "rb") as f:
            line_text = f.read()
        serve = Serve(sources)
        readers = []
        stalled, idle = [], []
        try:
            readers = [Reader(serve) for _ in range(READERS)]

            def newest():
                return max(r.version for r in readers)

            def save(n):
                # In place and by a new file renamed over the old, in turn, as editors do.
                if n % 2 == 0:
                    with open(sources[0], "wb") as f:
                        f.write(line_text)
                else:
                    with open(sources[0] + ".new", "wb") as f:
                        f.write(line_text)
                    os.replace(sources[0] + ".new", sources[0])

            def wait_for_all(after, n):
                if within(lambda: all(r.version > after or r.error for r in readers)):
                    return True
                fail(f"save {n}: not every reader had a compile within {WAIT_S} s "
                     f"(versions {sorted(r.version for r in readers)})")
                return False

            if not within(lambda: all(r.version >= 1 for r in readers)):
                sys.exit("soak: the first compile did not reach the readers")
            for n in range(WARM_UP):
                before = newest()
                save(n)
                wait_for_all(before, n)
            quiet_start = serve.fds()
            stalled = [serve.stream(rcvbuf=4096) for _ in range(STALLED)]
            idle = [serve.connect() for _ in range(IDLE)]
            last_idle = last_stalled = time.monotonic()
            rss_start, fds_start = serve.rss_mib(), serve.fds()
            print(f"start: RSS {rss_start:.1f} MiB, {fds_start} descriptors "
                  f"({quiet_start} with the readers alone)", flush=True)
            saves_started = time.monotonic()
            rss = []
            for n in range(SAVES):
                if time.monotonic() - last_idle > IDLE_EVERY_S:
                    for c in idle:
                        c.close()
                    idle = [serve.connect() for _ in range(IDLE)]
                    last_idle = time.monotonic()
                if time.monotonic() - last_stalled > STALLED_EVERY_S:
                    for c in stalled:
                        c.close()
                    stalled = [serve.stream(rcvbuf=4096) for _ in range(STALLED)]
                    last_stalled = time.monotonic()
                before = newest()
                save(n)
                if not wait_for_all(before, n + 1) or any(r.error for r in readers):
                    break
                rss.append(serve.rss_mib())
                if (n + 1) % PROGRESS_EVERY == 0:
                    rate = (n + 1) / (time.monotonic() - saves_started) * 60
                    print(f"{n + 1} saves, {rate:.0f} a minute: RSS {serve.rss_mib():.1f} MiB, "
                          f"{serve.fds()} descriptors", flush=True)
            saves_time = time.monotonic() - saves_started
            rss_end, fds_end = serve.rss_mib(), serve.fds()
            for r in readers:
                if r.error:
                    fail(f"a reader was dropped: {r.error}")
            # The page is still served beside them all.
            try:
                with urllib.request.urlopen(serve.address, timeout=WAIT_S) as r:
                    if r.status != 200:
                        fail(f"GET / at the end: {r.status}")
            except OSError as e:
                fail(f"GET / at the end: {e}")
            for c in stalled + idle:
                c.close()
            within(lambda: serve.fds() <= quiet_start + FD_MARGIN)
            quiet_end = serve.fds()
            print(f"end: RSS {rss_end:.1f} MiB, {fds_end} descriptors "
                  f"({quiet_end} with the readers alone); {n + 1} saves in {saves_time:.0f} s "
                  f"({(n + 1) / saves_time * 60:.0f} a minute), {serve.compiles} compiles, "
                  f"the last: {serve.last_line}", flush=True)
            peak_start, peak_end = max(rss[:WINDOW], default=0), max(rss[-WINDOW:], default=0)
            print(f"highest RSS: {peak_start:.1f} MiB over the first {WINDOW} saves, "
                  f"{peak_end:.1f} MiB over the last {WINDOW} (margin {RSS_MARGIN_MIB} MiB); "
                  f"lowest {min(rss, default=0):.1f} MiB", flush=True)
            if peak_end > peak_start + RSS_MARGIN_MIB:
                fail(f"RSS grew: the highest {peak_start:.1f} MiB over the first {WINDOW} saves, "
                     f"{peak_end:.1f} MiB over the last (margin {RSS_MARGIN_MIB} MiB)")
            if quiet_end > quiet_start + FD_MARGIN:
                fail(f"descriptors with the readers alone: {quiet_start} at the start, "
                     f"{quiet_end} at the end (margin {FD_MARGIN})")
            for r in readers:
                r.close()
            serve.p.send_signal(signal.SIGINT)
            try:
                status = serve.p.wait(timeout=WAIT_S)
            except subprocess.TimeoutExpired:
                status = None
            if status != 0:
                fail(f"serve ended with {status} after Ctrl-C")
        finally:
            for c in stalled + idle:
                c.close()
            if serve.p.poll() is None:
                serve.p.kill()
                serve.p.wait()
    print(f"soak: {len(failures)} failures in {time.monotonic() - start_time:.0f} s")
    return 1 if failures else 0


sys.exit(main())
PYTHON
