#!/usr/bin/env bash
# Two outside programs measured on this machine, to put beside our figures: matplotlib drawing
# 100,000 points to a PNG, and LibreOffice opening a 36,093-row .xls headless (converting it to
# CSV, the cheapest way to make it read the whole file). Prints key=value lines.
#   anchors.sh BUILD_FOLDER SCRATCH_FOLDER
set -euo pipefail
build=$1
scratch=$2

/usr/bin/python3 - <<'PY'
import random, time
import matplotlib
matplotlib.use("Agg")
import matplotlib.pyplot as plt
random.seed(4250)
x = list(range(100000))
y = [random.gauss(0.002, 0.0004) for _ in x]
start = time.perf_counter()
figure, axes = plt.subplots(figsize=(12, 6), dpi=100)
axes.scatter(x, y, s=4)
for level in (0.0008, 0.002, 0.0032):
    axes.axhline(level)
figure.savefig("/dev/null", format="png")
print(f"matplotlib_100k_png_ms={(time.perf_counter() - start) * 1000:.1f}")
PY

# A 32,767-record history saved by qm4250-upload from the simulator: 36,093 rows with markers.
"$build"/tools/sim/qm4250-sim --baud 0 --records 32767 >"$scratch/sim.out" 2>&1 &
simulator=$!
for _ in $(seq 50); do [[ -s $scratch/sim.out ]] && break; sleep 0.1; done
"$build"/src/qm4250-upload --export "$scratch/big.xls" --device "$(head -1 "$scratch/sim.out")" \
  >/dev/null 2>&1
kill "$simulator" 2>/dev/null || true
export HOME=$scratch/home
mkdir -p "$HOME"
soffice --headless --convert-to csv --outdir "$scratch/warm" "$scratch/big.xls" >/dev/null 2>&1
start=$(date +%s%N)
soffice --headless --convert-to csv --outdir "$scratch/out" "$scratch/big.xls" >/dev/null 2>&1
echo "libreoffice_open_xls_ms=$(( ($(date +%s%N) - start) / 1000000 ))"
