#!/usr/bin/python3
"""Builds the file-format test corpus under tests/data and its golden.json.

This is a second, self-contained implementation of the RUMP (RBS), SENRAS
(SEN) and the two ASCII layouts (AS1, AS2), written only from the file layout
descriptions and kept apart from the program's own code.  The program's
readers and writers are checked against the files written here, byte for
byte.

Usage: /usr/bin/python3 tests/data/make_golden.py

The script is deterministic: running it twice gives identical files.  Only the
Python standard library is used.

Layout of the output:
  as1/ as2/ rbs/ sen/   written files (what the writers must produce) and
                        hand-made foreign files (what the readers must take or
                        refuse)
  convert/              what a writer must produce from a record as read
  golden.json           {"reads": [...], "converts": [...]}

Rules followed (besides the plain layouts):
  * RBS check word: two's-complement negation of the 32-bit sum of the other
    words of the record.
  * RBS small-integer words (types 273, 288/289) are whole signed 32-bit
    words; a read value outside -32768..32767 fails with 1.
  * RBS encoding 1 is signed 32-bit big-endian, one value per word.
  * RBS data may be spread over several data records (17 = encoding of the
    last type-16 record, 18/19/20 = encoding 0/1/2 for that record only).
    Every data record but the last holds 1024 values, the last one all the
    remaining ones; in encoding 2 every record starts with an absolute value.
    Values beyond those a record holds (trailing values, padding) are ignored.
  * Every RBS record, the header too, is stepped over by its length word;
    unknown types are skipped; 290/291 give 3; a record shorter than its type
    needs or running past the end of the file gives 1; a type word of 0 or
    the end of the file at a record boundary ends the records; files above
    1 MiB give 1.
  * The RBS writer puts at most 1024 channels in a data record (type 17,
    encoding 2, or type 19 when the encoding-2 data would exceed 1024 words).
  * AS1/AS2 writers refuse channel counts outside 256..16384 (status 6).
  * ASCII readers: lines end in CR LF, LF or CR; trimming removes blanks and
    tabs; a NUL byte anywhere rejects the file; the AS1 separator is the first
    tab or blank of the line.
"""

import json
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# ---------------------------------------------------------------------------
# Spectrum record
# ---------------------------------------------------------------------------

FIELD_ORDER = [
    "SpecId", "AcqDate", "AcqTime", "RealTime", "LiveTime", "CalGain",
    "CalOffset", "StartCh", "Version", "BeamMeV", "ChargeState", "Mass",
    "AtomicNo", "ChargeUC", "CurrentNA", "Fwhm", "Correction", "Geometry",
    "Theta", "Phi", "Psi", "Omega", "RumpComment", "KodaqId", "KodaqMem",
    "ChannelCount", "Counts",
]
TEXT_FIELDS = {"SpecId", "AcqDate", "AcqTime", "RealTime", "LiveTime",
               "Version", "RumpComment", "KodaqId", "KodaqMem"}
SINGLE_FIELDS = {"CalGain", "CalOffset", "StartCh", "BeamMeV", "Mass",
                 "ChargeUC", "CurrentNA", "Fwhm", "Correction", "Theta",
                 "Phi", "Psi", "Omega"}
SHORT_FIELDS = {"ChargeState", "AtomicNo", "Geometry"}

DISPLAY = {
    "RBS": "RUMP (RBS)",
    "AS1": "ASCII with channel (AS1)",
    "AS2": "ASCII without channel (AS2)",
    "SEN": "SENRAS (SEN)",
}

INT32_MIN = -2 ** 31
INT32_MAX = 2 ** 31 - 1


def f32(x):
    """Value of x stored in a 32-bit IEEE single."""
    return struct.unpack("<f", struct.pack("<f", x))[0]


def fresh():
    rec = {}
    for name in FIELD_ORDER:
        if name in TEXT_FIELDS:
            rec[name] = ""
        elif name in SINGLE_FIELDS:
            rec[name] = 0.0
        elif name == "Counts":
            rec[name] = []
        else:
            rec[name] = 0
    return rec


def make_record(counts, **fields):
    rec = fresh()
    for k, v in fields.items():
        assert k in rec, k
        if k in SINGLE_FIELDS:
            v = f32(v)
        rec[k] = v
    rec["Counts"] = list(counts)
    rec["ChannelCount"] = len(counts)
    return rec


class ReadFail(Exception):
    def __init__(self, status):
        Exception.__init__(self, status)
        self.status = status


class WriteFail(Exception):
    def __init__(self, status):
        Exception.__init__(self, status)
        self.status = status


class Undecided(Exception):
    """A case the layout leaves open; no file of the corpus may reach it."""


# ---------------------------------------------------------------------------
# Shared text helpers
# ---------------------------------------------------------------------------

DIGITS = "0123456789"

# How "blanks" are treated by the numeric-prefix rule.  The corpus is built
# so that every mode gives the same golden values (checked at the end):
#   "lead"     blanks and tabs skipped before the number only
#   "leadsp"   blanks (not tabs) skipped before the number only
#   "anywhere" blanks and tabs ignored everywhere in the text
NUM_MODE = "lead"


def numeric_prefix(s):
    """Numeric-prefix rule: optional sign, digits, decimal point, exponent,
    as far as they go; no number at the start gives 0."""
    if NUM_MODE == "anywhere":
        s = s.replace(" ", "").replace("\t", "")
    skip = " \t" if NUM_MODE != "leadsp" else " "
    n = len(s)
    i = 0
    while i < n and s[i] in skip:
        i += 1
    j = i
    if j < n and s[j] in "+-":
        j += 1
    nd = 0
    while j < n and s[j] in DIGITS:
        j += 1
        nd += 1
    if j < n and s[j] == ".":
        k = j + 1
        while k < n and s[k] in DIGITS:
            k += 1
        nd += k - j - 1
        j = k
    if nd == 0:
        return 0.0
    if j < n and s[j] in "eE":
        k = j + 1
        if k < n and s[k] in "+-":
            k += 1
        m = k
        while k < n and s[k] in DIGITS:
            k += 1
        if k > m:
            j = k
    return float(s[i:j])


def round_int32(x):
    """Real value to a 32-bit count: nearest, halves to even; overflow is a
    read failure (1)."""
    if x != x or x in (float("inf"), float("-inf")):
        raise ReadFail(1)
    r = round(x)
    if r < INT32_MIN or r > INT32_MAX:
        raise ReadFail(1)
    return r


def num_text(v):
    """Number text rule for text files: sign place (blank or '-'), digits,
    one trailing blank."""
    return (" " if v >= 0 else "-") + str(abs(v)) + " "


def trim_blanks(s):
    return s.strip(" ")


def split_slash(s, second_without_slash=""):
    s = trim_blanks(s)
    if s == "":
        return "", ""
    i = s.find("/")
    if i < 0:
        return s, second_without_slash
    return trim_blanks(s[:i]), trim_blanks(s[i + 1:])


def latin(b):
    return b.decode("latin-1")


def tobytes(s):
    return s.encode("latin-1")


# ---------------------------------------------------------------------------
# AS1 / AS2
# ---------------------------------------------------------------------------

def text_lines(data):
    """Lines of a text file; a line ends in CR LF, LF or CR."""
    text = latin(data)
    lines = []
    cur = []
    i = 0
    n = len(text)
    while i < n:
        c = text[i]
        if c == "\r":
            lines.append("".join(cur))
            cur = []
            if i + 1 < n and text[i + 1] == "\n":
                i += 1
        elif c == "\n":
            lines.append("".join(cur))
            cur = []
        else:
            cur.append(c)
        i += 1
    if cur:
        lines.append("".join(cur))
    return lines


def data_lines(data):
    """Trimmed lines that are neither empty nor comments."""
    out = []
    for line in text_lines(data):
        t = line.strip(" \t")
        if t == "":
            continue
        if t[:3].upper() == "REM" or t[0] == "'":
            continue
        out.append(t)
    return out


def as1_separator(t):
    """Index of the first tab or blank, whichever comes first; -1 if none."""
    for i, c in enumerate(t):
        if c == "\t" or c == " ":
            return i
    return -1


def screen_as1(data):
    for t in data_lines(data):
        p = as1_separator(t)
        if p < 0:
            continue
        if numeric_prefix(t[p + 1:]) != 0:
            return True
    return False


def screen_as2(data):
    for t in data_lines(data):
        if numeric_prefix(t) != 0:
            return True
    return False


def read_as1(data):
    if b"\0" in data:
        raise ReadFail(1)
    vals = []
    for t in data_lines(data):
        p = as1_separator(t)
        if p < 0:
            continue
        if len(vals) >= 16384:
            raise ReadFail(1)
        vals.append(round_int32(numeric_prefix(t[p + 1:])))
    if len(vals) < 256:
        raise ReadFail(1)
    rec = fresh()
    rec["Counts"] = vals
    rec["ChannelCount"] = len(vals)
    return rec


def read_as2(data):
    if b"\0" in data:
        raise ReadFail(1)
    vals = []
    for t in data_lines(data):
        if t[-1] not in DIGITS:
            raise ReadFail(1)
        if len(vals) >= 16384:
            raise ReadFail(1)
        vals.append(round_int32(numeric_prefix(t)))
    if len(vals) < 256:
        raise ReadFail(1)
    rec = fresh()
    rec["Counts"] = vals
    rec["ChannelCount"] = len(vals)
    return rec


def write_ascii(rec, with_channel):
    n = rec["ChannelCount"]
    if n < 256 or n > 16384:
        raise WriteFail(6)
    lines = []
    if rec["SpecId"] != "":
        lines.append("REM " + rec["SpecId"])
    if rec["AcqDate"] != "":
        lines.append("REM Date : " + rec["AcqDate"])
    if rec["AcqTime"] != "":
        lines.append("REM Time : " + rec["AcqTime"])
    lines.append("")
    for k, c in enumerate(rec["Counts"][:n]):
        if with_channel:
            # count in the second print zone (column 15)
            lines.append(num_text(k).ljust(14) + num_text(c))
        else:
            lines.append(num_text(c))
    return tobytes("".join(line + "\r\n" for line in lines))


def write_as1(rec):
    return write_ascii(rec, True)


def write_as2(rec):
    return write_ascii(rec, False)


# ---------------------------------------------------------------------------
# RBS
# ---------------------------------------------------------------------------

RBS_MAGIC = b"\x10\x21\x12\x10"
RBS_TEXT2 = b"PC-RUMP data file [v 1.0]"


def be_u32(b, off=0):
    return struct.unpack(">I", b[off:off + 4])[0]


def be_i32(b, off=0):
    return struct.unpack(">i", b[off:off + 4])[0]


def be_f32(b, off=0):
    return struct.unpack(">f", b[off:off + 4])[0]


def check_word(words_bytes):
    n = len(words_bytes) // 4
    total = sum(struct.unpack(">%dI" % n, words_bytes)) if n else 0
    return (-total) & 0xFFFFFFFF


def rbs_record(rtype, data=b"", length=None, check=None):
    """One RBS record: length word, type word, data padded with zero bytes to
    whole words, check word.  length/check may be forced to build broken
    records."""
    data = bytes(data) + b"\0" * ((-len(data)) % 4)
    if length is None:
        length = 3 + len(data) // 4
    body = struct.pack(">II", length & 0xFFFFFFFF, rtype & 0xFFFFFFFF) + data
    if check is None:
        check = check_word(body)
    return body + struct.pack(">I", check & 0xFFFFFFFF)


def rbs_header(version=b"\x00\x01\x00\x00", length=5, extra=b"", check=None):
    body = struct.pack(">II", length, 0) + RBS_MAGIC + version + extra
    if check is None:
        check = check_word(body)
    return body + struct.pack(">I", check)


def rbs_text_record(rtype, text, nword=None):
    b = tobytes(text) if isinstance(text, str) else bytes(text)
    if nword is None:
        nword = len(b)
    return rbs_record(rtype, struct.pack(">I", nword) + b)


def rbs_version_text(b):
    h = ["%X" % x for x in b]
    major_s = h[0] + h[1]
    major = 0
    for i, c in enumerate(major_s):
        major += int(c, 16) * 2 ** (len(major_s) - 1 - i)
    minor = numeric_prefix(h[2] + h[3])
    minor_s = str(int(minor))
    if len(minor_s) == 1:
        minor_s = "0" + minor_s
    return str(major) + "." + minor_s


def rbs_small_int(word_bytes):
    v = be_i32(word_bytes)
    if v < -32768 or v > 32767:
        raise ReadFail(1)
    return v


def decode_values(enc, d, k):
    """k channel values from the data of one data record."""
    if k == 0:
        return []
    if enc == 0:
        if len(d) < 4 * k:
            raise ReadFail(1)
        return [round_int32(be_f32(d, 4 * i)) for i in range(k)]
    if enc == 1:
        if len(d) < 4 * k:
            raise ReadFail(1)
        return [be_i32(d, 4 * i) for i in range(k)]
    if enc == 2:
        if len(d) < 4:
            raise ReadFail(1)
        cur = be_i32(d, 0)
        vals = [cur]
        p = 4
        while len(vals) < k:
            if p >= len(d):
                raise ReadFail(1)
            b = d[p]
            p += 1
            if b < 128:
                cur += b
            elif b > 128:
                cur += b - 256
            else:
                if p + 2 > len(d):
                    raise ReadFail(1)
                v = struct.unpack(">H", d[p:p + 2])[0]
                p += 2
                if v < 32768:
                    cur += v
                elif v > 32768:
                    cur += v - 65536
                else:
                    if p + 4 > len(d):
                        raise ReadFail(1)
                    cur = be_i32(d, p)
                    p += 4
                    if cur == 2147483647 or cur < -2147483646:
                        raise ReadFail(1)
            if cur < INT32_MIN or cur > INT32_MAX:
                raise ReadFail(1)
            vals.append(cur)
        return vals
    raise ReadFail(1)


def read_rbs(data):
    size = len(data)
    if size < 4 or size > 1048576:
        raise ReadFail(1)
    if size < 12 or be_u32(data, 4) != 0 or data[8:12] != RBS_MAGIC:
        raise ReadFail(1)
    hlen = be_u32(data, 0)
    if hlen < 5 or 4 * hlen > size:
        raise ReadFail(1)
    rec = fresh()
    rec["Version"] = rbs_version_text(data[12:16])
    enc = 3
    nch = None
    datarecs = []
    pos = 4 * hlen
    while True:
        if pos == size:
            break
        if pos + 8 > size:
            raise ReadFail(1)
        length = be_u32(data, pos)
        rtype = be_u32(data, pos + 4)
        if rtype == 0:
            break
        if length < 3 or pos + 4 * length > size:
            raise ReadFail(1)
        d = data[pos + 8:pos + 4 * length - 4]
        if rtype in (290, 291):
            raise ReadFail(3)
        if rtype in (1, 257, 258, 259):
            if len(d) < 4:
                raise ReadFail(1)
            n = be_u32(d, 0) & 0xFFFF
            if n >= 32768:
                raise Undecided("text length word above 32767")
            if n >= 1:
                if 4 + n > len(d):
                    raise ReadFail(1)
                if n > 1000:
                    raise Undecided("text longer than 1000")
                s = latin(d[4:4 + n])
                if rtype == 1:
                    rec["RumpComment"] = trim_blanks(s)
                elif rtype == 257:
                    rec["SpecId"] = trim_blanks(s)
                elif rtype == 258:
                    rec["LiveTime"], rec["RealTime"] = split_slash(s)
                else:
                    rec["AcqDate"], rec["AcqTime"] = split_slash(s)
        elif rtype == 16:
            if len(d) < 8:
                raise ReadFail(1)
            enc = be_u32(d, 0) & 0xFFFF
            nch = be_u32(d, 4) & 0xFFFF
            if nch > 32767:
                raise Undecided("channel count above 32767")
            if datarecs:
                raise Undecided("type-16 record after data records")
        elif rtype in (17, 18, 19, 20):
            if rtype == 17:
                if enc == 3 or enc not in (0, 1, 2):
                    raise ReadFail(1)
                renc = enc
            else:
                renc = rtype - 18
            if nch is None:
                raise Undecided("data record without a type-16 record")
            datarecs.append((renc, d))
        elif rtype == 272:
            if len(d) < 4:
                raise ReadFail(1)
            rec["Correction"] = be_f32(d, 0)
        elif rtype == 273:
            if len(d) < 24:
                raise ReadFail(1)
            rec["BeamMeV"] = be_f32(d, 0)
            rec["AtomicNo"] = rbs_small_int(d[4:8])
            rec["Mass"] = be_f32(d, 8)
            rec["ChargeState"] = rbs_small_int(d[12:16])
            rec["ChargeUC"] = be_f32(d, 16)
            rec["CurrentNA"] = be_f32(d, 20)
        elif rtype == 274:
            if len(d) < 16:
                raise ReadFail(1)
            rec["CalGain"] = be_f32(d, 0)
            rec["CalOffset"] = be_f32(d, 4)
            rec["StartCh"] = be_f32(d, 8)
            rec["Fwhm"] = be_f32(d, 12)
        elif rtype in (288, 289):
            if len(d) < 20:
                raise ReadFail(1)
            rec["Geometry"] = rbs_small_int(d[0:4])
            rec["Theta"] = be_f32(d, 4)
            rec["Phi"] = be_f32(d, 8)
            rec["Psi"] = be_f32(d, 12)
            rec["Omega"] = be_f32(d, 16)
        else:
            pass  # type 2 and unknown types: stepped over
        pos += 4 * length
    counts = []
    if datarecs:
        last = len(datarecs) - 1
        if nch < 1024 * last:
            raise Undecided("more data records than channels")
        for i, (renc, d) in enumerate(datarecs):
            k = nch - len(counts) if i == last else 1024
            counts.extend(decode_values(renc, d, k))
        assert len(counts) == nch
    elif nch:
        raise Undecided("type-16 record without data records")
    rec["Counts"] = counts
    rec["ChannelCount"] = len(counts)
    return rec


def encode2_block(vals):
    out = bytearray(struct.pack(">i", vals[0]))
    for prev, cur in zip(vals, vals[1:]):
        d = cur - prev
        if -127 <= d <= 127:
            out.append(d & 0xFF)
        elif -32767 <= d <= 32767:
            out.append(128)
            out += struct.pack(">H", d & 0xFFFF)
        else:
            if cur < 0 or cur == 2147483647:
                raise WriteFail(6)
            out += b"\x80\x80\x00" + struct.pack(">i", cur)
    return bytes(out)


def rbs_data_records(counts):
    if not counts:
        return rbs_record(17, b"")
    out = b""
    for start in range(0, len(counts), 1024):
        block = counts[start:start + 1024]
        e2 = encode2_block(block)
        if (len(e2) + 3) // 4 > 1024:
            out += rbs_record(19, struct.pack(">%di" % len(block), *block))
        else:
            out += rbs_record(17, e2)
    return out


def be_single(x):
    return struct.pack(">f", x)


def write_rbs(rec):
    out = rbs_header()
    if rec["RumpComment"] != "":
        out += rbs_text_record(1, rec["RumpComment"])
    out += rbs_text_record(2, RBS_TEXT2)
    out += rbs_text_record(257, trim_blanks(rec["SpecId"]))
    out += rbs_text_record(258, trim_blanks(rec["LiveTime"]) + "/" +
                           trim_blanks(rec["RealTime"]))
    out += rbs_text_record(259, trim_blanks(rec["AcqDate"]) + "/" +
                           trim_blanks(rec["AcqTime"]))
    out += rbs_record(272, be_single(rec["Correction"]))
    out += rbs_record(273, be_single(rec["BeamMeV"]) +
                      struct.pack(">i", rec["AtomicNo"]) +
                      be_single(rec["Mass"]) +
                      struct.pack(">i", rec["ChargeState"]) +
                      be_single(rec["ChargeUC"]) +
                      be_single(rec["CurrentNA"]))
    out += rbs_record(274, be_single(rec["CalGain"]) +
                      be_single(rec["CalOffset"]) +
                      be_single(rec["StartCh"]) +
                      be_single(rec["Fwhm"]))
    out += rbs_record(288, struct.pack(">i", rec["Geometry"]) +
                      be_single(rec["Theta"]) + be_single(rec["Phi"]) +
                      be_single(rec["Psi"]) + be_single(rec["Omega"]))
    n = rec["ChannelCount"]
    out += rbs_record(16, struct.pack(">II", 2, n))
    out += rbs_data_records(rec["Counts"][:n])
    return out


# ---------------------------------------------------------------------------
# SEN
# ---------------------------------------------------------------------------

def fixed_text(s, width):
    b = tobytes(s)[:width]
    return b + b" " * (width - len(b))


def sen_bytes(version, specid, datetext, beam, charge, gain, offset, theta,
              phi, omega, corr, livetext, fwhm, geometry, atomicno, nch,
              singles, trailing=None, one=1.0, zero=0):
    """A SEN file from raw field values (no substitutions)."""
    out = (struct.pack("<i", 19) + fixed_text(version, 11) +
           struct.pack("<i", 19))
    out += struct.pack("<i", 298)
    out += fixed_text(specid, 80) + fixed_text(datetext, 80)
    out += struct.pack("<8f", beam, charge, gain, offset, theta, phi, omega,
                       corr)
    out += fixed_text(livetext, 80)
    out += struct.pack("<ff", one, fwhm)
    out += struct.pack("<i", zero)
    out += struct.pack("<hhh", geometry, atomicno, nch)
    out += struct.pack("<i", 298)
    assert len(out) == 317
    out += struct.pack("<i", 4 * len(singles) + 8)
    out += struct.pack("<%df" % len(singles), *singles)
    if trailing is None:
        trailing = 4 * len(singles) + 8
    out += struct.pack("<i", trailing)
    return out


def write_sen(rec):
    def sub(x, default):
        return default if x == 0 else x
    counts = rec["Counts"][:rec["ChannelCount"]]
    singles = [float(c) for c in counts[:1024]]
    singles += [0.0] * (1024 - len(singles))
    geometry = 1 if rec["Geometry"] == -1 else rec["Geometry"]
    atomicno = 1 if rec["AtomicNo"] == 0 else rec["AtomicNo"]
    return sen_bytes(
        rec["Version"] if rec["Version"] != "" else "VERSION 1.2",
        rec["SpecId"],
        trim_blanks(rec["AcqDate"]) + "/" + trim_blanks(rec["AcqTime"]),
        sub(rec["BeamMeV"], 2.0), sub(rec["ChargeUC"], 50.0),
        sub(rec["CalGain"], 1.0), rec["CalOffset"], rec["Theta"],
        sub(rec["Phi"], 135.0), sub(rec["Omega"], 5.0),
        sub(rec["Correction"], 1.0),
        trim_blanks(rec["LiveTime"]) + "/" + trim_blanks(rec["RealTime"]),
        rec["Fwhm"], geometry, atomicno, 1024, singles)


def read_sen(data):
    if len(data) < 321:
        raise ReadFail(1)
    n = struct.unpack("<h", data[311:313])[0]
    if n < 0:
        raise ReadFail(1)
    if n == 0:
        # Whether 0 channels can size the spectrum is open; a trailing
        # marker other than 8 fails the read either way.
        if len(data) < 325 or struct.unpack("<i", data[321:325])[0] != 8:
            raise ReadFail(1)
        raise Undecided("SEN channel count 0 with marker 8")
    if len(data) < 321 + 4 * n + 4:
        raise ReadFail(1)
    singles = struct.unpack("<%df" % n, data[321:321 + 4 * n])
    counts = [round_int32(x) for x in singles]
    marker = struct.unpack("<i", data[321 + 4 * n:325 + 4 * n])[0]
    expect = n * 4 + 8
    if expect > 32767:
        # n x 4 + 8 does not fit 16 bits; a marker that matches neither the
        # wrapped value nor the full one fails the read either way.
        wrapped = (expect + 32768) % 65536 - 32768
        if marker != wrapped and marker != expect:
            raise ReadFail(1)
        raise Undecided("SEN marker beyond 16 bits")
    if marker != expect:
        raise ReadFail(1)
    rec = fresh()
    rec["Version"] = latin(data[4:15])
    rec["SpecId"] = latin(data[23:103])
    rec["AcqDate"], rec["AcqTime"] = split_slash(latin(data[103:183]))
    (rec["BeamMeV"], rec["ChargeUC"], rec["CalGain"], rec["CalOffset"],
     rec["Theta"], rec["Phi"], rec["Omega"],
     rec["Correction"]) = struct.unpack("<8f", data[183:215])
    rec["LiveTime"], rec["RealTime"] = split_slash(latin(data[215:295]), "0")
    rec["Fwhm"] = struct.unpack("<f", data[299:303])[0]
    rec["Geometry"], rec["AtomicNo"] = struct.unpack("<hh", data[307:311])
    rec["Counts"] = counts
    rec["ChannelCount"] = n
    return rec


# ---------------------------------------------------------------------------
# Readers, writers, detection
# ---------------------------------------------------------------------------

READERS = {"RBS": read_rbs, "AS1": read_as1, "AS2": read_as2, "SEN": read_sen}
WRITERS = {"RBS": write_rbs, "AS1": write_as1, "AS2": write_as2,
           "SEN": write_sen}


def run_reader(key, data):
    try:
        return 0, READERS[key](data)
    except ReadFail as e:
        return e.status, None


def detect(data):
    st, rec = run_reader("RBS", data)
    if st == 0:
        return 0, DISPLAY["RBS"], rec
    if st == 3:
        return 3, "", None
    if screen_as1(data):
        st, rec = run_reader("AS1", data)
        if st == 0:
            return 0, DISPLAY["AS1"], rec
    if screen_as2(data):
        st, rec = run_reader("AS2", data)
        if st == 0:
            return 0, DISPLAY["AS2"], rec
    st, rec = run_reader("SEN", data)
    if st == 0:
        return 0, DISPLAY["SEN"], rec
    return 4, "", None


def read_as(source_from, data):
    if source_from == "AUTO":
        return detect(data)
    st, rec = run_reader(source_from, data)
    return st, (DISPLAY[source_from] if st == 0 else ""), rec


def single_json(x):
    """Shortest decimal text (1 to 9 significant digits) that gives back the
    same single."""
    x = f32(x)
    if x == 0:
        return 0.0
    for p in range(1, 10):
        s = "%.*e" % (p - 1, x)
        if f32(float(s)) == x:
            return float(s)
    raise AssertionError(x)


def record_json(rec):
    out = {}
    for name in FIELD_ORDER:
        v = rec[name]
        if name in SINGLE_FIELDS:
            v = single_json(v)
        elif name == "Counts":
            v = list(v)
        out[name] = v
    return out


# ---------------------------------------------------------------------------
# Written records
# ---------------------------------------------------------------------------

def film_counts():
    """Thin gold film on silicon, 2 MeV He: silicon plateau with a smooth
    front edge near 1132 keV and a gold peak near 1838 keV."""
    gain, offset = 2.0371, 42.5
    seed = 12345
    counts = []
    for ch in range(1024):
        e = offset + gain * ch
        si = 480.0 * (1132.0 / max(e, 200.0)) ** 1.5
        si *= 0.5 * math.erfc((e - 1132.0) / 12.0)
        si *= 0.5 * math.erfc((260.0 - e) / 40.0)
        au = 4850.0 * math.exp(-0.5 * ((e - 1838.0) / 11.0) ** 2)
        y = si + au
        seed = (seed * 1103515245 + 12345) % 2147483648
        noise = ((seed >> 8) % 2001 - 1000) / 1000.0  # -1 .. 1
        y += noise * math.sqrt(y) * 0.8
        counts.append(max(0, int(round(y))))
    return counts


def diffs_counts():
    """Neighbouring differences on every boundary of the difference coding."""
    c = [100]

    def step(d):
        c.append(c[-1] + d)

    def to(v):
        c.append(v)

    for d in (0, 127, -127, 128, -128, 32767, -32767, 32768, -32768,
              129, -129, -32640, 32640, 1, -1):
        step(d)
    to(0)                 # 3-byte down
    to(2000000000)        # 7-byte up from 0
    step(0)
    step(-127)
    to(5)                 # 7-byte down
    to(-50)               # 1-byte into negative counts
    step(-127)
    to(-20000)            # 3-byte, negative count
    step(-32767)          # 3-byte to -52767
    step(32767)
    to(12768)             # +32768 from -20000: 7-byte, positive count
    to(0)                 # 3-byte
    to(16777217)          # 7-byte; not exact as a single
    step(-1)
    to(2147483520)        # 7-byte, largest count kept exact in a single
    step(-127)
    to(0)                 # 7-byte down to 0
    step(-1)
    step(32767)
    step(-32767)
    step(-128)
    step(128)
    i = 0
    while len(c) < 300:
        d = (i * 37) % 255 - 127
        if i % 11 == 5:
            d = ((i * 7919) % 65535) - 32767
        step(d)
        i += 1
    return c


def big_counts():
    """2500 channels: block 1 smooth, block 2 jumps of the 7-byte form
    everywhere, block 3 smooth."""
    counts = []
    for i in range(1024):
        counts.append(1000 + int(round(400 * math.sin(i / 50.0))))
    for i in range(1024):
        counts.append(0 if i % 2 == 0 else 100000 + 13 * i)
    for i in range(452):
        counts.append(200 + (i * 3) % 50)
    return counts


def edge_block(plan):
    """A block of 1024 counts whose differences follow the plan of forms
    (1, 3 or 7 bytes)."""
    vals = [10]
    low = True
    for form in plan:
        prev = vals[-1]
        if form == 1:
            vals.append(prev + 1)
        elif form == 3:
            vals.append(prev + 1000)
        else:
            vals.append(200000 + prev if low else prev - 200000)
            low = not low
    return vals


def edge_counts():
    plan1 = [7, 1, 7, 1] * 255 + [7, 1, 3]   # 511 x 7, 511 x 1, 1 x 3
    plan2 = [7, 1, 7, 1] * 255 + [7, 3, 3]   # 511 x 7, 510 x 1, 2 x 3
    b1 = edge_block(plan1)
    b2 = edge_block(plan2)
    assert len(encode2_block(b1)) == 4095
    assert len(encode2_block(b2)) == 4097
    return b1 + b2


def written_records():
    recs = {}
    recs["film"] = make_record(
        film_counts(),
        SpecId="Au 20nm on Si, 2 MeV He", AcqDate="06-Dec-26",
        AcqTime="09:17:05", RealTime="900", LiveTime="873.5",
        CalGain=2.0371, CalOffset=42.5, StartCh=0, Version="1.00",
        BeamMeV=2, ChargeState=1, Mass=4.0026, AtomicNo=2, ChargeUC=20,
        CurrentNA=12.5, Fwhm=15, Correction=1, Geometry=0, Theta=10,
        Phi=170, Psi=0, Omega=0, RumpComment="thin film test")
    recs["diffs"] = make_record(
        diffs_counts(),
        SpecId="difference coding limits", AcqDate="", AcqTime="",
        RealTime="60", LiveTime="59.25", CalGain=3.5, CalOffset=-20.25,
        StartCh=1, Version="", BeamMeV=1.75, ChargeState=-2, Mass=1.00728,
        AtomicNo=200, ChargeUC=0.125, CurrentNA=1e-3, Fwhm=12.75,
        Correction=0.987654, Geometry=-1, Theta=-7.5, Phi=160, Psi=30,
        Omega=-15, RumpComment="")
    recs["big"] = make_record(
        big_counts(),
        SpecId="multi-record spectrum", AcqDate="31-Jan-25",
        AcqTime="23:59:59", RealTime="3600", LiveTime="3500",
        CalGain=1.0, CalOffset=0.0, StartCh=0, Version="1.00", BeamMeV=3.04,
        ChargeState=2, Mass=4.0026, AtomicNo=2, ChargeUC=100,
        CurrentNA=25, Fwhm=18, Correction=1, Geometry=1, Theta=0, Phi=165,
        Psi=5, Omega=2.5, RumpComment="three data records")
    recs["bare"] = make_record([10 * (i % 5) for i in range(256)])
    recs["geom_minus1"] = make_record(
        [(i * 7) % 300 for i in range(512)],
        SpecId="geometry -1 and atomic number 0, identifier longer than "
               "the eighty characters of the field",
        AcqDate=" 01-Jan-01 ", AcqTime="  12:00  ", RealTime="",
        LiveTime="100", CalGain=4.25, CalOffset=15, Version="SENRAS v2.1 beta",
        BeamMeV=2.275, ChargeUC=33.3, CurrentNA=7, Fwhm=16.5,
        Correction=1.02, Geometry=-1, AtomicNo=0, Theta=5, Phi=0, Omega=8,
        Mass=4.0026, ChargeState=1, Psi=3)
    recs["edge"] = make_record(
        edge_counts(), SpecId="encoding-2 block sizes 4095 and 4097 bytes",
        Version="1.00")
    return recs


WRITTEN = [
    ("film", ["RBS", "SEN", "AS1", "AS2"]),
    ("diffs", ["RBS", "AS1", "AS2", "SEN"]),
    ("big", ["RBS", "AS1"]),
    ("bare", ["RBS", "SEN", "AS1"]),
    ("geom_minus1", ["SEN"]),
    ("edge", ["RBS"]),
]

# ---------------------------------------------------------------------------
# Foreign files
# ---------------------------------------------------------------------------


def rbs_std_head(specid="foreign file", comment=None):
    out = rbs_header()
    if comment is not None:
        out += rbs_text_record(1, comment)
    out += rbs_text_record(257, specid)
    return out


def rbs_spectrum_enc2(counts):
    return (rbs_record(16, struct.pack(">II", 2, len(counts))) +
            rbs_record(17, encode2_block(counts)))


def ramp(n, base=50, mod=97):
    return [base + (i * 31) % mod for i in range(n)]


def foreign_rbs():
    files = []   # (name, bytes, expected status with key RBS, note)

    # Several data records of types 18, 17 (encoding 1 from type 16), 20, 19.
    n = 3100
    b1 = [(i % 40) * 2.5 + (0.5 if i % 7 == 0 else 0.0) for i in range(1024)]
    b2 = [-1000 - 7 * i for i in range(10)]
    b2 += [70000 - 3 * i if i % 5 else 69000 - i for i in range(10, 1024)]
    b3 = []
    v = 500
    for i in range(1024):
        if i % 100 == 50:
            v = 60000 + i
        elif i % 100 == 51:
            v = 400
        else:
            v += (i % 9) - 4 if i % 13 else 300
        b3.append(v)
    b4 = [(i * i) % 1000 - 100 for i in range(n - 3072)]
    e3 = encode2_block(b3)
    assert len(e3) % 4 != 0   # padding in a non-last record
    data = rbs_header()
    data += rbs_text_record(1, "  mixed records from another program  ")
    data += rbs_record(2, b"another program's banner text, any length")
    data += rbs_text_record(257, "mixed 17/18/19/20")
    data += rbs_text_record(258, " 600 / 615.25 ")
    data += rbs_text_record(259, "01-Feb-99/23:59:59")
    data += rbs_record(272, be_single(0.98))
    data += rbs_record(273, be_single(3.05) + struct.pack(">i", 2) +
                       be_single(4.0026) + struct.pack(">i", 2) +
                       be_single(7.5) + be_single(3.25))
    data += rbs_record(274, be_single(1.5) + be_single(-12.25) +
                       be_single(0) + be_single(18.5))
    data += rbs_record(289, struct.pack(">i", 1) + be_single(0) +
                       be_single(165) + be_single(7.5) + be_single(0))
    data += rbs_record(16, struct.pack(">II", 1, n))
    data += rbs_record(18, struct.pack(">1024f", *b1))
    data += rbs_record(17, struct.pack(">1024i", *b2))
    data += rbs_record(20, e3)
    data += rbs_record(19, struct.pack(">%di" % (len(b4) + 5),
                                       *(b4 + [7, 8, 9, 10, 11])))
    files.append(("mixed", data, 0,
                  "3100 channels in records 18, 17 (enc 1), 20 (padded), "
                  "19 (5 extra values)"))

    # Encoding 0: singles rounded to nearest, halves to even.
    sing = [2.5, 3.5, -2.5, -3.5, 0.5, 1.5, -0.5, 1000000.5, 16777216.0,
            0.49999997, -1000.0, -1000.5, -999.5, 1e9, 65535.5, 65536.5]
    sing += [float(i % 50) + 0.25 for i in range(256 - len(sing))]
    data = (rbs_std_head("encoding 0 singles") +
            rbs_record(16, struct.pack(">II", 0, 256)) +
            rbs_record(17, struct.pack(">256f", *sing)))
    files.append(("enc0", data, 0, "encoding 0, halves to even"))

    # Encoding 1: signed 32-bit values.
    vals = [0, 1, 70000, 65536, 65535, 100, -1, -5, -30000, 123456789, 5,
            2147483000, 40, -32000, -32768, 32768, 0]
    vals += [(i * 13) % 200 for i in range(256 - len(vals))]
    data = (rbs_std_head("encoding 1 words") +
            rbs_record(16, struct.pack(">II", 1, 256)) +
            rbs_record(17, struct.pack(">256i", *vals)))
    files.append(("enc1", data, 0, "encoding 1, signed 32-bit"))

    # Unknown record types between known ones.
    data = (rbs_header() +
            rbs_record(999, b"unknown data words" * 3) +
            rbs_text_record(257, "unknown records skipped") +
            rbs_record(12345, b"") +
            rbs_record(16, struct.pack(">II", 2, 256)) +
            rbs_record(300, b"\x00\x00\x00\x05" * 4) +
            rbs_record(17, encode2_block(ramp(256))) +
            rbs_record(999, b"\xff" * 40))
    files.append(("unknown", data, 0, "types 999, 12345, 300 skipped"))

    # Calibration record with a fifth value (version 1.0a files).
    data = (rbs_std_head("calibration with five values") +
            rbs_record(274, be_single(2.5) + be_single(10) + be_single(3) +
                       be_single(20) + be_single(99.9)) +
            rbs_spectrum_enc2(ramp(256, 5, 31)))
    files.append(("calib5", data, 0, "type 274 of length 8"))

    # PIXE / NRA records after a spectrum.
    spectrum_recs = rbs_spectrum_enc2(ramp(256))
    data = (rbs_std_head("PIXE record after the spectrum") + spectrum_recs +
            rbs_record(290, struct.pack(">II", 1, 2)))
    files.append(("pixe290", data, 3, "type 290 after a spectrum"))
    data = (rbs_std_head("NRA record") + spectrum_recs +
            rbs_record(291, b""))
    files.append(("nra291", data, 3, "type 291 after a spectrum"))

    # Type 274 too short.
    data = (rbs_std_head("short calibration") +
            rbs_record(274, be_single(2.5) + be_single(10)) + spectrum_recs)
    files.append(("short274", data, 1, "type 274 of length 5"))

    # A record running past the end of the file.
    full = rbs_record(17, encode2_block(ramp(256)))
    data = (rbs_std_head("record past the end") +
            rbs_record(16, struct.pack(">II", 2, 256)) + full[:-40])
    files.append(("past_end", data, 1, "type 17 cut 40 bytes short"))

    # Header only.
    files.append(("header_only", rbs_header(), 0, "20-byte header only"))

    # End record followed by junk.
    data = (rbs_std_head("end record then junk") + spectrum_recs +
            rbs_record(0, b"") +
            b"\x7f\xff\xff\xff\x00\x00\x01\x22junk after the end record\x01")
    files.append(("end0_junk", data, 0, "type 0 record, then junk"))

    # Text records with a text length of 0.
    data = (rbs_header() +
            rbs_text_record(1, b"", 0) + rbs_text_record(257, b"", 0) +
            rbs_text_record(258, b"", 0) + rbs_text_record(259, b"", 0) +
            spectrum_recs)
    files.append(("text_len0", data, 0, "texts of length 0: fields empty"))
    data = (rbs_header() +
            rbs_text_record(257, "kept identifier") +
            rbs_text_record(258, "10/20") +
            rbs_text_record(259, "02-Mar-03") +
            rbs_text_record(257, b"", 0) + rbs_text_record(258, b"", 0) +
            rbs_text_record(259, b"", 0) + spectrum_recs)
    files.append(("text_len0_keep", data, 0,
                  "texts of length 0 after real ones: fields kept"))

    # Header record stepped over by its length word.
    data = (rbs_header(length=6, extra=b"\xAB\xCD\xEF\x01") +
            rbs_text_record(257, "header of six words") + spectrum_recs)
    files.append(("hdr_len6", data, 0, "header of length 6"))
    data = rbs_header(length=4)[:-4] + struct.pack(">I", 0) + spectrum_recs
    files.append(("hdr_len4", data, 1, "header of length 4"))

    # Record length below 3.
    data = (rbs_std_head("length two") + rbs_record(999, b"", length=2) +
            spectrum_recs)
    files.append(("len2", data, 1, "record of length 2"))

    # One type-17 record holding all 1500 channels.
    vals = [300 + int(200 * math.cos(i / 40.0)) for i in range(1500)]
    data = rbs_std_head("1500 channels in one record") + \
        rbs_spectrum_enc2(vals)
    files.append(("single17", data, 0, "one type-17 record of 1500 channels"))

    # A file above the 32763 bytes of the old reader.
    data = (rbs_std_head("large unknown record") +
            rbs_record(4242, bytes(i % 251 for i in range(34000))) +
            spectrum_recs)
    assert len(data) > 32764
    files.append(("large", data, 0, "file of %d bytes" % len(data)))

    # Wrong check words everywhere: readers do not verify them.
    data = (rbs_header(check=0) +
            rbs_record(257, struct.pack(">I", 15) + b"bad check words",
                       check=0x12345678) +
            rbs_record(16, struct.pack(">II", 2, 256), check=0) +
            rbs_record(17, encode2_block(ramp(256)), check=0xFFFFFFFF))
    files.append(("bad_check", data, 0, "every check word wrong"))

    # Data record before any type-16 record.
    data = (rbs_std_head("no type 16") +
            rbs_record(17, encode2_block(ramp(256))))
    files.append(("no16", data, 1, "type 17 without type 16"))

    # Unknown encoding.
    data = (rbs_std_head("encoding 5") +
            rbs_record(16, struct.pack(">II", 5, 256)) +
            rbs_record(17, struct.pack(">256i", *ramp(256))))
    files.append(("enc5", data, 1, "type-16 encoding 5"))

    # Small-integer words.
    data = (rbs_std_head("atomic number 32768") +
            rbs_record(273, be_single(2) + struct.pack(">i", 32768) +
                       be_single(4) + struct.pack(">i", 1) + be_single(1) +
                       be_single(1)) + spectrum_recs)
    files.append(("smallint_over", data, 1, "AtomicNo word 32768"))
    data = (rbs_std_head("small integers at their limits") +
            rbs_record(273, be_single(2) + struct.pack(">i", 32767) +
                       be_single(4) + struct.pack(">i", -32768) +
                       be_single(1) + be_single(1)) +
            rbs_record(288, struct.pack(">i", -1) + be_single(170) +
                       be_single(10) + be_single(0) + be_single(0)) +
            spectrum_recs)
    files.append(("smallint_limits", data, 0,
                  "AtomicNo 32767, ChargeState -32768, Geometry -1"))

    # Version bytes other than those of the writer.
    data = (rbs_header(version=b"\x00\x01\x00\x05") +
            rbs_text_record(257, "version 1.05") + spectrum_recs)
    files.append(("version105", data, 0, "version bytes 00 01 00 05"))

    # Low 16 bits of the type-16 words and of a text length word.
    data = (rbs_header() +
            rbs_record(257, struct.pack(">I", 0x00010005) + b"lowbits") +
            rbs_record(16, struct.pack(">II", 0xABCD0002, 0x12340100)) +
            rbs_record(17, encode2_block(ramp(256))))
    files.append(("lowbits", data, 0,
                  "type-16 words ABCD0002/12340100, text length 00010005"))

    # Last data record too short for the remaining channels.
    data = (rbs_std_head("too few values") +
            rbs_record(16, struct.pack(">II", 0, 1500)) +
            rbs_record(18, struct.pack(">1024f", *([1.0] * 1024))))
    files.append(("too_few", data, 1, "1500 channels, one record of 1024"))

    # Invalid 7-byte value.
    bad7 = (struct.pack(">i", 5) + b"\x80\x80\x00" +
            struct.pack(">i", 2147483647) + b"\xff" * 254)
    data = (rbs_std_head("7-byte value 2147483647") +
            rbs_record(16, struct.pack(">II", 2, 256)) + rbs_record(17, bad7))
    files.append(("bad7", data, 1, "7-byte count 2147483647"))

    # Difference that overflows a 32-bit count.
    ov = struct.pack(">i", 2147483600) + bytes([100]) + bytes(254)
    data = (rbs_std_head("difference overflow") +
            rbs_record(16, struct.pack(">II", 2, 256)) + rbs_record(17, ov))
    files.append(("diff_overflow", data, 1, "2147483600 + 100"))
    return files


def as_text(lines, eol="\r\n", final=True):
    s = eol.join(lines)
    if final:
        s += eol
    return tobytes(s)


def foreign_as1():
    files = []   # (name, bytes, status with key AS1, note)

    lines = ["rem lower-case comment", "' quote comment", "REMARK also one",
             ""]
    vals = []
    order = []
    for i in range(300):
        # channel numbers from 100, out of order
        order.append(100 + (i * 7) % 300)
    special = {
        3: ("12.5", 12), 4: ("13.5", 14), 5: ("-5", -5),
        6: ("-123456", -123456), 7: ("abc", 0), 8: ("+15", 15),
        9: ("1.5e1", 15), 10: ("-0.4", 0), 11: ("2.5", 2), 12: ("-2.5", -2),
    }
    for i in range(300):
        if i == 20:
            lines.append("17")           # no separator: ignored
            lines.append("42\t")         # trailing tab trimmed: ignored
            lines.append(" \t ")         # blank line
            lines.append("rem between data lines")
            lines.append("'another")
        if i == 30:
            lines.append("9 8x\t7")      # first blank comes first: 8
            vals.append(8)
            lines.append("9\t8x 7")      # first tab comes first: 8
            vals.append(8)
            lines.append("\t77\t9")      # leading tab trimmed
            vals.append(9)
        if i in special:
            text, v = special[i]
        else:
            v = (i * 17) % 1000
            text = str(v)
        sep = "\t" if i % 3 else "\t "
        lines.append("%d%s%s" % (order[i], sep, text))
        vals.append(v)
    files.append(("tabs_comments", as_text(lines, "\n"), 0,
                  "tabs, comments, channels from 100 out of order, LF", vals))

    # Exactly 256 data lines, CR only, with a line without separator.
    lines = ["REM header", ""]
    vals = []
    for i in range(256):
        if i == 100:
            lines.append("17")
            lines.append("5\t")
        v = (i * 29) % 500 - 20
        lines.append("%d %d" % (i, v))
        vals.append(v)
    files.append(("lines256", as_text(lines, "\r"), 0,
                  "256 data lines, CR only", vals))
    lines = ["REM header", ""] + ["%d %d" % (i, i + 1) for i in range(255)]
    files.append(("lines255", as_text(lines), 1, "255 data lines", None))

    # Mixed line endings (CR LF, LF, CR, LF CR), last line without one.
    eols = ["\r\n", "\n", "\r", "\n\r"]
    s = "REM mixed line ends\r\n"
    for i in range(260):
        s += "%d %d" % (i, 1000 - i)
        if i < 259:
            s += eols[i % 4]
    files.append(("mixed_eol", tobytes(s), 0,
                  "CR LF, LF, CR and LF CR endings", None))

    # Second column 0 throughout: read as AS1, not detected.
    lines = ["0 0"] * 256
    files.append(("zeros2", as_text(lines), 0, "second column all 0", None))
    lines = ["%d 0" % i for i in range(100)] + \
        ["%d %d" % (i, i) for i in range(100, 300)]
    files.append(("late_nonzero", as_text(lines), 0,
                  "first 100 counts 0", None))

    # Records that the RBS writer must refuse.
    lines = [""] + ["%d %d" % (i, 0 if i != 11 else -100000)
                    for i in range(256)]
    files.append(("neg_jump", as_text(lines), 0,
                  "0 to -100000: negative count in the 7-byte form", None))
    lines = [""] + ["%d %d" % (i, 0 if i != 11 else 2147483647)
                    for i in range(256)]
    files.append(("max_jump", as_text(lines), 0,
                  "0 to 2147483647 in the 7-byte form", None))

    # Rounding at the 32-bit limits.
    lines = ["0 5"] * 256
    lines[10] = "0 2147483647.5"
    files.append(("round_overflow", as_text(lines), 1,
                  "2147483647.5 rounds out of range", None))
    lines = ["%d %s" % (i, "5") for i in range(256)]
    lines[10] = "10 -2147483648.5"
    lines[11] = "11 2147483647.4"
    lines[12] = "12 -0.5"
    files.append(("limits", as_text(lines), 0,
                  "-2147483648.5 and 2147483647.4 fit", None))

    # A NUL byte: not a text file.
    lines = ["REM has a \0 byte"] + ["%d %d" % (i, i + 3) for i in range(256)]
    files.append(("nul", as_text(lines), 1, "NUL byte in a comment", None))

    # 16385 data lines.
    lines = ["0 1"] * 16385
    files.append(("lines16385", as_text(lines, "\n"), 1, "16385 data lines",
                  None))
    return files


def foreign_as2():
    files = []
    lines = ["REM comment", "rem another", "' quoted", ""]
    special = {0: "12.5", 1: "13.5", 2: "-7", 3: "+7", 4: "1.5e2",
               5: "  42  ", 6: "\t8\t", 7: "-2.5", 8: "0.5", 9: "1e+3"}
    for i in range(300):
        if i == 50:
            lines.append("REM between data lines")
            lines.append("")
        lines.append(special.get(i, str((i * 11) % 400)))
    files.append(("comments_cr", as_text(lines, "\r"), 0,
                  "comments, halves, signs, exponents, CR only"))
    lines = [str(i % 10) for i in range(300)]
    lines[40] = "12.5e"
    files.append(("bad_e", as_text(lines), 1, "a line 12.5e"))
    files.append(("lines16384", as_text([str(1 + i % 9) for i in
                                         range(16384)]), 0,
                  "16384 lines"))
    files.append(("lines16385", as_text([str(1 + i % 9) for i in
                                         range(16385)]), 1,
                  "16385 lines"))
    files.append(("zeros", as_text(["0"] * 300), 0, "300 zeros"))
    files.append(("comments_only",
                  as_text(["REM only comments", "", "' quote", "rem x",
                           "REM 1 2 3"]), 1, "only comments"))
    return files


def foreign_sen(film_sen):
    files = []
    bad = bytearray(film_sen)
    bad[-4:] = struct.pack("<i", 4100)
    files.append(("bad_marker", bytes(bad), 1, "trailing marker 4100"))
    files.append(("truncated", film_sen[:2000], 1, "cut at byte 2000"))
    files.append(("no_slash", sen_bytes(
        "VERSION 1.1", "no slash in the texts", "06-Dec-26", 2.0, 20.0,
        2.0371, 42.5, 10.0, 170.0, 5.0, 1.0, "873.5", 15.0, 0, 2, 1024,
        [float(i % 100) for i in range(1024)]), 0,
        "live/real text 873.5 and date text without /"))
    singles = [2.5, 3.5, -2.5, -3.5, 0.5, 1.5, -12.75, 1e6, 16777217.0]
    singles += [float((i * 3) % 77) for i in range(300 - len(singles))]
    files.append(("n300", sen_bytes(
        "  v 3      ", "  three hundred channels  ", "  d / t  ", 0.0, 0.0,
        0.0, 0.0, 0.0, 0.0, 0.0, 0.0, " 5 / 6 ", 0.0, -1, 0, 300, singles),
        0,
        "300 channels, halves, blank-padded texts"))
    singles = [float(i) for i in range(1024)]
    singles[7] = 3e9
    files.append(("overflow", sen_bytes(
        "VERSION 1.2", "overflow", "/", 2.0, 50.0, 1.0, 0.0, 0.0, 135.0,
        5.0, 1.0, "/", 0.0, 0, 1, 1024, singles), 1,
        "a single of 3e9"))
    return files


# ---------------------------------------------------------------------------
# Building the corpus
# ---------------------------------------------------------------------------

def put(rel, data, written):
    path = os.path.join(HERE, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    written[rel] = data


def build_files():
    """Writes every data file; returns (files, plan) where files maps the
    relative path to its bytes and plan lists what golden.json covers."""
    files = {}
    written = []       # (rel, key)
    foreign = []       # (rel, key, expected status, note)
    recs = written_records()
    for name, keys in WRITTEN:
        for key in keys:
            rel = "%s/%s.%s" % (key.lower(), name, key)
            put(rel, WRITERS[key](recs[name]), files)
            written.append((rel, key))
    for name, data, st, note in foreign_rbs():
        rel = "rbs/%s.RBS" % name
        put(rel, data, files)
        foreign.append((rel, "RBS", st, note))
    for name, data, st, note, vals in foreign_as1():
        rel = "as1/%s.AS1" % name
        put(rel, data, files)
        foreign.append((rel, "AS1", st, note))
        if vals is not None:
            got = read_as1(data)["Counts"]
            assert got == vals, (name, [(i, a, b) for i, (a, b) in
                                        enumerate(zip(got, vals)) if a != b])
    for name, data, st, note in foreign_as2():
        rel = "as2/%s.AS2" % name
        put(rel, data, files)
        foreign.append((rel, "AS2", st, note))
    for name, data, st, note in foreign_sen(files["sen/film.SEN"]):
        rel = "sen/%s.SEN" % name
        put(rel, data, files)
        foreign.append((rel, "SEN", st, note))
    return files, written, foreign


def convert_name(src, dest):
    base = os.path.basename(src)
    stem, ext = base.split(".", 1)
    return "convert/%s_%s.%s" % (stem, ext, dest)


def build_golden(files, written, foreign, write_outputs):
    reads = []
    converts = []
    outputs = {}

    def read_entry(rel, frm):
        st, name, rec = read_as(frm, files[rel])
        e = {"file": rel, "from": frm, "status": st, "format": name}
        if st == 0:
            e["record"] = record_json(rec)
        reads.append(e)
        return st, rec

    def convert_entry(rel, frm, rec, dest):
        e = {"source": rel, "from": frm, "to": dest}
        try:
            out = WRITERS[dest](rec)
        except WriteFail as w:
            e["status"] = w.status
        else:
            e["status"] = 0
            name = convert_name(rel, dest)
            assert name not in outputs, name
            outputs[name] = out
            e["expected"] = name
        converts.append(e)

    for rel, key in written:
        read_entry(rel, "AUTO")
        st, rec = read_entry(rel, key)
        assert st == 0, rel
        for dest in ("RBS", "SEN", "AS1", "AS2"):
            convert_entry(rel, key, rec, dest)
    for rel, key, want, note in foreign:
        read_entry(rel, "AUTO")
        st, rec = read_entry(rel, key)
        assert st == want, (rel, st, want, note)
        if st == 0:
            if key == "RBS":
                dests = ("RBS", "AS1")
            elif key == "SEN":
                dests = ("RBS", "AS1")
            elif rel in ("as1/neg_jump.AS1", "as1/max_jump.AS1"):
                dests = ("RBS", "AS1")
            else:
                dests = ()
            for dest in dests:
                convert_entry(rel, key, rec, dest)
    # every expected output reads back with its own reader; the spectrum
    # of 0 channels is listed among the reads
    for name in sorted(outputs):
        key = name.rsplit(".", 1)[1]
        st, rec = run_reader(key, outputs[name])
        assert st == 0, name
    files["convert/header_only_RBS.RBS"] = \
        outputs["convert/header_only_RBS.RBS"]
    read_entry("convert/header_only_RBS.RBS", "RBS")
    read_entry("convert/header_only_RBS.RBS", "AUTO")
    if write_outputs:
        for name in sorted(outputs):
            put(name, outputs[name], {})
    return {"reads": reads, "converts": converts}


def dump_golden(golden):
    parts = ["{\n\"reads\": [\n"]
    parts.append(",\n".join(json.dumps(e, separators=(",", ":"))
                            for e in golden["reads"]))
    parts.append("\n],\n\"converts\": [\n")
    parts.append(",\n".join(json.dumps(e, separators=(",", ":"))
                            for e in golden["converts"]))
    parts.append("\n]\n}\n")
    return "".join(parts)


def self_checks(recs):
    # check words of the fixed records
    assert rbs_header()[16:20] == b"\xEF\xDD\xED\xEB"
    t2 = rbs_text_record(2, RBS_TEXT2)
    assert len(t2) == 44 and be_u32(t2, 0) == 11
    assert t2[-4:] == b"\xF3\x56\x1A\xF5"
    assert rbs_version_text(b"\x00\x01\x00\x00") == "1.00"
    # written files read back
    for name, keys in WRITTEN:
        rec = recs[name]
        for key in keys:
            back = READERS[key](WRITERS[key](rec))
            if key == "SEN":
                assert len(back["Counts"]) == 1024
                continue
            assert back["Counts"] == rec["Counts"], (name, key)
            if key == "RBS":
                for f in FIELD_ORDER:
                    if f in ("Version", "Counts", "KodaqId", "KodaqMem"):
                        continue
                    want = rec[f]
                    if f in TEXT_FIELDS:
                        want = want.strip(" ")
                    assert back[f] == want, (name, f, back[f], want)
    # block kinds of the multi-record writer
    big = write_rbs(recs["big"])
    edge = write_rbs(recs["edge"])
    for data, kinds in ((big, [(17, None), (19, 1027), (17, None)]),
                        (edge, [(17, 1027), (19, 1027)])):
        pos = 20
        found = []
        while pos < len(data):
            length, rtype = struct.unpack(">II", data[pos:pos + 8])
            if rtype in (17, 18, 19, 20):
                found.append((rtype, length))
            pos += 4 * length
        assert len(found) == len(kinds), found
        for (t, l), (wt, wl) in zip(found, kinds):
            assert t == wt and (wl is None or l == wl), found


def clean_old():
    """Removes the data files of an earlier run, so that a renamed case
    leaves nothing behind."""
    for folder in ("as1", "as2", "rbs", "sen", "convert"):
        path = os.path.join(HERE, folder)
        if not os.path.isdir(path):
            continue
        for n in os.listdir(path):
            if n.rsplit(".", 1)[-1] in ("RBS", "SEN", "AS1", "AS2"):
                os.remove(os.path.join(path, n))


def main():
    global NUM_MODE
    clean_old()
    recs = written_records()
    self_checks(recs)
    files, written, foreign = build_files()
    texts = {}
    for mode in ("leadsp", "anywhere", "lead"):
        NUM_MODE = mode
        texts[mode] = dump_golden(build_golden(dict(files), written, foreign,
                                               mode == "lead"))
    if len(set(texts.values())) != 1:
        a = texts["lead"].splitlines()
        for mode in ("leadsp", "anywhere"):
            b = texts[mode].splitlines()
            for x, y in zip(a, b):
                if x != y:
                    print("differs under", mode, ":", x[:200])
        raise SystemExit("golden values depend on the blank rule")
    with open(os.path.join(HERE, "golden.json"), "w", newline="\n") as f:
        f.write(texts["lead"])
    total = 0
    for root, _, names in os.walk(HERE):
        for n in names:
            total += os.path.getsize(os.path.join(root, n))
    print("corpus bytes:", total)


if __name__ == "__main__":
    main()
