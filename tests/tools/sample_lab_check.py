#!/usr/bin/env python3
"""Checks `norvalt calc --json` on the sample laboratory against the
determination worked out here independently, straight from the laboratory's
database: calibration coefficients, their means per analysed chromatogram,
mass fractions, the ethylene glycol remainder and compliance.

usage: sample_lab_check.py NORVALT WORKDIR
"""
import json
import math
import os
import sqlite3
import subprocess
import sys

norvalt, work = sys.argv[1], sys.argv[2]
lab = os.path.join(work, "lab")
profile = os.path.join(work, "profile")
if os.path.exists(profile):
    os.remove(profile)
subprocess.run([norvalt, "sample-lab", lab], check=True, stdout=subprocess.DEVNULL)
db = sqlite3.connect(os.path.join(lab, "lab.db"))

WATER = 0.08
STANDARDS = {"нонанол-1": "Нонанол-1", "бензиловыйспирт": "Бензиловый спирт"}
failures = []


def check(what, got, want):
    if want is None:
        ok = got is None
    else:
        ok = got is not None and math.isclose(got, want, rel_tol=1e-12, abs_tol=1e-15)
    if not ok:
        failures.append(f"{what}: got {got}, want {want}")


def normalise(name):
    return "".join(ch.lower() for ch in name if not ch.isspace())


def assays():
    rows = db.execute("SELECT id, filename, mixture, iscalibration FROM assay ORDER BY id").fetchall()
    result = {}
    for assay_id, filename, mixture, calibration in rows:
        peaks = db.execute("SELECT name, area, concentration FROM peak WHERE assayid = ? ORDER BY time",
                           (assay_id,)).fetchall()
        if calibration:
            # Calibration peaks take the concentration of the mixture's
            # component of the same normalised name.
            comps = dict(db.execute(
                "SELECT c.name, c.concentration FROM mixturecomp c JOIN mixture m ON m.id = c.mixtureid"
                " WHERE m.name = ?", (mixture,)).fetchall())
            peaks = [(n, a, comps.get(normalise(n), c)) for n, a, c in peaks]
        standard = next(n for n, _, _ in peaks if normalise(n) in STANDARDS)
        result[assay_id] = dict(file=os.path.basename(filename), path=filename, calibration=bool(calibration),
                                standard=standard, peaks=peaks)
    return result


def expected(all_assays, selected):
    column_standard = all_assays[selected]["standard"]
    same = {i: a for i, a in all_assays.items() if a["standard"] == column_standard}
    cal = [a for a in same.values() if a["calibration"]]
    analysed = [a for a in same.values() if not a["calibration"]]
    impurities = ["Диэтиленгликоль", "Триэтиленгликоль"]
    a = all_assays[selected]
    area = {n: ar for n, ar, _ in a["peaks"]}
    conc = {n: c for n, _, c in a["peaks"]}
    ia_area, ia_conc = area[column_standard], conc[column_standard]
    rows = {}
    for name in impurities:
        ks = []
        for c in cal:
            p_area = next(ar for n, ar, _ in c["peaks"] if n == name)
            p_conc = next(cc for n, _, cc in c["peaks"] if n == name)
            q_area = next(ar for n, ar, _ in c["peaks"] if n == column_standard)
            q_conc = next(cc for n, _, cc in c["peaks"] if n == column_standard)
            ks.append((q_area * p_conc) / ((area[name] - (ia_area / q_area) * p_area) * q_conc))
        mean = sum(ks) / len(ks)
        w = mean * area[name] * ia_conc * 100 / (conc[name] * ia_area)
        rows[name] = (w, ks, mean)
    # The internal standard's own series has no coefficients: mean 0, row 0.
    rows[column_standard] = (0.0, None, 0.0)
    eg = 100 - WATER
    for name in sorted(rows):
        eg -= rows[name][0]
    return rows, eg, len(cal), len(analysed)


all_assays = assays()
analysed_ids = [i for i, a in all_assays.items() if not a["calibration"]]
columns_seen = set()
for selected in analysed_ids:
    out = subprocess.run([norvalt, "calc", "--db", os.path.join(lab, "lab.db"), "--all", "--select", str(selected),
                          "--water", str(WATER), "--profile", profile, "--json"],
                         check=True, capture_output=True, text=True).stdout
    got = json.loads(out)
    rows, eg, n_cal, n_analysed = expected(all_assays, selected)
    columns_seen.add(all_assays[selected]["standard"])
    where = f"assay {selected}"
    check(where + " selected", got["selectedAssayId"], selected)
    if got["messages"]["errors"]:
        failures.append(f"{where}: messages {got['messages']['errors']}")
    results = {r["name"]: r for r in got["results"]}
    for name, (w, _, _) in rows.items():
        if name not in results:
            failures.append(f"{where}: no row {name}")
            continue
        check(f"{where} {name}", results[name]["massFraction"], w)
    check(f"{where} EG", results.get("этиленгликоль", {}).get("massFraction"), eg)
    # Diethylene glycol complies below 0.0005 x 100 %, ethylene glycol from
    # 0.998 x 100 % up; the rows without a norm never comply.
    if results["Диэтиленгликоль"]["complies"] != (rows["Диэтиленгликоль"][0] < 0.05):
        failures.append(f"{where}: DEG compliance")
    if results["этиленгликоль"]["complies"] != (eg >= 99.8):
        failures.append(f"{where}: EG compliance")
    if not (99.5 < eg < 99.99) or not all(0 < rows[n][0] < 0.1 for n in ("Диэтиленгликоль", "Триэтиленгликоль")):
        failures.append(f"{where}: implausible determination {rows} {eg}")
    for series in got["calibration"]:
        name = series["peakName"]
        if name in rows and rows[name][1] is not None:
            check(f"{where} mean K of {name}", series["meanCoefficient"], rows[name][2])
            for point, k in zip(series["points"], rows[name][1]):
                check(f"{where} K {name} {point['fileName']}", point["coefficient"], k)
    check(where + " rows", len(got["rows"]), len(all_assays))

if len(columns_seen) != 2:
    failures.append("the sample laboratory must have analysed chromatograms on both columns")
for f in failures:
    print(f)
failed = {f.split()[1] for f in failures if f.startswith("assay ")}
print(f"{len(analysed_ids) - len(failed)} passed, {len(failed) + (len(failures) > 0 and not failed)} failed")
sys.exit(1 if failures else 0)
