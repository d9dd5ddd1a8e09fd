#!/usr/bin/python3
"""Runs a command and prints the peak resident memory of that process alone
(VmHWM, read from /proc every few milliseconds until it ends), in KiB.
Children such as the archiver are not counted.
Usage: peak_rss.py COMMAND [ARG...]   (environment passes through)"""
import subprocess
import sys
import time


def high_water_kib(pid):
    try:
        with open(f"/proc/{pid}/status", encoding="ascii") as status:
            for line in status:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def main():
    process = subprocess.Popen(sys.argv[1:], stderr=subprocess.DEVNULL)
    peak = 0
    while process.poll() is None:
        peak = max(peak, high_water_kib(process.pid))
        time.sleep(0.005)
    print(f"{peak} {process.returncode}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
