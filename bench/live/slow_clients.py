#!/usr/bin/env python3
"""The live page under a slow-client attack from one address.

Opens CONNECTIONS connections from ATTACKER (a loopback address such as 127.0.0.2) to a running
live server, each sending its request a byte a second and opening again whenever the server
closes it; meanwhile a spectator from CLIENT (127.0.0.3) asks for /api/standings once a second.
Prints how long each of the spectator's tries took, and the same once the attack has stopped.

    build-bench/bin/live_serve 8090 127.0.0.1 &
    python3 bench/live/slow_clients.py 8090
"""

import argparse
import errno
import selectors
import socket
import statistics
import threading
import time

HEAD = b"GET /api/standings HTTP/1.1\r\nHost: live\r\nX-Langsam: "


class Attack(threading.Thread):
    def __init__(self, host, port, source, count):
        super().__init__(daemon=True)
        self.target = (host, port)
        self.source = source
        self.count = count
        self.stop = threading.Event()
        self.selector = selectors.DefaultSelector()
        self.sockets = {}  # socket -> bytes of HEAD sent so far
        self.since = {}  # socket -> when it was opened
        self.opened = 0
        self.closed_by_server = 0

    def open_one(self):
        s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        s.bind((self.source, 0))
        s.setblocking(False)
        err = s.connect_ex(self.target)
        if err not in (0, errno.EINPROGRESS):
            s.close()
            return
        self.sockets[s] = 0
        self.since[s] = time.monotonic()
        self.selector.register(s, selectors.EVENT_READ)
        self.opened += 1

    def drop(self, s):
        self.selector.unregister(s)
        del self.sockets[s]
        del self.since[s]
        s.close()
        self.closed_by_server += 1

    def held(self, seconds):
        """How many connections the server has kept open for that long."""
        now = time.monotonic()
        return sum(1 for s in self.since if now - self.since[s] >= seconds)

    def run(self):
        next_byte = time.monotonic()
        while not self.stop.is_set():
            while len(self.sockets) < self.count:
                self.open_one()
            for key, _ in self.selector.select(timeout=0.05):
                try:
                    if not key.fileobj.recv(4096):
                        self.drop(key.fileobj)
                except OSError:
                    self.drop(key.fileobj)
            if time.monotonic() < next_byte:
                continue
            next_byte += 1.0
            for s in list(self.sockets):
                sent = self.sockets[s]
                chunk = HEAD[sent:sent + 1] if sent < len(HEAD) else b"a"
                try:
                    s.send(chunk)
                    self.sockets[s] = sent + 1
                except BlockingIOError:
                    pass  # still connecting
                except OSError:
                    self.drop(s)
        for s in list(self.sockets):
            self.selector.unregister(s)
            s.close()
        self.sockets.clear()


def ask(host, port, source, timeout):
    """Seconds until the whole answer to GET /api/standings arrived, and its status."""
    start = time.monotonic()
    try:
        with socket.create_connection((host, port), timeout=timeout,
                                      source_address=(source, 0)) as s:
            s.sendall(b"GET /api/standings HTTP/1.1\r\nHost: live\r\nConnection: close\r\n\r\n")
            data = b""
            while True:
                left = timeout - (time.monotonic() - start)
                if left <= 0:
                    return None, "keine Antwort"
                s.settimeout(left)
                part = s.recv(65536)
                if not part:
                    break
                data += part
    except OSError as e:
        return None, type(e).__name__
    if not data.startswith(b"HTTP/1.1 "):
        return None, "geschlossen ohne Antwort"
    return time.monotonic() - start, data[9:12].decode()


def report(label, results, within):
    times = [t for t, _ in results if t is not None]
    fast = sum(1 for t in times if t <= within)
    line = f"{label}: {len(times)} of {len(results)} answered, {fast} within {within:g} s"
    if times:
        line += (f"; p50 {statistics.median(times) * 1000:.1f} ms, "
                 f"max {max(times) * 1000:.1f} ms")
    statuses = sorted({s for _, s in results})
    print(line + f"; answers: {', '.join(statuses)}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("port", type=int)
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--attacker", default="127.0.0.2")
    parser.add_argument("--client", default="127.0.0.3")
    parser.add_argument("--connections", type=int, default=400)
    parser.add_argument("--tries", type=int, default=30)
    parser.add_argument("--timeout", type=float, default=5.0)
    parser.add_argument("--within", type=float, default=2.0)
    args = parser.parse_args()

    attack = Attack(args.host, args.port, args.attacker, args.connections)
    attack.start()
    time.sleep(3)  # every slow connection opened and sending
    during = []
    for _ in range(args.tries):
        during.append(ask(args.host, args.port, args.client, args.timeout))
        time.sleep(1)
    print(f"attack from {args.attacker}: {args.connections} slow connections at all times, "
          f"{attack.opened} opened in all, {attack.closed_by_server} closed by the server, "
          f"{attack.held(2)} held open by the server for 2 s or more")
    report(f"during the attack, {args.client} asked {args.tries} times", during, args.within)
    attack.stop.set()
    attack.join()
    time.sleep(1)
    after = [ask(args.host, args.port, args.client, args.timeout) for _ in range(5)]
    report(f"after the attack, {args.client} asked 5 times", after, args.within)


if __name__ == "__main__":
    main()
