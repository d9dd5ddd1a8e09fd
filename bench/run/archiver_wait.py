#!/usr/bin/python3
"""CPU time Norvo_T spends while the archiver works.

Runs one backup of a small file set with the RAR stand-in made to take
--seconds of wall time, and samples Norvo_T's own CPU time (utime + stime of
/proc/<pid>/stat, children excluded) when the archiver starts and when it
ends. For comparison the same is measured for /bin/sh waiting for the same
archiver command. Target: Norvo_T's CPU under 1% of the archiver's wall time.

Usage: bench/run/archiver_wait.py [--build build] [--seconds 5]
"""
import argparse
import json
import os
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TICK = os.sysconf("SC_CLK_TCK")


def own_cpu(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICK  # utime, stime


def has_children(pid):
    try:
        with open(f"/proc/{pid}/task/{pid}/children") as f:
            return bool(f.read().strip())
    except FileNotFoundError:
        return False


def measure(argv, env):
    """(archiver wall seconds, CPU of the waiting process during it, its total CPU)."""
    process = subprocess.Popen(argv, env=env, stderr=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
    start_cpu = start_wall = end_cpu = end_wall = None
    last = 0.0
    while process.poll() is None:
        try:
            cpu = own_cpu(process.pid)
        except (FileNotFoundError, ProcessLookupError, IndexError):
            break
        last = cpu
        busy = has_children(process.pid)
        now = time.monotonic()
        if busy and start_wall is None:
            start_cpu, start_wall = cpu, now
        if not busy and start_wall is not None and end_wall is None:
            end_cpu, end_wall = cpu, now
        time.sleep(0.05)
    process.wait()
    if start_wall is not None and end_wall is None:  # it ended right after the archiver
        end_cpu, end_wall = last, time.monotonic()
    if start_wall is None:
        raise SystemExit(f"the archiver was not seen running under {argv[0]}")
    return end_wall - start_wall, end_cpu - start_cpu, last


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--seconds", type=float, default=5)
    args = parser.parse_args()
    norvo_t = os.path.join(args.build, "bin", "Norvo_T")
    settings_tool = os.path.join(args.build, "bin", "norvo-settings")
    fake_rar = os.path.join(ROOT, "tests", "peers", "fake_rar")
    with tempfile.TemporaryDirectory() as tmp:
        env = dict(os.environ, NORVO_REGISTRY=os.path.join(tmp, "registry.db"),
                   NORVO_PROVIDER_CONF=os.path.join(tmp, "provider.ini"),
                   FAKE_RAR_SLEEP=str(args.seconds))
        service = subprocess.Popen([sys.executable, os.path.join(ROOT, "tests", "peers", "account_service.py"),
                                    "--log", os.path.join(tmp, "service.log"), "--config",
                                    os.path.join(tmp, "service.json")], stdout=subprocess.PIPE, text=True)
        try:
            port = int(service.stdout.readline())
            with open(os.path.join(tmp, "service.json"), "w") as f:
                json.dump({"tipo3": "Acme;ftp.example;u;p;/base/"}, f)
            with open(env["NORVO_PROVIDER_CONF"], "w") as f:
                f.write(f"[provider]\nservice_host = 127.0.0.1:{port}\nrar_path = {fake_rar}\n")
            os.makedirs(os.path.join(tmp, "drive"))
            os.makedirs(os.path.join(tmp, "data"))
            with open(os.path.join(tmp, "data", "a.txt"), "w") as f:
                f.write("data\n")
            values = {"Resp_ProgEnv": "0", "Resp_ProgCopias": "3", "Resp_Base": "0", "Resp_Archivo": "1",
                      "Resp_Drive": os.path.join(tmp, "drive") + "/", "Resp_ArchRuta": os.path.join(tmp, "data"),
                      "Resp_ArchTipo": "C", "Resp_ArchFil": "*.txt", "Resp_SeguPas": "clave"}
            subprocess.run([settings_tool, "set-customer", "123"], env=env, check=True)
            for name, value in values.items():
                subprocess.run([settings_tool, "set", name, value], env=env, check=True)
            ours = measure([norvo_t], env)
            command = f'"{fake_rar}" a -dh "{tmp}/sh.rar" "{tmp}/data/*.txt"; exit $?'
            shell = measure(["/bin/sh", "-c", command], env)
        finally:
            service.terminate()
            service.wait()
    for name, (wall, cpu, total) in (("Norvo_T", ours), ("/bin/sh", shell)):
        print(f"{name:8} archiver wall {wall:6.2f} s  CPU while waiting {cpu * 1000:6.1f} ms "
              f"({100 * cpu / wall:.3f}% of the wall time)  total own CPU {total * 1000:.1f} ms")
    ratio = 100 * ours[1] / ours[0]
    print(f"target: under 1% -> {'met' if ratio < 1 else 'NOT met'} ({ratio:.3f}%; clock tick {1000 / TICK:.0f} ms)")
    return 0 if ratio < 1 else 1


if __name__ == "__main__":
    sys.exit(main())
