#!/usr/bin/python3
"""Checks durnix-cli against real spectra made by other programs.

Usage: /usr/bin/python3 tests/data/check_real_samples.py CLI REAL_SAMPLES_DIR OUT_DIR

REAL_SAMPLES_DIR holds chn/ (Maestro CHN files), spc/ (GammaVision SPC
files) and canberra_accuspec_mca/ (AccuSpec MCA files, a layout that none
of the thirteen formats' readers takes) and a SOURCES.md that lists values read from
their bytes.  For every file:
  * the file is read by the readers of make_golden.py (beside this script)
    with its own key and with AUTO detection, and the results are compared
    with "CLI info --json --from KEY FILE" and "CLI info --json FILE";
  * the values of SOURCES.md (times, channels, sum of the counts, some
    channels, calibration, date and time texts as the reader gives them) are
    checked on the record read;
  * every CHN and GammaVision file is converted with
    "CLI convert --to KEY --out OUT_DIR/KEY FILE" to every format key; the
    file written must equal, byte for byte, what the writer of make_golden.py
    makes from the record read, and where that writer refuses the record the
    program must write nothing.

One line is printed per check.  Exit status: 0 all passed, 1 a check
failed, 77 when REAL_SAMPLES_DIR does not exist (nothing to check).
"""

import json
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_golden as mg  # noqa: E402

FOLDERS = [("chn", "CHN"), ("spc", "GVSPC"), ("canberra_accuspec_mca", None)]

# The sums of the AccuSpec files' counts, their 32-bit words taken high half
# first (SOURCES.md).
ACCUSPEC_SUMS = {"xylib_03yag02.mca": 150140, "xylib_04nacl02.mca": 341488}

# Values listed in SOURCES.md, as the readers must give them.  Channel
# numbers are counted from 0 there (c[100] is the 101st channel).
KNOWN = {
    "mcphysics_background.Chn": {
        "RealTime": "650.12", "LiveTime": "563.26", "ChannelCount": 1024,
        "sum": 102638, "c": {100: 455, 1000: 0},
        "CalOffset": 0.0, "CalGain": 0.0,
        "AcqDate": "25Sep18", "AcqTime": "09:27:13"},
    "mcphysics_signal.Chn": {
        "RealTime": "433.48", "LiveTime": "379.52", "ChannelCount": 1024,
        "sum": 93792, "c": {100: 849, 1000: 0},
        "CalOffset": 0.0, "CalGain": 0.0,
        "AcqDate": "25Sep18", "AcqTime": "09:19:33"},
    "daquiri_bronze.chn": {
        "RealTime": "1595.46", "LiveTime": "1416.06", "ChannelCount": 16384,
        "sum": 3117377, "c": {100: 1180, 1000: 5166, 10000: 19},
        "CalOffset": 0.367474, "CalGain": 0.159543,
        "AcqDate": "18Sep18", "AcqTime": "10:09:50"},
    "daquiri_bronze_prompt.chn": {
        "RealTime": "1600.6", "LiveTime": "1148.84", "ChannelCount": 16384,
        "sum": 2757681, "c": {100: 874, 1000: 461, 10000: 79},
        "CalOffset": -0.878361, "CalGain": 0.716216,
        "AcqDate": "18Sep18", "AcqTime": "10:09:43"},
    "becquerel_Alcatraz14.Spc": {
        "RealTime": "905.42", "LiveTime": "900", "ChannelCount": 8192,
        "sum": 132978, "c": {1000: 22},
        "CalOffset": 0.578332, "CalGain": 0.374436,
        "AcqDate": "17-SEP-2012", "AcqTime": "13:41:07  ",
        "SpecId": "Alcatraz14"},
    "daquiri_IAEA433_Marine_sediment_Q39.spc": {
        "RealTime": "11595.8", "LiveTime": "10486.7", "ChannelCount": 16384,
        "sum": 51347002, "c": {1000: 14606, 10000: 3},
        "CalOffset": 0.0, "CalGain": 0.212068,
        "AcqDate": "11-Feb-2014", "AcqTime": "13:14:46  "},
}

passed = 0
failed = 0


def report(ok, what):
    global passed, failed
    if ok:
        passed += 1
        print("ok    " + what)
    else:
        failed += 1
        print("FAIL  " + what)


def cli_info(cli, path, frm):
    args = [cli, "info", "--json"]
    if frm != "AUTO":
        args += ["--from", frm]
    args.append(path)
    p = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    text = p.stdout.decode("latin-1").strip()
    try:
        return json.loads(text)
    except ValueError:
        return {"status": None, "unparsed": text[:200]}


def same_value(name, mine, theirs):
    if name in mg.SINGLE_FIELDS:
        try:
            return mg.f32(float(theirs)) == mg.f32(mine)
        except (TypeError, ValueError):
            return False
    return mine == theirs


def compare_info(cli, path, frm, data, label):
    st, fmt, rec = mg.read_as(frm, data, path)
    got = cli_info(cli, path, frm)
    if got.get("status") != st or got.get("format", "") != fmt:
        report(False, "%s info --from %s: program status %r format %r, "
               "expected %r %r %s" % (label, frm, got.get("status"),
                                      got.get("format"), st, fmt,
                                      got.get("unparsed", "")))
        return st, rec
    bad = []
    if st == 0:
        for name in mg.FIELD_ORDER:
            if name not in got or not same_value(name, rec[name], got[name]):
                shown = got.get(name)
                if name == "Counts":
                    bad.append("Counts")
                else:
                    bad.append("%s: program %r, expected %r"
                               % (name, shown, rec[name]))
    report(not bad, "%s info --from %s: status %d %s%s"
           % (label, frm, st, fmt, ("; " + "; ".join(bad)) if bad else ""))
    return st, rec


def check_known(label, base, rec):
    want = KNOWN.get(base)
    if want is None:
        print("note  %s: no values listed in SOURCES.md" % label)
        return
    bad = []
    for name in ("RealTime", "LiveTime", "ChannelCount", "AcqDate",
                 "AcqTime", "SpecId"):
        if name in want and rec[name] != want[name]:
            bad.append("%s %r, listed %r" % (name, rec[name], want[name]))
    if sum(rec["Counts"]) != want["sum"]:
        bad.append("sum %d, listed %d" % (sum(rec["Counts"]), want["sum"]))
    for ch, v in sorted(want["c"].items()):
        if rec["Counts"][ch] != v:
            bad.append("c[%d] %d, listed %d" % (ch, rec["Counts"][ch], v))
    for name in ("CalOffset", "CalGain"):
        if abs(rec[name] - want[name]) > 1e-6 * max(1.0, abs(want[name])):
            bad.append("%s %r, listed %r" % (name, rec[name], want[name]))
    report(not bad, "%s values of SOURCES.md%s"
           % (label, ("; " + "; ".join(bad)) if bad else ""))


def check_converts(cli, path, source_key, rec, out_dir, label):
    base = os.path.basename(path)
    for key in mg.KEYS:
        folder = os.path.join(out_dir, key)
        os.makedirs(folder, exist_ok=True)
        name = mg.writer_name(base, key)
        target = os.path.join(folder, name)
        if os.path.exists(target):
            os.remove(target)
        try:
            want = mg.convert_key(source_key, key, rec, name)
        except mg.WriteFail as e:
            want = None
            status = e.status
        p = subprocess.run([cli, "convert", "--yes", "--to", key, "--out",
                            folder, path], stdout=subprocess.PIPE,
                           stderr=subprocess.PIPE)
        have = None
        if os.path.exists(target):
            with open(target, "rb") as f:
                have = f.read()
        if want is None:
            report(p.returncode != 0 and have is None,
                   "%s convert to %s: refused (status %d); program exit %d%s"
                   % (label, key, status, p.returncode,
                      ", but it wrote " + name if have is not None else ""))
            continue
        if have is None:
            report(False, "%s convert to %s: no %s written (exit %d) %s"
                   % (label, key, name, p.returncode,
                      p.stdout.decode("latin-1").strip()[:200]))
            continue
        if have == want:
            report(p.returncode == 0, "%s convert to %s: %s, %d bytes equal"
                   "%s" % (label, key, name, len(want),
                           "" if p.returncode == 0 else
                           ", but exit %d" % p.returncode))
            continue
        diff = next((i for i in range(min(len(have), len(want)))
                     if have[i] != want[i]), min(len(have), len(want)))
        report(False, "%s convert to %s: %s differs from byte %d "
               "(program %d bytes, expected %d)"
               % (label, key, name, diff, len(have), len(want)))


def main(argv):
    if len(argv) != 4:
        print(__doc__)
        return 2
    cli, samples, out_dir = argv[1:]
    if not os.path.isdir(samples):
        print("skipped: %s does not exist" % samples)
        return 77
    cli = os.path.abspath(cli)
    os.makedirs(out_dir, exist_ok=True)
    for folder, key in FOLDERS:
        path_dir = os.path.join(samples, folder)
        if not os.path.isdir(path_dir):
            print("note  %s: no such folder" % path_dir)
            continue
        for base in sorted(os.listdir(path_dir)):
            path = os.path.join(path_dir, base)
            if not os.path.isfile(path):
                continue
            label = "%s/%s" % (folder, base)
            with open(path, "rb") as f:
                data = f.read()
            if key is None:
                st, fmt, _ = mg.read_as("AUTO", data, path)
                report(st == 4, "%s unknown to our detection (status %d %s)"
                       % (label, st, fmt))
                compare_info(cli, path, "CANBERRA", data, label)
                # The program reads them after the thirteen, with the reader of
                # its own for them; the sums are those of SOURCES.md.
                got = cli_info(cli, path, "AUTO")
                total = sum(got.get("Counts", []))
                report(got.get("status") == 0 and
                       got.get("format") == "Canberra AccuSpec (MCA)" and
                       total == ACCUSPEC_SUMS.get(base),
                       "%s read as AccuSpec after the thirteen: status %r "
                       "format %r sum %d" % (label, got.get("status"),
                                             got.get("format"), total))
                continue
            st, rec = compare_info(cli, path, key, data, label)
            report(st == 0, "%s read with %s: status %d" % (label, key, st))
            ast, arec = compare_info(cli, path, "AUTO", data, label)
            report(ast == 0 and arec == rec,
                   "%s detection reads it as its own format" % label)
            if st != 0:
                continue
            check_known(label, base, rec)
            # the program converts with detection: the record it writes is
            # the one detection read
            check_converts(cli, path, key, arec if ast == 0 else rec,
                           out_dir, label)
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
