#!/usr/bin/env python3
"""Times commands in interleaved rounds and prints, per command, the median and the minimum of
its wall times in seconds, one line each.

usage: interleaved.py RUNS WARMUP [--before CMD...] -- CMD1 ... -- CMD2 ... [-- CMD3 ...]

Each round runs every command once, in turn, so a slow spell of the machine (other work, the
host of a virtual machine) falls on all of them alike instead of on whichever ran then; the
order within a round rotates, so none always runs right after another. With --before, that
command runs (untimed) before each timed one: to empty the cache for cold runs."""
import statistics
import subprocess
import sys
import time


def main():
    runs, warmup = int(sys.argv[1]), int(sys.argv[2])
    commands, current, before = [], None, None
    for arg in sys.argv[3:]:
        if arg == "--before" and current is None:
            before = current = []
        elif arg == "--":
            current = []
            commands.append(current)
        else:
            current.append(arg)
    times = [[] for _ in commands]
    for round_ in range(warmup + runs):
        for k in range(len(commands)):
            i = (round_ + k) % len(commands)
            if before:
                subprocess.run(before, stdout=subprocess.DEVNULL, check=True)
            start = time.perf_counter()
            subprocess.run(commands[i], stdout=subprocess.DEVNULL, check=True)
            if round_ >= warmup:
                times[i].append(time.perf_counter() - start)
    for t in times:
        print(statistics.median(t), min(t))


if __name__ == "__main__":
    main()
