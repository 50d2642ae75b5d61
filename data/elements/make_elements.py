#!/usr/bin/python3
"""Build elements.sql, the element reference data of Durnix, from Debian packages.

Every value in elements.sql is read from the data of one of these Debian packages;
nothing is typed in by hand. A field that none of them provides is NULL.

  bodr                   /usr/share/bodr/elements.xml, isotopes.xml
  python3-xraydb         xraydb.sqlite (X-ray lines, absorption edges)
  python3-periodictable  density.py, nsf.py, crystal_structure.py (through the module)
  libelemental-dev       the property tables compiled into libelemental (read through
                         its C++ interface by a small dump program built on the fly)
  python3-pymatgen       pymatgen/core/periodic_table.json, taken out of the .deb
  kalzium-data           /usr/share/libkdeedu/data/isotopes.xml (decay modes only)

Install (Debian 12, as root):

  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y bodr python3-xraydb \\
      python3-periodictable libelemental-dev kalzium-data g++ pkg-config sqlite3

python3-pymatgen is not installed (it would pull in a large stack of dependencies).
Only its data file is needed; the script reads it from the package file:

  apt-get download python3-pymatgen          # or let the script do this itself

Run (Debian's own interpreter, which sees the Debian Python packages):

  /usr/bin/python3 data/elements/make_elements.py \\
      [--pymatgen-deb python3-pymatgen_VERSION_amd64.deb] [--out data/elements/elements.sql]

Without --pymatgen-deb the script uses an installed python3-pymatgen if there is one,
and otherwise runs `apt-get download python3-pymatgen` in a temporary folder.
The output depends only on the package contents: two runs give identical files.
"""

import argparse
import html
import json
import os
import re
import sqlite3
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from decimal import Decimal

DEBIAN_PYTHON = "/usr/bin/python3"
if os.path.realpath(sys.executable) != os.path.realpath(DEBIAN_PYTHON) and os.path.exists(DEBIAN_PYTHON):
    # The Debian Python packages (periodictable) are only visible to Debian's interpreter.
    os.execv(DEBIAN_PYTHON, [DEBIAN_PYTHON] + sys.argv)

HERE = os.path.dirname(os.path.abspath(__file__))
ZMAX = 111                      # elements 1 .. 111 (Rg)
CML = "{http://www.xml-cml.org/schema}"
JULIAN_YEAR_S = Decimal(31557600)   # 365.25 d x 86400 s, only used to rank half-lives

PACKAGES = ["bodr", "python3-xraydb", "python3-periodictable", "libelemental-dev",
            "python3-pymatgen", "kalzium-data"]

# Licences as stated in /usr/share/doc/<package>/copyright (for pymatgen: in the .deb).
LICENCES = {
    "bodr": "Expat (MIT) - debian/copyright, Files: *; elements.xml and isotopes.xml also "
            "carry dc:license \"The MIT License\"",
    "python3-xraydb": "Public domain - debian/copyright, Files: * (License: Public)",
    "python3-periodictable": "public-domain - debian/copyright, Files: *",
    "libelemental-dev": "Expat (MIT) for libelemental/data.cc (Blue Obelisk data); "
                        "GPL-3.0+ for the library code - debian/copyright",
    "python3-pymatgen": "MIT - debian/copyright, Files: *",
    "kalzium-data": "GPL-2.0-or-later - debian/copyright, Files: *; isotopes.xml itself "
                    "carries dc:license \"The MIT License\" (Blue Obelisk)",
}

SCHEMA = [
    ("Ion Data", 'CREATE TABLE "Ion Data" (AtomNum INTEGER PRIMARY KEY, Symbol TEXT, MaiMass INTEGER, '
                 'MaiWeight REAL, AtomicWeight REAL, Density REAL, AtomDensity REAL, IonisationEnergy REAL, '
                 'Electronegativity REAL, Period INTEGER, Name TEXT);'),
    ("General", 'CREATE TABLE "General" (Pointer INTEGER PRIMARY KEY, Symbol TEXT, Name TEXT, '
                'AtomicWeight REAL, MeltingPoint REAL, BoilingPoint REAL, ElectronConfiguration TEXT, '
                'Electronegativity REAL, NeutronCrossSection REAL, AtomicRadius REAL, CovalentRadius REAL, '
                'CrystalStructure TEXT, LatticeType TEXT, FirstIonisation REAL, Entropy REAL, '
                'FermiVelocity REAL);'),
    ("Isotope", 'CREATE TABLE "Isotope" (AtomNum INTEGER, Name TEXT, Mass REAL, Abundance REAL, '
                'HalfLife TEXT, Decay TEXT, MassNumber INTEGER);'),
    ("Xrays", 'CREATE TABLE "Xrays" (AtomNum INTEGER, Line TEXT, Energy REAL, Intensity REAL, Edge TEXT);'),
    ("Ion", 'CREATE TABLE "Ion" (AtomNum INTEGER, Ion TEXT, Potential REAL);'),
    ("Misc", 'CREATE TABLE "Misc" (Pointer INTEGER PRIMARY KEY, HeatOfFusion REAL, HeatOfVaporization REAL, '
             'HeatOfSublimation REAL, HeatCapacity REAL, AtomicVolume REAL, ThermalConductivity REAL, '
             'ElectricalResistivity REAL, WorkFunction REAL, ThermalExpansion REAL);'),
    ("History", 'CREATE TABLE "History" (Pointer INTEGER PRIMARY KEY, YearOfDiscovery TEXT, Discoverer TEXT, '
                'OriginOfName TEXT, EarthCrust REAL, Chondrites REAL, Cosmic REAL, ApproximateCost TEXT, '
                'PrincipalSources TEXT, PrincipalUses TEXT, Properties TEXT, Toxicity TEXT);'),
    ("Provenance", 'CREATE TABLE "Provenance" ("Table" TEXT, "Column" TEXT, Source TEXT, Package TEXT, '
                   'Version TEXT, Licence TEXT);'),
]
INDEXES = [
    'CREATE INDEX IsotopeZ ON "Isotope"(AtomNum);',
    'CREATE INDEX XraysZ ON "Xrays"(AtomNum);',
    'CREATE INDEX IonZ ON "Ion"(AtomNum);',
]


def fail(msg):
    sys.exit("make_elements.py: " + msg)


def run(cmd, **kw):
    return subprocess.run(cmd, check=True, stdout=subprocess.PIPE, universal_newlines=True, **kw).stdout


def dpkg_version(pkg):
    try:
        out = run(["dpkg-query", "-W", "-f", "${Status}\t${Version}", pkg], stderr=subprocess.DEVNULL)
    except subprocess.CalledProcessError:
        return None
    status, _, version = out.partition("\t")
    return version if status.endswith(" installed") else None


def package_file(pkg, suffix):
    """The one file of an installed package whose path ends with suffix."""
    hits = [p for p in run(["dpkg", "-L", pkg]).splitlines() if p.endswith(suffix) and os.path.isfile(p)]
    if len(hits) != 1:
        fail("expected one file *%s in %s, found %r" % (suffix, pkg, hits))
    return hits[0]


# ---------------------------------------------------------------- numbers and SQL text

def dec(text):
    """Decimal from a number as the source writes it (None/empty -> None)."""
    if text is None:
        return None
    text = text.strip()
    return Decimal(text) if text else None


def fdec(x):
    """Decimal from a float, keeping the shortest text that gives back the same float."""
    if x is None:
        return None
    text = repr(float(x))
    if text.endswith(".0"):       # 340.0 -> 340: the ".0" is Python's, not the source's
        text = text[:-2]
    return Decimal(text)


def sql_num(x):
    if x is None:
        return "NULL"
    if isinstance(x, bool):
        raise TypeError(x)
    if isinstance(x, int):
        return str(x)
    if isinstance(x, float):
        x = fdec(x)
    if not x.is_finite():
        raise ValueError(x)
    if -12 <= x.adjusted() <= 20:
        s = format(x, "f")
    else:
        s = format(x, "E")
    return s


def sql_text(s):
    if s is None:
        return "NULL"
    s = " ".join(str(s).split())      # one row per line: fold any line breaks
    return "'" + s.replace("'", "''") + "'"


# ---------------------------------------------------------------- bodr

def read_bodr_elements(path):
    root = ET.parse(path).getroot()
    out = {}
    for atom in root.iter(CML + "atom"):
        d = {}
        for ch in atom:
            ref = ch.get("dictRef")
            if ch.tag == CML + "label":
                d[ref] = ch.get("value")
            else:
                d[ref] = ch.text
                if ref == "bo:discoverers":
                    d["discoverers_delimiter"] = ch.get("delimiter")
                if ch.get("units"):
                    d[ref + "@units"] = ch.get("units")
        z = int(d["bo:atomicNumber"])
        if 1 <= z <= ZMAX:
            out[z] = d
    # units as the file states them; the columns take them unconverted
    for z, d in out.items():
        for ref, unit in (("bo:mass", "units:atmass"), ("bo:ionization", "units:ev"),
                          ("bo:meltingpoint", "siUnits:kelvin"), ("bo:boilingpoint", "siUnits:kelvin"),
                          ("bo:radiusCovalent", "units:ang"),
                          ("bo:electronegativityPauling", "boUnits:paulingScaleUnit")):
            if ref in d and d.get(ref + "@units") != unit:
                fail("bodr %s of Z=%d has units %r, expected %r" % (ref, z, d.get(ref + "@units"), unit))
    return out


def read_isotopes(path):
    """{(Z, A): (id, [(dictRef, text, units), ...])} from a Blue Obelisk isotopes.xml.

    kalzium's copy declares UTF-8 but has some Latin-1 bytes (a contributor's name and
    '·10^-n' in a few likeliness values); such lines are read as Latin-1."""
    raw = open(path, "rb").read()
    lines = []
    for line in raw.split(b"\n"):
        try:
            lines.append(line.decode("utf-8"))
        except UnicodeDecodeError:
            lines.append(line.decode("latin-1"))
    root = ET.fromstring("\n".join(lines))
    out = {}
    for iso in root.iter(CML + "isotope"):
        if iso.get("id") is None:        # kalzium has empty <isotope/> placeholders
            continue
        scalars = [(s.get("dictRef"), s.text, s.get("units")) for s in iso.findall(CML + "scalar")]
        zs = [t for r, t, u in scalars if r == "bo:atomicNumber"]
        if len(zs) != 1:
            fail("%s: isotope %s has no single atomic number" % (path, iso.get("id")))
        key = (int(zs[0]), int(iso.get("number")))
        if key in out:
            fail("%s: isotope %r twice" % (path, key))
        out[key] = (iso.get("id"), scalars)
    return out


def scalar(scalars, ref):
    hits = [(t, u) for r, t, u in scalars if r == ref]
    if len(hits) > 1:
        fail("%s given twice" % ref)
    return hits[0] if hits else (None, None)


HALF_LIFE_UNITS = {"siUnits:s": "s", "units:y": "y"}


def half_life_seconds(value, unit):
    v = Decimal(value)
    return v * JULIAN_YEAR_S if unit == "y" else v


# ---------------------------------------------------------------- kalzium decay modes

DECAY_TOKENS = [("betaminus", "B-"), ("betaplus", "B+"), ("ec", "EC"), ("alpha", "A"),
                ("neutron", "N"), ("proton", "P"), ("fission", "F")]
DECAY_RE = re.compile(r"(\d?)(" + "|".join(t for t, _ in DECAY_TOKENS) + r")")


def decay_code(ref):
    """'bo:betaminusneutronDecay' -> 'B-N', 'bo:2betaplusDecay' -> '2B+', 'bo:ecDecay' -> 'EC'."""
    name = ref[len("bo:"):-len("Decay")]
    codes, pos = [], 0
    for m in DECAY_RE.finditer(name):
        if m.start() != pos:
            break
        codes.append(m.group(1) + dict(DECAY_TOKENS)[m.group(2)])
        pos = m.end()
    if pos != len(name) or not codes:
        fail("unknown kalzium decay mode %r" % ref)
    return "".join(codes)


def decay_modes(scalars):
    modes = [decay_code(r) for r, t, u in scalars
             if r and r.startswith("bo:") and r.endswith("Decay")]
    return ", ".join(modes) if modes else None


# ---------------------------------------------------------------- xraydb

def read_xraydb(path):
    con = sqlite3.connect("file:%s?mode=ro" % path, uri=True)
    rows = con.execute(
        "SELECT e.atomic_number, t.id, t.siegbahn_symbol, t.emission_energy, t.intensity, t.initial_level "
        "FROM xray_transitions t JOIN elements e ON e.element = t.element").fetchall()
    n_all = con.execute("SELECT count(*) FROM xray_transitions").fetchone()[0]
    version = con.execute("SELECT tag FROM Version ORDER BY id DESC LIMIT 1").fetchone()[0]
    con.close()
    if len(rows) != n_all:
        fail("xraydb: %d transitions without an element row" % (n_all - len(rows)))
    out = []
    for z, tid, line, energy_ev, intensity, edge in rows:
        if not 3 <= z <= 98:
            continue
        energy_kev = fdec(energy_ev).scaleb(-3)      # eV -> keV, exact decimal shift
        out.append((z, -energy_kev, tid, line.upper(), energy_kev, fdec(intensity), edge))
    out.sort(key=lambda r: (r[0], r[1], r[2]))       # Z, energy descending, xraydb id
    return [(z, line, e, i, edge) for z, _, _, line, e, i, edge in out], version


# ---------------------------------------------------------------- periodictable

def read_periodictable():
    import periodictable
    out = {}
    for z in range(1, ZMAX + 1):
        el = periodictable.elements[z]
        cs = getattr(el, "crystal_structure", None)
        nd = el.number_density                       # atoms per cm3
        out[z] = {
            "symbol": el.symbol,
            "density": fdec(el.density),             # g/cm3
            "density_caveat": el.density_caveat,
            "atom_density": None if nd is None else fdec(nd).scaleb(-22),   # 1e22 atoms/cm3
            "absorption": fdec(el.neutron.absorption),                        # barn
            "crystal": cs["symmetry"] if cs else None,
        }
    if periodictable.elements[26].density_units != "g/cm^3" or \
            periodictable.elements[26].number_density_units != "1/cm^3" or \
            periodictable.elements[26].neutron.absorption_units != "barn":
        fail("periodictable units changed")
    return out, periodictable.__version__, os.path.dirname(periodictable.__file__)


# ---------------------------------------------------------------- libelemental

ELEMENTAL_DUMP = r"""
#include <libelemental/table.hh>
#include <cstdio>
using namespace Elemental;
// Prints every numeric property of every element, plus lattice type and appearance:
//   #property <tab> name <tab> format        (format carries the unit)
//   Z <tab> name <tab> value <tab> qualifier
static void clean(const char* s) { for (; *s; ++s) putchar(*s == '\t' || *s == '\n' ? ' ' : *s); }
int main() {
    initialize();
    for (const Category* c : CATEGORIES)
        for (const PropertyBase* p : c->properties)
            if (dynamic_cast<const FloatProperty*>(p)) {
                printf("#property\t"); clean(p->get_name().c_str());
                printf("\t"); clean(p->has_format() ? p->get_format().c_str() : ""); printf("\n");
            }
    for (const Element* e : get_table()) {
        for (const Category* c : CATEGORIES)
            for (const PropertyBase* p : c->properties) {
                const FloatProperty* fp = dynamic_cast<const FloatProperty*>(p);
                if (!fp) continue;
                const Float& v = e->get_property(*fp);
                if (!v.has_value()) continue;
                printf("%u\t", e->number); clean(p->get_name().c_str());
                printf("\t%.17g\t%d\n", v.value, (int) v.qualifier);
            }
        const LatticeType& l = e->get_property(P_LATTICE_TYPE);
        if (l.has_value()) {
            printf("%u\tLATTICE\t", e->number); clean(l.get_string().c_str());
            printf("\t%d\n", (int) l.qualifier);
        }
        const Message& a = e->get_property(P_APPEARANCE);
        if (a.has_value()) {
            printf("%u\tAPPEARANCE\t", e->number); clean(a.value.c_str());
            printf("\t%d\n", (int) a.qualifier);
        }
    }
    return 0;
}
"""

# The libelemental properties used: key -> (pattern on the library's English property
# name, the unit format the library must give for it).
ELEMENTAL_PROPERTIES = {
    "fusion": (r"Heat of fusion", "%1 kJ/mol"),
    "vaporization": (r"Heat of vaporization", "%1 kJ/mol"),
    "heat_capacity": (r".*heat capacity", "%1 J/(g*K) at 25 deg. C"),   # per gram
    "conductivity": (r"Thermal conductivity", "%1 W/(m*K) at 300 K"),
    "volume": (r"Atomic volume", "%1 cm<sup>3</sup>/mol"),
    "radius": (r"Atomic radius", "%1 pm"),
}
ELEMENTAL_NAMES = {}      # key -> the library's property name, filled by read_libelemental


def read_libelemental(tmp):
    """{(Z, key): (value, qualifier)}; key as in ELEMENTAL_PROPERTIES, or LATTICE / APPEARANCE."""
    src = os.path.join(tmp, "elemental_dump.cc")
    exe = os.path.join(tmp, "elemental_dump")
    with open(src, "w") as f:
        f.write(ELEMENTAL_DUMP)
    flags = run(["pkg-config", "--cflags", "--libs", "libelemental"]).split()
    subprocess.run(["g++", "-std=c++11", "-w", "-O0", src, "-o", exe] + flags, check=True)
    env = {k: v for k, v in os.environ.items() if not k.startswith("LC_") and k not in ("LANG", "LANGUAGE")}
    env.update(LC_ALL="C", LANG="C")         # untranslated (English) strings
    out = run([exe], env=env)
    formats, lines = {}, []
    for line in out.splitlines():
        parts = line.split("\t")
        if parts[0] == "#property":
            formats[parts[1]] = parts[2]
        else:
            lines.append(parts)
    by_name = {}
    for key, (pattern, unit) in ELEMENTAL_PROPERTIES.items():
        names = [n for n in formats if re.match("(?:%s)$" % pattern, n)]
        if len(names) != 1:
            fail("libelemental: %r matches properties %r" % (pattern, names))
        if formats[names[0]] != unit:
            fail("libelemental: %s has unit %r, expected %r" % (names[0], formats[names[0]], unit))
        by_name[names[0]] = key
        ELEMENTAL_NAMES[key] = names[0]
    data = {}
    for z, name, value, qualifier in lines:
        if name in ("LATTICE", "APPEARANCE"):
            data[(int(z), name)] = (value, int(qualifier))
        elif name in by_name:
            # shortest text of the compiled-in double, i.e. the number as written in data.cc
            data[(int(z), by_name[name])] = (fdec(float(value)), int(qualifier))
    return data


# ---------------------------------------------------------------- pymatgen

def pymatgen_json(tmp, deb):
    """(path of periodic_table.json, package version)."""
    installed = dpkg_version("python3-pymatgen")
    if deb is None and installed:
        return package_file("python3-pymatgen", "/pymatgen/core/periodic_table.json"), installed
    if deb is None:
        dl = os.path.join(tmp, "download")
        os.mkdir(dl)
        os.chmod(tmp, 0o755)          # let apt's unprivileged _apt user write the file
        os.chmod(dl, 0o777)
        subprocess.run(["apt-get", "download", "python3-pymatgen"], cwd=dl, check=True,
                       stdout=subprocess.DEVNULL)
        debs = [f for f in os.listdir(dl) if f.endswith(".deb")]
        if len(debs) != 1:
            fail("apt-get download python3-pymatgen gave %r" % debs)
        deb = os.path.join(dl, debs[0])
    if run(["dpkg-deb", "-f", deb, "Package"]).strip() != "python3-pymatgen":
        fail("%s is not a python3-pymatgen package" % deb)
    version = run(["dpkg-deb", "-f", deb, "Version"]).strip()
    root = os.path.join(tmp, "pymatgen")
    subprocess.run(["dpkg-deb", "-x", deb, root], check=True)
    path = os.path.join(root, "usr/lib/python3/dist-packages/pymatgen/core/periodic_table.json")
    if not os.path.isfile(path):
        fail("no pymatgen/core/periodic_table.json in %s" % deb)
    return path, version


RESISTIVITY_RE = re.compile(r"^\s*(about\s+)?([0-9]+(?:\.[0-9]+)?)\s*10<sup>-8</sup> &Omega; m$")
RESISTIVITY_UNIT = "10<sup>-8</sup> &Omega; m"
EXPANSION_RE = re.compile(r"^\s*([0-9]+(?:\.[0-9]+)?)\s*x10<sup>-6</sup>K<sup>-1</sup>$")
EXPANSION_UNIT = "x10<sup>-6</sup>K<sup>-1</sup>"


def read_pymatgen(path):
    with open(path) as f:
        raw = json.load(f, parse_float=Decimal)
    by_z = {v["Atomic no"]: (sym, v) for sym, v in raw.items()}
    out, notes = {}, []
    for z in range(1, ZMAX + 1):
        if z not in by_z:
            out[z] = {"ie": [], "resistivity": None, "expansion": None}
            continue
        sym, v = by_z[z]
        res = v.get("Electrical resistivity")
        rval = None
        if res is not None:
            if not res.endswith(RESISTIVITY_UNIT):
                fail("pymatgen resistivity of %s in another unit: %r" % (sym, res))
            m = RESISTIVITY_RE.match(res)
            if m:
                rval = Decimal(m.group(2))
                if m.group(1):
                    notes.append("%s: resistivity given as %r, stored %s" % (sym, html.unescape(res), rval))
            else:
                notes.append("%s: resistivity %r is no single value, stored NULL" % (sym, html.unescape(res)))
        exp = v.get("Coefficient of linear thermal expansion")
        eval_ = None
        if exp is not None:
            if not exp.endswith(EXPANSION_UNIT):
                fail("pymatgen expansion of %s in another unit: %r" % (sym, exp))
            m = EXPANSION_RE.match(exp)
            if m:
                eval_ = Decimal(m.group(1))       # 1e-6/K is ppm/K: the number stays
            elif not exp.startswith("no data"):
                notes.append("%s: expansion %r is no single value, stored NULL" % (sym, exp))
        out[z] = {"symbol": sym, "ie": list(v.get("Ionization energies") or []),
                  "resistivity": rval, "expansion": eval_}
    return out, notes


# ---------------------------------------------------------------- assembly

def build(args):
    versions = {p: dpkg_version(p) for p in PACKAGES if p != "python3-pymatgen"}
    missing = [p for p, v in versions.items() if v is None]
    if missing:
        fail("install first: apt-get install -y " + " ".join(missing))

    bodr_el_path = package_file("bodr", "/bodr/elements.xml")
    bodr_iso_path = package_file("bodr", "/bodr/isotopes.xml")
    kalzium_iso_path = package_file("kalzium-data", "/libkdeedu/data/isotopes.xml")
    xraydb_path = package_file("python3-xraydb", "/xraydb/xraydb.sqlite")

    with tempfile.TemporaryDirectory() as tmp:
        pmg_path, versions["python3-pymatgen"] = pymatgen_json(tmp, args.pymatgen_deb)
        pmg, pmg_notes = read_pymatgen(pmg_path)
        elemental = read_libelemental(tmp)

    bodr = read_bodr_elements(bodr_el_path)
    iso_b = read_isotopes(bodr_iso_path)
    iso_k = read_isotopes(kalzium_iso_path)
    xrays, xraydb_tag = read_xraydb(xraydb_path)
    ptable, pt_version, pt_dir = read_periodictable()

    notes = list(pmg_notes)
    for z in range(1, ZMAX + 1):
        if z not in bodr:
            fail("bodr has no element %d" % z)
        if ptable[z]["symbol"] != bodr[z]["bo:symbol"]:
            notes.append("Z=%d: periodictable symbol %s, bodr %s (bodr used)"
                         % (z, ptable[z]["symbol"], bodr[z]["bo:symbol"]))
    sym = {z: bodr[z]["bo:symbol"] for z in bodr}

    # ---- isotopes (bodr), decay modes (kalzium)
    isotope_rows, by_element = [], {}
    for (z, a), (iid, sc) in sorted(iso_b.items()):
        if z > ZMAX:
            continue
        mass = dec(scalar(sc, "bo:exactMass")[0])
        abundance = dec(scalar(sc, "bo:relativeAbundance")[0])
        hl_value, hl_units = scalar(sc, "bo:halfLife")
        if hl_value is not None:
            unit = HALF_LIFE_UNITS.get(hl_units)
            if unit is None:
                fail("bodr half-life unit %r of %s" % (hl_units, iid))
            half_life = "%s %s" % (hl_value.strip(), unit)
            hl_s = half_life_seconds(hl_value, unit)
        else:
            half_life = "stable" if abundance is not None else None
            hl_s = None
        decay = decay_modes(iso_k[(z, a)][1]) if (z, a) in iso_k else None
        if half_life == "stable" and decay:
            notes.append("%s-%d: no half-life in bodr (natural, so 'stable'), kalzium gives decay %s"
                         % (sym[z], a, decay))
        isotope_rows.append((z, "%s-%d" % (sym[z], a), mass, abundance, half_life, decay, a))
        by_element.setdefault(z, []).append((a, mass, abundance, hl_s))

    # ---- most abundant (or longest-lived) isotope per element
    main_iso = {}
    for z in range(1, ZMAX + 1):
        isos = by_element.get(z, [])
        natural = [i for i in isos if i[2] is not None]
        if natural:
            best = max(natural, key=lambda i: (i[2], -i[0]))
        else:
            timed = [i for i in isos if i[3] is not None]
            best = max(timed, key=lambda i: (i[3], -i[0])) if timed else None
            notes.append("Z=%d %s: no natural isotope in bodr, main isotope = longest-lived %s"
                         % (z, sym[z], "%s-%d" % (sym[z], best[0]) if best else "none (NULL)"))
        main_iso[z] = best

    ion_data, general, misc, history, ions = [], [], [], [], []
    for z in range(1, ZMAX + 1):
        b = bodr[z]
        p = ptable[z]
        best = main_iso[z]
        period = int(b["bo:period"]) if b.get("bo:period") else None
        ion_data.append((z, sym[z], best[0] if best else None, best[1] if best else None,
                         dec(b.get("bo:mass")), p["density"], p["atom_density"],
                         dec(b.get("bo:ionization")), dec(b.get("bo:electronegativityPauling")),
                         period, b.get("bo:name")))

        def le(key, accept=(0, 3, 4, 5)):
            v = elemental.get((z, key))
            return v[0] if v and v[1] in accept else None

        radius_pm = le("radius")
        general.append((z, sym[z], b.get("bo:name"), dec(b.get("bo:mass")),
                        dec(b.get("bo:meltingpoint")), dec(b.get("bo:boilingpoint")),
                        b.get("bo:electronicConfiguration"), dec(b.get("bo:electronegativityPauling")),
                        p["absorption"],
                        None if radius_pm is None else radius_pm.scaleb(-2),        # pm -> Angstrom
                        dec(b.get("bo:radiusCovalent")),                           # already Angstrom
                        p["crystal"], le("LATTICE"),
                        dec(b.get("bo:ionization")), None, None))

        per_gram = le("heat_capacity")                        # J/(g K)
        weight = dec(b.get("bo:mass"))                        # g/mol
        conductivity = le("conductivity")                     # W/(m K)
        misc.append((z, le("fusion"), le("vaporization"), None,
                     None if per_gram is None or weight is None else per_gram * weight,   # J/(mol K)
                     le("volume"),
                     None if conductivity is None else conductivity.scaleb(-2),    # W/(cm K)
                     pmg[z]["resistivity"], None, pmg[z]["expansion"]))

        year = b.get("bo:discoveryDate")
        if year is not None and year.strip() == "0" and b.get("bo:discoveryCountry") == "ancient":
            year = "ancient"
        discoverers = b.get("bo:discoverers")
        if discoverers:
            discoverers = ", ".join(s.strip() for s in discoverers.split(b.get("discoverers_delimiter") or ";"))
        appearance = le("APPEARANCE")
        history.append((z, year, discoverers or None, b.get("bo:nameOrigin"), None, None, None, None,
                        None, None, html.unescape(appearance) if appearance else None, None))

        for stage, energy in enumerate(pmg[z]["ie"], start=1):
            if energy is None:
                continue
            name = "%s+" % sym[z] if stage == 1 else "%s%d+" % (sym[z], stage)
            ions.append((z, name, energy))
        n_none = sum(e is None for e in pmg[z]["ie"])
        if n_none:
            notes.append("Z=%d %s: pymatgen lists %d ionisation stages, %d without a value (left out)"
                         % (z, sym[z], len(pmg[z]["ie"]), n_none))

    # ---- provenance
    pt_src = "periodictable (%s)" % pt_dir
    lib = "libelemental.so.0 (tables of libelemental/data.cc), read through the C++ interface: "
    col_src = {
        ("Ion Data", "AtomNum"): ("bodr", "%s: bo:atomicNumber" % bodr_el_path),
        ("Ion Data", "Symbol"): ("bodr", "%s: bo:symbol" % bodr_el_path),
        ("Ion Data", "MaiMass"): ("bodr", "%s: number of the isotope with the highest bo:relativeAbundance "
                                  "(no natural isotope: longest bo:halfLife)" % bodr_iso_path),
        ("Ion Data", "MaiWeight"): ("bodr", "%s: bo:exactMass of that isotope (u)" % bodr_iso_path),
        ("Ion Data", "AtomicWeight"): ("bodr", "%s: bo:mass (u)" % bodr_el_path),
        ("Ion Data", "Density"): ("python3-periodictable", "%s: Element.density (g/cm3), density.py" % pt_src),
        ("Ion Data", "AtomDensity"): ("python3-periodictable", "%s: Element.number_density (1/cm3) / 1e22" % pt_src),
        ("Ion Data", "IonisationEnergy"): ("bodr", "%s: bo:ionization (eV)" % bodr_el_path),
        ("Ion Data", "Electronegativity"): ("bodr", "%s: bo:electronegativityPauling" % bodr_el_path),
        ("Ion Data", "Period"): ("bodr", "%s: bo:period" % bodr_el_path),
        ("Ion Data", "Name"): ("bodr", "%s: bo:name (en)" % bodr_el_path),
        ("General", "Pointer"): ("bodr", "%s: bo:atomicNumber" % bodr_el_path),
        ("General", "Symbol"): ("bodr", "%s: bo:symbol" % bodr_el_path),
        ("General", "Name"): ("bodr", "%s: bo:name (en)" % bodr_el_path),
        ("General", "AtomicWeight"): ("bodr", "%s: bo:mass (u)" % bodr_el_path),
        ("General", "MeltingPoint"): ("bodr", "%s: bo:meltingpoint (K)" % bodr_el_path),
        ("General", "BoilingPoint"): ("bodr", "%s: bo:boilingpoint (K)" % bodr_el_path),
        ("General", "ElectronConfiguration"): ("bodr", "%s: bo:electronicConfiguration" % bodr_el_path),
        ("General", "Electronegativity"): ("bodr", "%s: bo:electronegativityPauling" % bodr_el_path),
        ("General", "NeutronCrossSection"): ("python3-periodictable", "%s: Element.neutron.absorption "
                                             "(barn, thermal 2200 m/s), nsf.py" % pt_src),
        ("General", "AtomicRadius"): ("libelemental-dev", lib + "'%s' (pm) / 100 -> Angstrom" % ELEMENTAL_NAMES["radius"]),
        ("General", "CovalentRadius"): ("bodr", "%s: bo:radiusCovalent (Angstrom)" % bodr_el_path),
        ("General", "CrystalStructure"): ("python3-periodictable", "%s: Element.crystal_structure['symmetry'], "
                                          "crystal_structure.py" % pt_src),
        ("General", "LatticeType"): ("libelemental-dev", lib + "'Lattice type' (English name)"),
        ("General", "FirstIonisation"): ("bodr", "%s: bo:ionization (eV)" % bodr_el_path),
        ("Isotope", "AtomNum"): ("bodr", "%s: bo:atomicNumber" % bodr_iso_path),
        ("Isotope", "Name"): ("bodr", "%s: elementType symbol + '-' + number" % bodr_iso_path),
        ("Isotope", "Mass"): ("bodr", "%s: bo:exactMass (u)" % bodr_iso_path),
        ("Isotope", "Abundance"): ("bodr", "%s: bo:relativeAbundance (%%)" % bodr_iso_path),
        ("Isotope", "HalfLife"): ("bodr", "%s: bo:halfLife text and units (s, y); 'stable' for natural "
                                  "isotopes without bo:halfLife" % bodr_iso_path),
        ("Isotope", "Decay"): ("kalzium-data", "%s: bo:*Decay entries, in file order" % kalzium_iso_path),
        ("Isotope", "MassNumber"): ("bodr", "%s: isotope number attribute" % bodr_iso_path),
        ("Xrays", "AtomNum"): ("python3-xraydb", "%s: elements.atomic_number" % xraydb_path),
        ("Xrays", "Line"): ("python3-xraydb", "%s: xray_transitions.siegbahn_symbol, upper case" % xraydb_path),
        ("Xrays", "Energy"): ("python3-xraydb", "%s: xray_transitions.emission_energy (eV) / 1000 -> keV"
                              % xraydb_path),
        ("Xrays", "Intensity"): ("python3-xraydb", "%s: xray_transitions.intensity" % xraydb_path),
        ("Xrays", "Edge"): ("python3-xraydb", "%s: xray_transitions.initial_level" % xraydb_path),
        ("Ion", "AtomNum"): ("python3-pymatgen", "pymatgen/core/periodic_table.json: 'Atomic no'"),
        ("Ion", "Ion"): ("python3-pymatgen", "pymatgen/core/periodic_table.json: position in "
                         "'Ionization energies' (1 -> X+, n -> Xn+), symbol from bodr"),
        ("Ion", "Potential"): ("python3-pymatgen", "pymatgen/core/periodic_table.json: 'Ionization energies' (eV)"),
        ("Misc", "Pointer"): ("bodr", "%s: bo:atomicNumber" % bodr_el_path),
        ("Misc", "HeatOfFusion"): ("libelemental-dev", lib + "'%s' (kJ/mol)" % ELEMENTAL_NAMES["fusion"]),
        ("Misc", "HeatOfVaporization"): ("libelemental-dev", lib + "'%s' (kJ/mol)" % ELEMENTAL_NAMES["vaporization"]),
        ("Misc", "HeatCapacity"): ("libelemental-dev", lib + "heat capacity per gram (J/(g K) at 25 C) "
                                   "x bodr bo:mass (g/mol) -> J/(mol K)"),
        ("Misc", "AtomicVolume"): ("libelemental-dev", lib + "'%s' (cm3/mol)" % ELEMENTAL_NAMES["volume"]),
        ("Misc", "ThermalConductivity"): ("libelemental-dev", lib + "'%s' (W/(m K) at 300 K) "
                                          "/ 100 -> W/(cm K)" % ELEMENTAL_NAMES["conductivity"]),
        ("Misc", "ElectricalResistivity"): ("python3-pymatgen", "pymatgen/core/periodic_table.json: "
                                            "'Electrical resistivity' (10^-8 Ohm m)"),
        ("Misc", "ThermalExpansion"): ("python3-pymatgen", "pymatgen/core/periodic_table.json: "
                                       "'Coefficient of linear thermal expansion' (x10^-6 /K = ppm/K)"),
        ("History", "Pointer"): ("bodr", "%s: bo:atomicNumber" % bodr_el_path),
        ("History", "YearOfDiscovery"): ("bodr", "%s: bo:discoveryDate ('ancient' where the date is 0 and "
                                         "bo:discoveryCountry is 'ancient')" % bodr_el_path),
        ("History", "Discoverer"): ("bodr", "%s: bo:discoverers, joined with ', '" % bodr_el_path),
        ("History", "OriginOfName"): ("bodr", "%s: bo:nameOrigin (en)" % bodr_el_path),
        ("History", "Properties"): ("libelemental-dev", lib + "'Appearance'"),
    }
    pkg_src = {
        "bodr": "%s, %s" % (bodr_el_path, bodr_iso_path),
        "python3-xraydb": "%s (database version %s)" % (xraydb_path, xraydb_tag),
        "python3-periodictable": "%s (module version %s)" % (pt_dir, pt_version),
        "libelemental-dev": "libelemental.so.0 through /usr/include/libelemental (data of libelemental/data.cc)",
        "python3-pymatgen": "pymatgen/core/periodic_table.json from the package file (not installed)",
        "kalzium-data": kalzium_iso_path,
    }
    provenance = [(None, None, pkg_src[p], p, versions[p], LICENCES[p]) for p in PACKAGES]
    columns = {t: re.findall(r"[(,]\s*\"?(\w+)\"?\s+(?:INTEGER|REAL|TEXT)", ddl) for t, ddl in SCHEMA}
    for table, _ in SCHEMA[:-1]:
        for col in columns[table]:
            if (table, col) in col_src:
                pkg, src = col_src[(table, col)]
                provenance.append((table, col, src, pkg, versions[pkg], LICENCES[pkg]))
    unknown = set(col_src) - {(t, c) for t, _ in SCHEMA for c in columns[t]}
    if unknown:
        fail("provenance for unknown columns %r" % unknown)

    tables = {"Ion Data": ion_data, "General": general, "Isotope": isotope_rows, "Xrays": xrays,
              "Ion": ions, "Misc": misc, "History": history, "Provenance": provenance}
    return tables, columns, versions, notes


def row_sql(row, types):
    vals = []
    for v, t in zip(row, types):
        if t == "TEXT":
            vals.append(sql_text(v))
        else:
            vals.append(sql_num(v))
    return "(" + ",".join(vals) + ")"


def write_sql(path, tables, versions):
    types = {t: re.findall(r"\s(INTEGER|REAL|TEXT)", ddl) for t, ddl in SCHEMA}
    out = ["-- Element reference data of Durnix, written by data/elements/make_elements.py.",
           "-- Do not edit: change the generator and run it again (see data/elements/README.md).",
           "-- Debian packages read: " + ", ".join("%s %s" % (p, versions[p]) for p in PACKAGES) + ".",
           "-- Where each column comes from and under which licence: table \"Provenance\".",
           "BEGIN TRANSACTION;"]
    for table, ddl in SCHEMA:
        rows = tables[table]
        if len(types[table]) != len(rows[0]):
            fail("%s: %d columns, rows have %d" % (table, len(types[table]), len(rows[0])))
        out.append('DROP TABLE IF EXISTS "%s";' % table)
        out.append(ddl)
        for row in rows:
            out.append('INSERT INTO "%s" VALUES%s;' % (table, row_sql(row, types[table])))
    out.extend(INDEXES)
    out.append("COMMIT;")
    text = "\n".join(out) + "\n"
    tmp = path + ".tmp"
    with open(tmp, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)
    os.replace(tmp, path)


def main():
    ap = argparse.ArgumentParser(description="Write elements.sql from Debian reference data packages.")
    ap.add_argument("--pymatgen-deb", help="python3-pymatgen .deb file to read periodic_table.json from")
    ap.add_argument("--out", default=os.path.join(HERE, "elements.sql"), help="output file")
    ap.add_argument("--notes", action="store_true", help="print what the sources lack or disagree on")
    args = ap.parse_args()
    tables, columns, versions, notes = build(args)
    write_sql(args.out, tables, versions)
    for t, _ in SCHEMA:
        print("%-11s %5d rows" % (t, len(tables[t])))
    if args.notes:
        for n in notes:
            print("note:", n)


if __name__ == "__main__":
    main()
