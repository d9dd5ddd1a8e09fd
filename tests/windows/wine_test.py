#!/usr/bin/python3
"""Runs a Windows test program under Wine, with the test peers on the Linux side.

Usage: wine_test.py --build DIR PROGRAM [ARGS...]

The build's private Wine prefix is DIR/wine (made on first use), with no
display and WINEDEBUG=-all. The program's exit code is this script's.

The program sees:
  NORVO_TEST_TMP      a Linux folder (DIR/test-tmp) for its files; as drive Z:
                      it is a Windows path too, so the peers can reach them
  NORVO_TEST_DRIVE    W, a drive letter of its own for the run's work folder,
                      and NORVO_TEST_DRIVE_LINUX, its folder (DIR/test-drive)
  NORVO_PEER_CONTROL  host:port of a small HTTP service of this script. A
                      Windows program can start a Linux program but cannot
                      wait for it or read its output, so it asks here:
    GET /start?peer=NAME&arg=A&arg=B  starts tests/peers/NAME with Debian's
                                      python3 and answers "<id> <its first line>"
    GET /stop?id=N                    ends that peer at once (SIGKILL)
Every peer still running when the program ends is ended.
"""
import fcntl
import http.server
import os
import signal
import subprocess
import sys
import threading
import urllib.parse

PEERS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "peers")


class Peers:
    def __init__(self):
        self.lock = threading.Lock()
        self.running = {}
        self.next_id = 1

    def start(self, name, args):
        if "/" in name or not name.endswith(".py"):
            raise ValueError("not a peer: " + name)
        process = subprocess.Popen(["/usr/bin/python3", os.path.join(PEERS, name)] + args,
                                   stdout=subprocess.PIPE, stdin=subprocess.DEVNULL)
        line = process.stdout.readline().decode("utf-8", "replace").strip()
        with self.lock:
            peer_id = self.next_id
            self.next_id += 1
            self.running[peer_id] = process
        return "%d %s" % (peer_id, line)

    def stop(self, peer_id):
        with self.lock:
            process = self.running.pop(peer_id, None)
        if process is not None:
            process.kill()
            process.wait()

    def stop_all(self):
        for peer_id in list(self.running):
            self.stop(peer_id)


def control_service(peers):
    class Handler(http.server.BaseHTTPRequestHandler):
        def log_message(self, *args):
            pass

        def do_GET(self):
            path, _, raw = self.path.partition("?")
            query = urllib.parse.parse_qs(raw, keep_blank_values=True)
            try:
                if path == "/start":
                    body = peers.start(query["peer"][0], query.get("arg", []))
                elif path == "/stop":
                    peers.stop(int(query["id"][0]))
                    body = "stopped"
                else:
                    raise ValueError("unknown request " + path)
                status = 200
            except (KeyError, ValueError, OSError) as error:
                status, body = 400, str(error)
            data = body.encode("utf-8")
            self.send_response(status)
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            self.wfile.write(data)

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def ensure_prefix(build, env):
    """Makes the prefix once (wineboot takes some seconds) and the W: drive."""
    prefix = env["WINEPREFIX"]
    with open(os.path.join(build, "wine.lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not os.path.exists(os.path.join(prefix, "system.reg")):
            subprocess.run(["wineboot", "-i"], env=env, check=True, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
            # The services of the session that made the prefix started before
            # its registry was whole: the task scheduler's, for one, stops as
            # soon as it starts. Let that session end; the next one is sound.
            subprocess.run(["wineserver", "-w"], env=env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        drive = os.path.join(prefix, "dosdevices", "w:")
        target = os.path.join(build, "test-drive")
        os.makedirs(target, exist_ok=True)
        if os.path.realpath(drive) != os.path.realpath(target):
            if os.path.lexists(drive):
                os.remove(drive)
            os.symlink(target, drive)
        # Keep the server between the many short test programs. Started here
        # apart from the test's output: a server that Wine starts itself holds
        # ctest's pipes open for as long as it lives.
        quiet = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                     start_new_session=True)
        subprocess.Popen(["wineserver", "-p60"], env=env, **quiet)
        # Wine's own services (winedevice and the rest) live as long as the
        # server and keep the output of whoever started them: start them here.
        subprocess.run(["wineboot"], env=env, **quiet)


def main():
    if len(sys.argv) < 4 or sys.argv[1] != "--build":
        sys.exit(__doc__)
    build = os.path.abspath(sys.argv[2])
    program = sys.argv[3:]
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    env["WINEPREFIX"] = os.path.join(build, "wine")
    env["WINEDEBUG"] = "-all"
    env["WINEDLLOVERRIDES"] = "winemenubuilder.exe=d"
    env["NORVO_TEST_TMP"] = os.path.join(build, "test-tmp")
    env["NORVO_TEST_DRIVE"] = "W"
    env["NORVO_TEST_DRIVE_LINUX"] = os.path.join(build, "test-drive")
    os.makedirs(env["NORVO_TEST_TMP"], exist_ok=True)
    ensure_prefix(build, env)
    peers = Peers()
    server = control_service(peers)
    env["NORVO_PEER_CONTROL"] = "127.0.0.1:%d" % server.server_address[1]
    try:
        code = subprocess.run(["wine"] + program, env=env).returncode
    finally:
        peers.stop_all()  # the service's thread ends with this script
    sys.exit(code)


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    main()
