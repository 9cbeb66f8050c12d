#!/usr/bin/env python3
"""The clipboard text of the Result Tables window, read by Python's csv module
with the excel-tab dialect, gives the cells the window shows.

Replays examples/result-tables.journal on a copy of examples/truss.kst
(kestrel --replay prints each copy with `show @clipboard`). Every copy must
parse into records as wide as its heading row; the nodes must be the truss's;
the copy of the member end forces must hold, row by row and column by
column, the cells of the CSV file the same journal exports from the same tab
(the display texts within their rounding of the full-precision values, in
the display units of the headings); and reactions and axial forces must be
those of statics. Usage: tables_clipboard_test.py KESTREL SCRATCH JOURNAL
MODEL
"""
import csv
import io
import os
import re
import shutil
import subprocess
import sys

kestrel, scratch, journal, model = sys.argv[1:5]
failures = []

shutil.rmtree(scratch, ignore_errors=True)
os.makedirs(scratch)
shutil.copy(model, os.path.join(scratch, "truss.kst"))
run = subprocess.run([kestrel, "--replay", journal, "truss.kst"], cwd=scratch,
                     capture_output=True, text=True)
if run.returncode != 0:
    sys.exit(f"replay status {run.returncode}: {run.stderr}")


def unescape(text):
    return re.sub(r'\\(.)', lambda m: {"n": "\n", "t": "\t"}.get(m.group(1), m.group(1)), text)


copies = []
for line in run.stdout.splitlines():
    m = re.fullmatch(r'show: @clipboard "((?:[^"\\]|\\.)*)"', line)
    if m:
        copies.append(list(csv.reader(io.StringIO(unescape(m.group(1)), newline=""),
                                      dialect="excel-tab")))
if len(copies) != 4:
    sys.exit(f"{len(copies)} copies in the replay's output, expected 4:\n{run.stdout}")
for i, rows in enumerate(copies):
    for r, row in enumerate(rows):
        if len(row) != len(rows[0]):
            failures.append(f"copy {i + 1} row {r}: {len(row)} fields, {len(rows[0])} headings")

# Units of the headings: what a display value is multiplied by to be internal.
TO_INTERNAL = {"m": 1, "mm": 1e-3, "cm": 1e-2, "kN": 1, "N": 1e-3, "kNm": 1, "kN m": 1,
               "rad": 1, "mrad": 1e-3}


def split_heading(h):
    m = re.fullmatch(r"(.*?)(?: \((.*)\))?", h)
    return m.group(1), m.group(2)


with open(os.path.join(scratch, "member-end-forces.csv"), newline="", encoding="utf-8") as f:
    exported = list(csv.reader(f))
shown = copies[2]
if len(shown) != len(exported):
    failures.append(f"copy of {len(shown) - 1} rows, file of {len(exported) - 1}")
names = [split_heading(h)[0] for h in shown[0]]
if names != [split_heading(h)[0] for h in exported[0]]:
    failures.append(f"headings {shown[0]} against {exported[0]}")
for r, (a, b) in enumerate(zip(shown[1:], exported[1:]), 1):
    for c, (text, full) in enumerate(zip(a, b)):
        unit = split_heading(shown[0][c])[1]
        if unit is None:
            if text != full:
                failures.append(f"row {r} {names[c]}: {text!r} != {full!r}")
            continue
        decimals = len(text.split(".")[1]) if "." in text else 0
        rounding = 0.5 * 10 ** -decimals * TO_INTERNAL[unit] * (1 + 1e-9)
        if abs(float(text) * TO_INTERNAL[unit] - float(full)) > rounding:
            failures.append(f"row {r} {names[c]}: {text} {unit} != {full}")

# The truss by statics: nodes, reactions of 30 kN and the axial force (N2)
# of each member; the last copy holds the two end diagonals.
nodes = [[float(x) for x in row] for row in copies[0][1:]]
if nodes != [[1, 0, 0], [2, 3, 0], [3, 6, 0], [4, 9, 0], [5, 12, 0], [6, 3, 3], [7, 6, 3],
             [8, 9, 3]]:
    failures.append(f"nodes {nodes}")
fy = copies[1][0].index("Fy (kN)")
if [row[fy] for row in copies[1][1:]] != ["30.0", "30.0"]:
    failures.append(f"reactions {copies[1]}")
r2 = 42.42640687
axial = {1: 30, 2: -r2, 3: 30, 4: 0, 5: 30, 6: -20, 7: 30, 8: 0, 9: -r2, 10: r2 / 3,
         11: -40, 12: -40, 13: r2 / 3}
n2 = shown[0].index("N2 (kN)")
for row in shown[1:]:
    if abs(float(row[n2]) - axial[int(row[0])]) > 0.05:
        failures.append(f"member {row[0]}: N2 {row[n2]}, statics {axial[int(row[0])]:.4f}")
if [row[0] for row in copies[3][1:]] != ["2", "9"]:
    failures.append(f"the rows selected: {copies[3]}")

for f in failures:
    print(f)
sys.exit(1 if failures else 0)
