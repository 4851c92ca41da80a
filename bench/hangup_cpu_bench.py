#!/usr/bin/python3
"""CPU time qm4250-upload spends while its device is gone.

The simulator sends 100 records at 9600 baud and hangs up after the 30th; the upload is sampled
through /proc/<pid>/schedstat (nanoseconds on a CPU) from the hang-up to its exit, which includes
saving the 30 records. Prints hangup_cpu_ms, hangup_wall_ms, hangup_status and hangup_lines (the
lines on standard error), the median of five runs.

usage: hangup_cpu_bench.py QM4250_UPLOAD QM4250_SIM
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time


def cpu_ns(pid):
    try:
        with open(f"/proc/{pid}/schedstat") as stat:
            return int(stat.read().split()[0])
    except (FileNotFoundError, ProcessLookupError):
        return None


def one_run(upload, sim, folder):
    log = os.path.join(folder, "sim.log")
    link = os.path.join(folder, "link")
    simulator = subprocess.Popen([sim, "--records", "100", "--hangup-after", "30", "--link", link,
                                  "--log", log], stdout=subprocess.PIPE, text=True)
    simulator.stdout.readline()
    messages = open(os.path.join(folder, "messages"), "w+")
    program = subprocess.Popen([upload, "--export", os.path.join(folder, "h.csv"), "--device",
                                link], stderr=messages)
    while "hangup" not in open(log).read():
        time.sleep(0.001)
    at_hangup, started = cpu_ns(program.pid), time.monotonic()
    last = at_hangup
    while program.poll() is None:
        now = cpu_ns(program.pid)
        if now is not None:
            last = now
        time.sleep(0.001)
    wall = time.monotonic() - started
    simulator.wait(timeout=10)
    messages.seek(0)
    return (last - at_hangup) / 1e6, wall * 1e3, program.returncode, len(messages.readlines())


def main():
    upload, sim = sys.argv[1:3]
    runs = []
    for _ in range(5):
        with tempfile.TemporaryDirectory() as folder:
            runs.append(one_run(upload, sim, folder))
    print(f"hangup_cpu_ms={statistics.median(r[0] for r in runs):.1f}")
    print(f"hangup_wall_ms={statistics.median(r[1] for r in runs):.0f}")
    print(f"hangup_status={runs[-1][2]}")
    print(f"hangup_lines={max(r[3] for r in runs)}")


if __name__ == "__main__":
    main()
