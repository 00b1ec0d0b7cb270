"""Prints the benchmark table from what bench/run.sh measured.
Usage: report.py startup.json bench.xml tazzle-bytes reference-bytes face"""
import json
import sys
import xml.etree.ElementTree as ElementTree

startup_file, bench_file, tazzle_bytes, reference_bytes, face = sys.argv[1:6]
with open(startup_file) as f:
    startup = json.load(f)
tazzle, reference = startup["tazzle"], startup["reference"]

# QBENCHMARK results: milliseconds per iteration, by function and row.
bench = {}
for function in ElementTree.parse(bench_file).getroot().iter("TestFunction"):
    for result in function.iter("BenchmarkResult"):
        bench[(function.get("name"), result.get("tag") or "")] = float(result.get("value"))


def ratio(a, b):
    return f"×{a / b:.3f}" if b else "–"


def row(what, a, b, unit, show_ratio=True):
    print(f"| {what} | {a} {unit} | {b} {unit} | {ratio(float(a), float(b)) if show_ratio else ''} |")


print(f"Tazzle beside the reference (the prompt on black, {face} Bold 16 px)\n")
print("| measure | Tazzle | reference | ratio |")
print("|---|---|---|---|")
row("start-up instructions (callgrind, until 2 s after the first frame)",
    f"{tazzle['instructions'] / 1e6:.2f}", f"{reference['instructions'] / 1e6:.2f}", "M")
row("start-up wall clock, exec to first frame (median)",
    f"{tazzle['startup_ms']:.1f}", f"{reference['startup_ms']:.1f}", "ms")
row("resident memory, window shown", f"{tazzle['resident_kb'] / 1024:.1f}",
    f"{reference['resident_kb'] / 1024:.1f}", "MB")
row("idle 5 s: CPU ticks", tazzle["idle_ticks"], reference["idle_ticks"], "", False)
row("idle 5 s: voluntary context switches", tazzle["idle_switches"],
    reference["idle_switches"], "", False)
click = bench[("clickToDare", "click on the picture")]
label = bench[("clickToDare", "reference: QLabel::setText and repaint")]
row("click on the picture until the dare is painted / QLabel::setText until painted",
    f"{1000 * click:.1f}", f"{1000 * label:.1f}", "µs")
print(f"| Get Dare command, per call | {1e6 * bench[('getDareCommand', '')]:.0f} ns | | |")
print(f"| hover in and out, each painted | {1000 * bench[('hoverInAndOut', '')]:.1f} µs | | |")
row("stripped executable", f"{int(tazzle_bytes) / 1024:.0f}", f"{int(reference_bytes) / 1024:.0f}",
    "KiB")

print("\nStart-up instructions by library (M), where they differ most:\n")
print("| library | Tazzle | reference | difference |")
print("|---|---|---|---|")
libraries = set(tazzle["by_library"]) | set(reference["by_library"])
rows = sorted(libraries, key=lambda l: -abs(tazzle["by_library"].get(l, 0)
                                            - reference["by_library"].get(l, 0)))
for library in rows[:10]:
    a, b = tazzle["by_library"].get(library, 0), reference["by_library"].get(library, 0)
    print(f"| {library} | {a / 1e6:.2f} | {b / 1e6:.2f} | {(a - b) / 1e6:+.2f} |")
