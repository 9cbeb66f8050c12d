#!/usr/bin/env python3
"""The CSV tables of `kestrel --csv` hold the values of `kestrel-solve --json`.

For every case, combination and the envelope of each model, the CSV files are
read back with the csv module and every result cell is compared with the JSON
value (internal units both). A model of several cases keeps the engine's full
precision (cells equal to 1e-9 of the largest in their column); a single-case
model shows what the result file holds, four to six significant digits, so
MODEL.kst:TOLERANCE gives its relative tolerance. Usage: tables_csv_test.py
KESTREL KESTREL_SOLVE SCRATCH MODEL.kst[:TOLERANCE]...
"""
import csv
import json
import os
import shutil
import subprocess
import sys

kestrel, solve, scratch, models = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
failures = []


def read(path):
    with open(path, newline="", encoding="utf-8") as f:
        raw = f.read()
    # Records end with CRLF, nothing else.
    if raw.replace("\r\n", "").count("\n") or not raw.endswith("\r\n"):
        failures.append(f"{path}: records do not end with CRLF")
    rows = list(csv.reader(raw.splitlines(True)))
    return rows[0], rows[1:]


tolerance = 1e-9


def near(a, b, scale):
    return abs(a - b) <= tolerance * max(abs(b), 1e-3 * scale) if tolerance > 1e-9 else \
        abs(a - b) <= tolerance * max(scale, 1e-300)


def compare(what, header, rows, expected, columns):
    """expected: list of dicts; columns: (csv heading, json key) pairs."""
    if len(rows) != len(expected):
        failures.append(f"{what}: {len(rows)} rows, the JSON has {len(expected)}")
        return
    for heading, key in columns:
        if heading not in header:
            failures.append(f"{what}: no column {heading!r} in {header}")
            continue
        c = header.index(heading)
        values = [e.get(key) for e in expected]
        scale = max([abs(v) for v in values if isinstance(v, float | int)] + [0])
        for r, (row, v) in enumerate(zip(rows, values)):
            if v is None:
                if row[c] != "":
                    failures.append(f"{what} row {r + 1} {heading}: {row[c]!r}, expected empty")
            elif not near(float(row[c]), float(v), scale):
                failures.append(f"{what} row {r + 1} {heading}: {row[c]} != {v}")


def check_run(out, run, what):
    h, rows = read(os.path.join(out, "node-displacements.csv"))
    compare(what + " nodes", h, rows, run["nodes"],
            [("Node", "node"), ("x (m)", "x"), ("y (m)", "y"), ("Dx (m)", "dx"),
             ("Dy (m)", "dy"), ("Rz (rad)", "rz")])
    h, rows = read(os.path.join(out, "support-reactions.csv"))
    compare(what + " reactions", h, rows, run["reactions"],
            [("Node", "node"), ("Fx (kN)", "fx"), ("Fy (kN)", "fy"), ("Mz (kN m)", "mz")])
    h, rows = read(os.path.join(out, "member-end-forces.csv"))
    compare(what + " members", h, rows, run["members"],
            [("Member", "member"), ("Node 1", "node1"), ("Node 2", "node2"),
             ("N1 (kN)", "n1"), ("V1 (kN)", "v1"), ("M1 (kN m)", "m1"),
             ("N2 (kN)", "n2"), ("V2 (kN)", "v2"), ("M2 (kN m)", "m2")])


def flat(items, key, sub):
    return [{"n": i[key], **{f"{k}{m}": i[k][m] for k in sub if k in i for m in ("max", "min")}}
            for i in items]


def check_envelope(out, env, what):
    h, rows = read(os.path.join(out, "node-displacements.csv"))
    compare(what + " nodes", h, rows, flat(env["nodes"], "node", ["dx", "dy", "rz"]),
            [("Node", "n")] + [(f"{c.capitalize()} {m} ({u})", f"{c}{m}")
                               for c, u in (("dx", "m"), ("dy", "m"), ("rz", "rad"))
                               for m in ("max", "min")])
    h, rows = read(os.path.join(out, "support-reactions.csv"))
    compare(what + " reactions", h, rows, flat(env["reactions"], "node", ["fx", "fy", "mz"]),
            [("Node", "n")] + [(f"{c.capitalize()} {m} ({u})", f"{c}{m}")
                               for c, u in (("fx", "kN"), ("fy", "kN"), ("mz", "kN m"))
                               for m in ("max", "min")])
    units = {"n": "kN", "v": "kN", "m": "kN m"}
    ends = [{"member": m["member"], "end": e,
             **{f"{k}{x}": m[k][f"end{e}"][x]["value"] for k in units for x in ("max", "min")}}
            for m in env["members"] for e in (1, 2)]
    h, rows = read(os.path.join(out, "member-end-forces.csv"))
    compare(what + " end forces", h, rows, ends,
            [("Member", "member"), ("End", "end")] +
            [(f"{k.upper()} {x} ({u})", f"{k}{x}") for k, u in units.items() for x in ("max", "min")])
    along = [{"member": m["member"],
              **{f"{k}{x}": m[k][x]["value"] for k in units for x in ("max", "min")},
              **{f"x{k}{x}": m[k][x]["x"] for k in units for x in ("max", "min")},
              **{f"from{k}{x}": m[k][x]["combination"] for k in units for x in ("max", "min")}}
             for m in env["members"]]
    h, rows = read(os.path.join(out, "member-extremes.csv"))
    compare(what + " extremes", h, rows, along,
            [("Member", "member")] +
            [(f"{k.upper()} {x} ({u})", f"{k}{x}") for k, u in units.items() for x in ("max", "min")] +
            [(f"x {k.upper()} {x} (m)", f"x{k}{x}") for k in units for x in ("max", "min")])
    for k in units:
        for x in ("max", "min"):
            c = h.index(f"{k.upper()} {x} from")
            got = [r[c].removesuffix(" pattern") for r in rows]
            if got != [a[f"from{k}{x}"] for a in along]:
                failures.append(f"{what} extremes: {k} {x} governed by {got}")


for model in models:
    model, _, given = model.partition(":")
    tolerance = float(given) if given else 1e-9
    base = os.path.join(scratch, os.path.splitext(os.path.basename(model))[0])
    shutil.rmtree(base, ignore_errors=True)
    os.makedirs(base)
    kst = os.path.join(base, os.path.basename(model))
    shutil.copy(model, kst)
    subprocess.run([solve, kst, "--json", kst + ".json"], check=True, stdout=subprocess.DEVNULL)
    with open(kst + ".json", encoding="utf-8") as f:
        data = json.load(f)
    runs = [(c["label"], c) for c in data["cases"]] + \
        [(c["label"], c) for c in data.get("combinations", [])]
    if "envelope" in data:
        runs.append(("Envelope", data["envelope"]))
    for label, run in runs:
        out = os.path.join(base, label.replace(" ", "_"))
        os.makedirs(out)
        subprocess.run([kestrel, "--csv", out, kst, "--case", label], check=True)
        what = f"{os.path.basename(model)} {label}"
        (check_envelope if label == "Envelope" else check_run)(out, run, what)

# The refusals: a folder that does not exist (nothing written, the reason
# given) and a label the model does not have.
kst = os.path.join(scratch, "load-cases", "load-cases.kst")
missing = os.path.join(scratch, "missing")
r = subprocess.run([kestrel, "--csv", missing, kst], capture_output=True, text=True)
want = f"kestrel: cannot write {missing}/node-displacements.csv: No such file or directory\n"
if r.returncode != 1 or r.stderr != want or os.path.exists(missing):
    failures.append(f"missing folder: status {r.returncode}, {r.stderr!r}")
r = subprocess.run([kestrel, "--csv", scratch, kst, "--case", "Nope"], capture_output=True, text=True)
if r.returncode != 2 or "has nothing labelled Nope (it has: Dead, Imposed" not in r.stderr:
    failures.append(f"unknown label: status {r.returncode}, {r.stderr!r}")

for f in failures[:40]:
    print(f)
sys.exit(1 if failures else 0)
