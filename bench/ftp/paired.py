#!/usr/bin/python3
"""Runs two commands one after the other, PAIRS times, and prints the median
wall time and CPU time (user + system, of the command and its children) of
each and the ratios B/A. Each pair alternates which command goes first, so a
slow moment of a shared machine falls on both alike. Before every command the
page cache's dirty pages are written out (sync) and, when given, a set-up
command runs (untimed).

Usage: paired.py --pairs 6 [--setup CMD] --a NAME CMD --b NAME CMD
(CMD is one shell command line.)"""
import argparse
import os
import statistics
import subprocess
import sys
import time


def run(command, setup):
    if setup:
        subprocess.run(setup, shell=True, check=True)
    os.sync()
    before = os.times()
    start = time.monotonic()
    done = subprocess.run(command, shell=True, stdout=subprocess.DEVNULL)
    wall = time.monotonic() - start
    after = os.times()
    if done.returncode != 0:
        sys.exit(f"paired: '{command}' failed with {done.returncode}")
    user = after.children_user - before.children_user
    system = after.children_system - before.children_system
    return wall, user, system


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--pairs", type=int, default=6)
    parser.add_argument("--setup", default="")
    parser.add_argument("--a", nargs=2, required=True, metavar=("NAME", "CMD"))
    parser.add_argument("--b", nargs=2, required=True, metavar=("NAME", "CMD"))
    args = parser.parse_args()
    results = {args.a[0]: [], args.b[0]: []}
    for pair in range(args.pairs):
        order = [args.a, args.b] if pair % 2 == 0 else [args.b, args.a]
        for name, command in order:
            results[name].append(run(command, args.setup))
    medians = {}
    for name, rows in results.items():
        wall = statistics.median(r[0] for r in rows)
        user = statistics.median(r[1] for r in rows)
        system = statistics.median(r[2] for r in rows)
        cpu = statistics.median(r[1] + r[2] for r in rows)
        medians[name] = (wall, cpu)
        print(f"  {name:24s} wall {wall:7.2f}s  cpu {cpu:6.2f}s (user {user:5.2f}s, system {system:5.2f}s)"
              f"  median of {len(rows)}")
    (wall_a, cpu_a), (wall_b, cpu_b) = medians[args.a[0]], medians[args.b[0]]
    def ratio(b, a):
        return f"{b / a:.3f}" if a > 0 else "n/a (too short to measure)"

    print(f"  ratio {args.b[0]} / {args.a[0]}: wall {ratio(wall_b, wall_a)}, cpu {ratio(cpu_b, cpu_a)}")


if __name__ == "__main__":
    main()
