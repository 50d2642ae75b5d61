#!/usr/bin/python3
"""Builds the file-format test corpus under tests/data and its golden.json.

This is a second, self-contained implementation of all thirteen layouts:
RUMP (RBS), SENRAS (SEN), the two ASCII layouts (AS1, AS2), Maestro CHN,
GammaVision SPC, CANBERRA, KODAQ, NUCLEUS NCL, Charles Evans SNF, Old Oxford
SPM, QuantumX ANS and New Oxford SPT, written only from the file layout
descriptions and kept apart from the program's own code.  The program's
readers and writers are checked against the files written here, byte for
byte.

Usage: /usr/bin/python3 tests/data/make_golden.py [--check]

With --check the corpus is made in a temporary folder and compared with the
committed one; any file that differs, is missing or is left over fails the
check (exit status 1) and nothing here is changed.

The script is deterministic: running it twice gives identical files.  Only the
Python standard library is used.

Layout of the output:
  as1/ as2/ rbs/ sen/   written files (what the writers must produce) and
  chn/ gvspc/ spt/      hand-made foreign files (what the readers must take or
  spm/ canberra/ ans/   refuse); written files carry the extension their
  ncl/ snf/ kodaq/      writer gives them (film.SPC, film.MCA, ...)
  convert/              what a writer must produce from a record as read
  golden.json           {"reads": [...], "converts": [...]}

A read entry names the file, the source key ("AUTO" for detection), the
status, the display name of the format read (empty unless the status is 0)
and the record read into a fresh record (texts "", numbers 0).  A convert
entry names the source, the key it is read with, the destination key, the
writer's status and, when that is 0, the expected file.  The converted file
is written under the name that the destination writer gives the source
file's own name (convert/ keeps it under another name): chn/film.CHN to
GVSPC is film.SPC, and GammaVision and QuantumX store that name.  Converts
of the same bytes for the same format share one expected file.

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
  * SEN writer: a count among the 1024 written whose single is 2^31 or more
    (above 2147483520) is refused (6).
  * Detection tries RBS, CHN, GVSPC, SPT, SPM, AS1 (screen, reader), AS2
    (screen, reader), CANBERRA, ANS, SEN, NCL, SNF, KODAQ.
  * Channel counts the writers refuse (6): CHN outside 511..16384;
    GammaVision outside 255..16384 after padding to a multiple of 32;
    CANBERRA, SPM, ANS, KODAQ outside 256..8192.  NCL, SNF (cut or padded
    to 1024) and SPT write any count.  Also refused: NCL a negative count,
    SNF a negative count or one whose single is 2^31 or more, KODAQ a count
    outside -32768..32767, CHN ticks (seconds x 50, halves to even) outside
    32 bits, CHN/GammaVision/SPT a start channel outside 16 bits after
    rounding halves to even.
  * Readers need the bytes they read (a short file is 1); CANBERRA needs
    exactly 512 + 4 x channels bytes, ANS exactly 1536 + 4 x (channels - f)
    with 0 <= f <= channels, NCL and SNF exactly 4096.  The NCL reader
    refuses a file name ending in "snf" (any letter case); the name is the
    path given to the reader (the "file" of a read entry).
  * Recognised dates (blanks trimmed; English month names, any case, three
    letters or in full): D-MMM-YY(YY) with "-", " ", "/" or "." between the
    parts, DDMMMYY(YY), M/D/YY(YY), YYYY-MM-DD, D.M.YY(YY); the day must
    exist; years 00..29 are 2000..2029, 30..99 are 1930..1999, four-digit
    years 1000..9999.  Recognised times (blanks and NULs trimmed): H:MM or
    H:MM:SS, then an optional ".ddd" (dropped) and an optional AM/PM with
    or without one blank (H then 1..12).
  * CHN: ticks / 50 as the shortest text of that double, without ".0"; gain
    exactly 1.0 reads as 0 and 0 is written as 1.0; the time text is
    hh:mm:ss with trailing ":", NUL and blanks dropped (":" becomes empty).
    Writer: recognised date "ddMmmyy" with century byte "1" from 2000 on,
    else the text cut/padded to 7 and byte 0; seconds NUL NUL when AcqTime
    has exactly 6 characters, else the recognised seconds, else the text
    cut/padded to 2; "hhmm" likewise.  Trailer -101, 0, offset, gain, 500
    zero bytes.
  * GammaVision: any record 1..256 that lies inside the file may hold the
    acquisition, description and calibration data and the first data
    record; times as the shortest text of the single; the date as the
    characters 1-7 and 2000 + the number in 8-9 when the 10th is "1", else
    the first 9 characters.  Writer: channels padded with zeros to a
    multiple of 32, the file's own name (16), "DD-MMM-YY" + century flag
    for a recognised date, SpecId padded to 128.
  * KODAQ writer: KodaqId/KodaqMem when KodaqMem begins with "MEM" (any
    case), otherwise four zero bytes and "MEM1".  Texts read untrimmed.
  * ANS: the date-time number (days since 1899-12-30) read as "MM/DD/YY"
    and "HH:MM:SS" (seconds rounded; 86400 moves to the next day; not finite
    or outside the years 100..9999: both empty); version as decimal text;
    times as the shortest text of the double.  Writer: empty SpecId becomes
    "Generated by Durnix 1.52."; the number is 0 unless the trimmed date
    and time are both recognised or empty (and not both empty).
  * SPT: the date-time number of the 1023 record as its shortest text, date
    = first 6, time = last 6 characters, trimmed; records checked by length,
    unknown tags, a short or negative length and a missing 1022 record give
    1; the start channel comes from the sub-headers while it is 0;
    calibration rounded to singles; no 1014 record reads 0 channels.
  * CANBERRA writer: SpecId without trailing blanks, cut/padded to 16;
    CANBERRA and SPM readers trim blanks and tabs.
  * Names: a writer replaces the text after the first "." of the file's own
    name (GammaVision: after the last "."; a dot that begins the name is
    part of it) by its extension (CANBERRA: ".MCA").
  * Values that the layouts leave open (a count the writers refuse only
    beyond the 1024 written channels, date-time numbers before 1899-12-30,
    texts whose positional form is longer than the scientific one, tabs at
    the ends of texts trimmed by GammaVision, ANS and SPT) raise Undecided:
    no file of the corpus reaches them.
"""

import datetime
import decimal
import hashlib
import json
import math
import os
import sys
import re
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = HERE  # where the corpus is written: here, or a temporary folder for --check

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


def split_slash(s, second_without_slash="", last=False):
    """Splits "first/second".  Date and time texts are split at the last slash:
    a date may hold slashes itself (12/31/1999), a time never does."""
    s = trim_blanks(s)
    if s == "":
        return "", ""
    i = s.rfind("/") if last else s.find("/")
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
                    rec["AcqDate"], rec["AcqTime"] = split_slash(s, last=True)
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
    for x in singles:
        # a single of 2^31 or more could not be read back as a count
        if f32(x) >= 2.0 ** 31:
            raise WriteFail(6)
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
    rec["AcqDate"], rec["AcqTime"] = split_slash(latin(data[103:183]), last=True)
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
# Dates, times and number texts shared by the binary layouts
# ---------------------------------------------------------------------------

MONTH_NAMES = ["january", "february", "march", "april", "may", "june",
               "july", "august", "september", "october", "november",
               "december"]
MONTH_CAP = [m[:3].capitalize() for m in MONTH_NAMES]     # "Jan" .. "Dec"
MONTH_UP = [m[:3].upper() for m in MONTH_NAMES]           # "JAN" .. "DEC"


def month_number(word):
    w = word.lower()
    for i, name in enumerate(MONTH_NAMES):
        if w == name or w == name[:3]:
            return i + 1
    return 0


def year_value(ys):
    """Two-digit years 00..29 are 2000..2029, 30..99 are 1930..1999; four
    digits are taken as they are (1000..9999)."""
    y = int(ys)
    if len(ys) == 2:
        return 2000 + y if y <= 29 else 1900 + y
    if len(ys) == 4 and 1000 <= y <= 9999:
        return y
    return None


def leap(y):
    return y % 4 == 0 and (y % 100 != 0 or y % 400 == 0)


def month_days(y, m):
    if m == 2:
        return 29 if leap(y) else 28
    return 30 if m in (4, 6, 9, 11) else 31


def checked_date(y, m, d):
    if y is None or not 1 <= m <= 12:
        return None
    if not 1 <= d <= month_days(y, m):
        return None
    return (y, m, d)


RE_DATE_A = re.compile(r"([0-9]{1,2})([-/. ])([A-Za-z]+)([-/. ])"
                       r"([0-9]{2}|[0-9]{4})")
RE_DATE_B = re.compile(r"([0-9]{2})([A-Za-z]+)([0-9]{2}|[0-9]{4})")
RE_DATE_C = re.compile(r"([0-9]{1,2})/([0-9]{1,2})/([0-9]{2}|[0-9]{4})")
RE_DATE_D = re.compile(r"([0-9]{4})-([0-9]{2})-([0-9]{2})")
RE_DATE_E = re.compile(r"([0-9]{1,2})\.([0-9]{1,2})\.([0-9]{2}|[0-9]{4})")
RE_TIME = re.compile(r"([0-9]{1,2}):([0-9]{2})(:[0-9]{2})?(\.[0-9]+)?"
                     r"( *)([AaPp][Mm])?")


def recognise_date(text):
    """(year, month, day) of a recognised date text, else None."""
    t = text.strip(" \t")
    m = RE_DATE_A.fullmatch(t)
    if m:
        if m.group(2) != m.group(4):
            raise Undecided("date with two different separators")
        mon = month_number(m.group(3))
        if mon == 0:
            return None
        return checked_date(year_value(m.group(5)), mon, int(m.group(1)))
    m = RE_DATE_B.fullmatch(t)
    if m:
        mon = month_number(m.group(2))
        if mon == 0:
            return None
        return checked_date(year_value(m.group(3)), mon, int(m.group(1)))
    m = RE_DATE_C.fullmatch(t)
    if m:
        return checked_date(year_value(m.group(3)), int(m.group(1)),
                            int(m.group(2)))
    m = RE_DATE_D.fullmatch(t)
    if m:
        return checked_date(year_value(m.group(1)), int(m.group(2)),
                            int(m.group(3)))
    m = RE_DATE_E.fullmatch(t)
    if m:
        return checked_date(year_value(m.group(3)), int(m.group(2)),
                            int(m.group(1)))
    return None


def recognise_time(text):
    """(hour, minute, second) of a recognised time text, else None."""
    t = text.strip(" \t\0")
    m = RE_TIME.fullmatch(t)
    if not m:
        return None
    h, mi = int(m.group(1)), int(m.group(2))
    s = int(m.group(3)[1:]) if m.group(3) else 0
    if m.group(4) and (not m.group(3) or len(m.group(4)) != 4):
        raise Undecided("fraction of a second other than .ddd after ss")
    if len(m.group(5)) > 1 or (m.group(5) and not m.group(6)):
        raise Undecided("several blanks before AM/PM")
    if mi > 59 or s > 59:
        return None
    if m.group(6):
        if not 1 <= h <= 12:
            return None
        pm = m.group(6).upper() == "PM"
        h = (0 if h == 12 else h) + (12 if pm else 0)
    elif h > 23:
        return None
    return (h, mi, s)


EPOCH_ORDINAL = datetime.date(1899, 12, 30).toordinal()


def day_number(ymd):
    return datetime.date(*ymd).toordinal() - EPOCH_ORDINAL


def shortest_text(x, single):
    """Shortest decimal text that reads back as the same single (or double),
    positional, without a trailing ".0"."""
    if x != x or x in (float("inf"), float("-inf")):
        raise Undecided("text of a value that is not finite")
    if x == 0:
        if math.copysign(1.0, x) < 0:
            raise Undecided("text of -0")
        return "0"
    if single:
        x = f32(x)
        for p in range(1, 10):
            s = "%.*e" % (p - 1, x)
            if f32(float(s)) == x:
                break
    else:
        s = repr(x)
    d = decimal.Decimal(s)
    fixed = format(d, "f")
    if "." in fixed:
        fixed = fixed.rstrip("0").rstrip(".")
    # the scientific form of the same digits; a value whose scientific form
    # is shorter than the positional one is kept out of the corpus
    tup = d.normalize().as_tuple()
    nd = len(tup.digits)
    exp = tup.exponent + nd - 1
    sci = (nd + (1 if nd > 1 else 0) + (1 if x < 0 else 0) + 2 +
           max(2, len(str(abs(exp)))))
    if len(fixed) > sci:
        raise Undecided("positional text longer than scientific: " + fixed)
    return fixed


def trim_text(s):
    """Blanks trimmed at both ends; texts whose result would depend on
    whether tabs count as blanks are kept out of the corpus."""
    if s.strip(" ") != s.strip(" \t"):
        raise Undecided("tab at the end of a trimmed text")
    return s.strip(" ")


def round_int16_w(x):
    """StartCh into a 16-bit field of a file: halves to even, else 6."""
    if x != x or x in (float("inf"), float("-inf")):
        raise Undecided("start channel not finite")
    r = round(x)
    if r < -32768 or r > 32767:
        raise WriteFail(6)
    return r


def pack_f32(x):
    try:
        return struct.pack("<f", x)
    except OverflowError:
        raise Undecided("value beyond the range of a single")


def le_h(b, off):
    return struct.unpack("<h", b[off:off + 2])[0]


def le_i(b, off):
    return struct.unpack("<i", b[off:off + 4])[0]


def le_f(b, off):
    return struct.unpack("<f", b[off:off + 4])[0]


def le_d(b, off):
    return struct.unpack("<d", b[off:off + 8])[0]


def ints_le(b, off, n):
    return list(struct.unpack("<%di" % n, b[off:off + 4 * n]))


def writer_name(base, key):
    """The file's own name after a writer has put its extension on it.  A
    dot that begins the name belongs to the name."""
    ext = EXTENSION[key]
    if key == "GVSPC":
        i = base.rfind(".")
    else:
        i = base.find(".", 1)
    if i <= 0:
        return base + "." + ext
    return base[:i + 1] + ext


# ---------------------------------------------------------------------------
# Maestro CHN
# ---------------------------------------------------------------------------

def chn_ticks(text):
    v = numeric_prefix(text) * 50.0
    if v != v or v in (float("inf"), float("-inf")):
        raise Undecided("ticks not finite")
    r = round(v)
    if r < INT32_MIN or r > INT32_MAX:
        raise WriteFail(6)
    return r


def write_chn(rec, name=""):
    n = rec["ChannelCount"]
    if n < 511 or n > 16384:
        raise WriteFail(6)
    real = chn_ticks(rec["RealTime"])
    live = chn_ticks(rec["LiveTime"])
    start = round_int16_w(rec["StartCh"])
    d = recognise_date(rec["AcqDate"])
    if d:
        date = tobytes("%02d%s%02d" % (d[2], MONTH_CAP[d[1] - 1], d[0] % 100))
        century = b"1" if d[0] >= 2000 else b"\0"
    else:
        date = fixed_text(rec["AcqDate"], 7)
        century = b"\0"
    acqtime = rec["AcqTime"]
    t = recognise_time(acqtime)
    if len(acqtime) == 6:
        secs = b"\0\0"
    elif t:
        secs = tobytes("%02d" % t[2])
    else:
        secs = fixed_text(acqtime, 2)
    hhmm = tobytes("%02d%02d" % (t[0], t[1])) if t else fixed_text(acqtime, 4)
    gain = rec["CalGain"] if rec["CalGain"] != 0 else 1.0
    out = struct.pack("<hhh", -1, 1, 1) + secs + struct.pack("<ii", real, live)
    out += date + century + hhmm + struct.pack("<hh", start, n)
    assert len(out) == 32
    out += struct.pack("<%di" % n, *rec["Counts"][:n])
    out += struct.pack("<hh", -101, 0) + pack_f32(rec["CalOffset"])
    out += pack_f32(gain) + bytes(500)
    return out


def read_chn(data, name=""):
    if len(data) < 32:
        raise ReadFail(1)
    n = le_h(data, 30)
    if le_h(data, 0) != -1 or n < 511 or n > 16384:
        raise ReadFail(1)
    if len(data) < 32 + 4 * n + 12:
        raise ReadFail(1)
    rec = fresh()
    rec["AcqDate"] = latin(data[16:23])
    t = (latin(data[24:26]) + ":" + latin(data[26:28]) + ":" +
         latin(data[6:8]))
    while len(t) > 1 and t[-1] in ":\0 ":
        t = t[:-1]
    if t in (":", "::"):
        t = ""
    rec["AcqTime"] = t
    rec["RealTime"] = shortest_text(le_i(data, 8) / 50.0, False)
    rec["LiveTime"] = shortest_text(le_i(data, 12) / 50.0, False)
    rec["StartCh"] = float(le_h(data, 28))
    rec["Counts"] = ints_le(data, 32, n)
    rec["ChannelCount"] = n
    tr = 32 + 4 * n
    rec["CalOffset"] = le_f(data, tr + 4)
    gain = le_f(data, tr + 8)
    rec["CalGain"] = 0.0 if gain == 1.0 else gain
    return rec


# ---------------------------------------------------------------------------
# GammaVision SPC
# ---------------------------------------------------------------------------

def gv_date_field(acqdate):
    d = recognise_date(acqdate)
    if d:
        s = "%02d-%s-%02d%s" % (d[2], MONTH_UP[d[1] - 1], d[0] % 100,
                                "1" if d[0] >= 2000 else "0")
        return fixed_text(s, 12)
    return fixed_text(acqdate, 12)


def write_gv(rec, name):
    n = rec["ChannelCount"]
    padded = (n + 31) // 32 * 32
    if padded < 255 or padded > 16384:
        raise WriteFail(6)
    start = round_int16_w(rec["StartCh"])
    nrec = padded // 32
    last = 40 + nrec - 1
    h = struct.pack("<6h", 1, 1, 1, 0, 2, 3) + bytes(22)
    h += struct.pack("<h", 5) + bytes(18)
    h += struct.pack("<hh", last, last) + b"  "
    h += struct.pack("<4h", 40, nrec, padded, start) + bytes(20)
    h += struct.pack("<h", start)
    h += pack_f32(numeric_prefix(rec["RealTime"]))
    h += pack_f32(numeric_prefix(rec["LiveTime"])) + bytes(30)
    assert len(h) == 128
    r2 = (fixed_text(name, 16) + gv_date_field(rec["AcqDate"]) +
          fixed_text(rec["AcqTime"], 10) + bytes(90))
    r3 = fixed_text(rec["SpecId"], 128)
    r4 = bytes(128)
    r5 = (bytes(20) + pack_f32(rec["CalOffset"]) + pack_f32(rec["CalGain"]) +
          bytes(100))
    out = h + r2 + r3 + r4 + r5 + bytes(34 * 128)
    assert len(out) == 39 * 128
    counts = list(rec["Counts"][:n]) + [0] * (padded - n)
    out += struct.pack("<%di" % padded, *counts)
    return out


def read_gv(data, name=""):
    size = len(data)
    if size < 128:
        raise ReadFail(1)
    dtype = le_h(data, 2)
    acq, desc, cal = le_h(data, 8), le_h(data, 10), le_h(data, 34)
    first, nrec, n = le_h(data, 60), le_h(data, 62), le_h(data, 64)
    if le_h(data, 0) != 1 or dtype not in (1, 5):
        raise ReadFail(1)
    if n < 255 or n > 16384 or n * 4 != nrec * 128:
        raise ReadFail(1)
    for r in (acq, desc, cal):
        if r < 1 or r > 256 or r * 128 > size:
            raise ReadFail(1)
    if first < 1 or first > 256 or (first - 1) * 128 + 4 * n > size:
        raise ReadFail(1)
    rec = fresh()
    rec["ChannelCount"] = n
    rec["StartCh"] = float(le_h(data, 66))
    rec["RealTime"] = shortest_text(le_f(data, 90), True)
    rec["LiveTime"] = shortest_text(le_f(data, 94), True)
    a = (acq - 1) * 128
    date = latin(data[a + 16:a + 28])
    if date[9] == "1":
        y = numeric_prefix(date[7:9]) + 2000
        if y != int(y):
            raise Undecided("year digits with a fraction")
        rec["AcqDate"] = date[:7] + str(int(y))
    else:
        rec["AcqDate"] = date[:9]
    rec["AcqTime"] = latin(data[a + 28:a + 38])
    ds = (desc - 1) * 128
    rec["SpecId"] = trim_text(latin(data[ds:ds + 128]))
    c = (cal - 1) * 128
    rec["CalOffset"] = le_f(data, c + 20)
    rec["CalGain"] = le_f(data, c + 24)
    p = (first - 1) * 128
    if dtype == 1:
        rec["Counts"] = ints_le(data, p, n)
    else:
        rec["Counts"] = [round_int32(v) for v in
                         struct.unpack("<%df" % n, data[p:p + 4 * n])]
    return rec


# ---------------------------------------------------------------------------
# CANBERRA and Old Oxford SPM (512-byte header, int32 data)
# ---------------------------------------------------------------------------

def strip_tabs(s):
    return s.strip(" \t")


def write_canberra(rec, name=""):
    n = rec["ChannelCount"]
    if n < 256 or n > 8192:
        raise WriteFail(6)
    sid = rec["SpecId"]
    if sid.rstrip(" ") != sid.rstrip(" \t"):
        raise Undecided("identifier ending in a tab")
    h = (bytes(6) + fixed_text(sid.rstrip(" "), 16) +
         fixed_text(rec["AcqDate"], 11) + b"\0" +
         fixed_text(rec["AcqTime"], 11) + bytes(221) +
         struct.pack("<h", n) + bytes(244))
    assert len(h) == 512
    return h + struct.pack("<%di" % n, *rec["Counts"][:n])


def read_canberra(data, name=""):
    if len(data) < 512:
        raise ReadFail(1)
    n = le_h(data, 266)
    if n < 256 or n > 8192 or len(data) != 512 + 4 * n:
        raise ReadFail(1)
    rec = fresh()
    rec["Counts"] = ints_le(data, 512, n)
    rec["ChannelCount"] = n
    rec["SpecId"] = strip_tabs(latin(data[6:22]))
    rec["AcqDate"] = strip_tabs(latin(data[22:33]))
    rec["AcqTime"] = strip_tabs(latin(data[34:45]))
    return rec


def write_spm(rec, name=""):
    n = rec["ChannelCount"]
    if n < 256 or n > 8192:
        raise WriteFail(6)
    h = (bytes(3) + b"\xff" + bytes(4) + fixed_text(rec["SpecId"], 14) +
         fixed_text(rec["AcqDate"], 11) + b"\0" +
         fixed_text(rec["AcqTime"], 11) + bytes(221) +
         struct.pack("<h", n) + bytes(244))
    assert len(h) == 512
    return h + struct.pack("<%di" % n, *rec["Counts"][:n])


def read_spm(data, name=""):
    if len(data) < 512:
        raise ReadFail(1)
    n = le_h(data, 266)
    if data[3] != 0xFF or n < 256 or n > 8192:
        raise ReadFail(1)
    if len(data) < 512 + 4 * n:
        raise ReadFail(1)
    rec = fresh()
    rec["Counts"] = ints_le(data, 512, n)
    rec["ChannelCount"] = n
    rec["SpecId"] = strip_tabs(latin(data[8:22]))
    rec["AcqDate"] = strip_tabs(latin(data[22:33]))
    rec["AcqTime"] = strip_tabs(latin(data[34:45]))
    return rec


# ---------------------------------------------------------------------------
# KODAQ
# ---------------------------------------------------------------------------

def write_kodaq(rec, name=""):
    n = rec["ChannelCount"]
    if n < 256 or n > 8192:
        raise WriteFail(6)
    counts = rec["Counts"][:n]
    for c in counts:
        if c < -32768 or c > 32767:
            raise WriteFail(6)
    mem = rec["KodaqMem"]
    if mem[:3].upper() == "MEM":
        idb = fixed_text(rec["KodaqId"], 4)
        memb = fixed_text(mem, 4)
    else:
        idb = bytes(4)
        memb = b"MEM1"
    h = (idb + fixed_text(rec["SpecId"], 12) + bytes(8) +
         fixed_text(str(n), 4) + b"\0" + fixed_text(rec["AcqDate"], 7) +
         bytes(5) + fixed_text(rec["AcqTime"], 8) + memb + bytes(9) +
         b"ADC" + bytes(63))
    assert len(h) == 128
    return h + struct.pack("<%dh" % n, *counts)


def read_kodaq(data, name=""):
    if len(data) < 128:
        raise ReadFail(1)
    v = numeric_prefix(latin(data[24:28]))
    n = round(v)
    if n < 256 or n > 8192:
        raise ReadFail(1)
    if len(data) < 128 + 2 * n:
        raise ReadFail(1)
    mem = latin(data[49:53])
    if mem[:3].upper() != "MEM":
        raise ReadFail(1)
    rec = fresh()
    rec["Counts"] = list(struct.unpack("<%dh" % n, data[128:128 + 2 * n]))
    rec["ChannelCount"] = n
    rec["KodaqId"] = latin(data[0:4])
    rec["SpecId"] = latin(data[4:16])
    rec["AcqDate"] = latin(data[29:36])
    rec["AcqTime"] = latin(data[41:49])
    rec["KodaqMem"] = mem
    return rec


# ---------------------------------------------------------------------------
# NUCLEUS NCL and Charles Evans SNF
# ---------------------------------------------------------------------------

def counts_1024(rec, bad):
    """The 1024 channels written (cut or padded with zeros); a count that
    the writer refuses among them is status 6.  Refused values only among
    the channels that are not written are kept out of the corpus."""
    n = rec["ChannelCount"]
    counts = list(rec["Counts"][:n])
    for i, c in enumerate(counts):
        if bad(c):
            if i < 1024:
                raise WriteFail(6)
            raise Undecided("refused count beyond channel 1024")
    counts = counts[:1024]
    return counts + [0] * (1024 - len(counts))


def write_ncl(rec, name=""):
    return struct.pack("<1024i", *counts_1024(rec, lambda c: c < 0))


def write_snf(rec, name=""):
    counts = counts_1024(rec, lambda c: c < 0 or f32(float(c)) >= 2.0 ** 31)
    return struct.pack("<1024f", *[float(c) for c in counts])


def read_ncl(data, name=""):
    if name[-3:].lower() == "snf":
        raise ReadFail(1)
    if len(data) != 4096:
        raise ReadFail(1)
    vals = ints_le(data, 0, 1024)
    if min(vals) < 0:
        raise ReadFail(1)
    rec = fresh()
    rec["Counts"] = vals
    rec["ChannelCount"] = 1024
    return rec


def read_snf(data, name=""):
    if len(data) != 4096:
        raise ReadFail(1)
    vals = []
    for x in struct.unpack("<1024f", data):
        v = round_int32(x)
        if v < 0:
            raise ReadFail(1)
        vals.append(v)
    rec = fresh()
    rec["Counts"] = vals
    rec["ChannelCount"] = 1024
    return rec


# ---------------------------------------------------------------------------
# QuantumX ANS
# ---------------------------------------------------------------------------

ANS_DEFAULT_ID = "Generated by Durnix 1.52."
ORD_MIN = datetime.date(100, 1, 1).toordinal()
ORD_MAX = datetime.date(9999, 12, 31).toordinal()


def ans_datetime_texts(x):
    """("MM/DD/YY", "HH:MM:SS") of a date-time number (days since
    1899-12-30, fraction = time of day)."""
    if x != x or x in (float("inf"), float("-inf")):
        return "", ""
    if x < 0:
        raise Undecided("date-time number before 1899-12-30")
    if x > 1e7:
        return "", ""
    day = math.floor(x)
    frac = (x - day) * 86400.0
    if abs(frac - math.floor(frac) - 0.5) < 1e-6:
        raise Undecided("time of day half-way between two seconds")
    secs = int(round(frac))
    if secs == 86400:
        day += 1
        secs = 0
    ordinal = EPOCH_ORDINAL + int(day)
    if ordinal < ORD_MIN or ordinal > ORD_MAX:
        return "", ""
    d = datetime.date.fromordinal(ordinal)
    return ("%02d/%02d/%02d" % (d.month, d.day, d.year % 100),
            "%02d:%02d:%02d" % (secs // 3600, secs // 60 % 60, secs % 60))


def ans_datetime_number(acqdate, acqtime):
    if "\0" in acqtime:
        raise Undecided("NUL in the time text of a QuantumX file")
    dp = acqdate.strip(" \t")
    tp = acqtime.strip(" \t")
    if dp == "" and tp == "":
        return 0.0
    d = recognise_date(dp) if dp else None
    t = recognise_time(tp) if tp else None
    if (dp and not d) or (tp and not t):
        return 0.0
    days = float(day_number(d)) if d else 0.0
    if days < 0:
        raise Undecided("date before 1899-12-30")
    secs = t[0] * 3600 + t[1] * 60 + t[2] if t else 0
    return days + secs / 86400.0


def write_ans(rec, name):
    n = rec["ChannelCount"]
    if n < 256 or n > 8192:
        raise WriteFail(6)
    sid = rec["SpecId"] if rec["SpecId"] != "" else ANS_DEFAULT_ID
    h = struct.pack("<h", 2) + fixed_text(sid, 72) + bytes(6)
    h += struct.pack("<dddd",
                     ans_datetime_number(rec["AcqDate"], rec["AcqTime"]),
                     0.0, numeric_prefix(rec["RealTime"]),
                     numeric_prefix(rec["LiveTime"]))
    h += bytes(142) + struct.pack("<hh", n, 1) + bytes(110)
    h += fixed_text("PCA3:00", 16) + struct.pack("<h", 5) + bytes(470)
    h += pack_f32(rec["CalGain"]) + pack_f32(rec["CalOffset"]) + bytes(144)
    h += struct.pack("<hh", 0, n - 1) + bytes(12)
    h += fixed_text(name, 256) + bytes(256)
    assert len(h) == 1536
    return h + struct.pack("<%di" % n, *rec["Counts"][:n])


def read_ans(data, name=""):
    if len(data) < 1536:
        raise ReadFail(1)
    n = le_h(data, 254)
    f = le_h(data, 1008)
    if n < 256 or n > 8192 or f < 0 or f > n:
        raise ReadFail(1)
    if len(data) != 1536 + 4 * (n - f):
        raise ReadFail(1)
    rec = fresh()
    rec["Version"] = str(le_h(data, 0))
    rec["SpecId"] = trim_text(latin(data[2:74]))
    rec["AcqDate"], rec["AcqTime"] = ans_datetime_texts(le_d(data, 80))
    rec["RealTime"] = shortest_text(le_d(data, 96), False)
    rec["LiveTime"] = shortest_text(le_d(data, 104), False)
    rec["CalGain"] = le_f(data, 856)
    rec["CalOffset"] = le_f(data, 860)
    rec["Counts"] = [0] * f + ints_le(data, 1536, n - f)
    rec["ChannelCount"] = n
    return rec


# ---------------------------------------------------------------------------
# New Oxford SPT
# ---------------------------------------------------------------------------

SPT_LENGTHS = {1015: 42, 1016: 58, 1017: 86, 1018: 26, 1019: 18, 1020: 14,
               1021: 2, 2048: 30, 2049: 22, 1022: 0}
SPT_NO_SUBHEADER = (1021, 1022, 1023)


def spt_record(tag, body, length=None):
    if length is None:
        length = len(body)
    return struct.pack("<hi", tag, length) + body


def write_spt(rec, name=""):
    n = rec["ChannelCount"]
    start = round_int16_w(rec["StartCh"])
    sub = struct.pack("<hhh", 0, start, n)
    t = trim_text(rec["AcqTime"])
    d = trim_text(rec["AcqDate"])
    out = spt_record(1023, struct.pack("<d", 0.0) +
                     fixed_text("Durnix v1.52", 64) + struct.pack("<d", 0.0) +
                     bytes(4) + b" " * 44)
    out += spt_record(1015, sub + b"    " +
                      struct.pack("<dddd", rec["CalOffset"], rec["CalGain"],
                                  0.0, 0.0))
    out += spt_record(1016, sub + fixed_text(t, 13) + fixed_text(d, 13) +
                      fixed_text(t, 13) + fixed_text(d, 13))
    out += spt_record(1017, sub + fixed_text(trim_text(rec["SpecId"]), 80))
    out += spt_record(1018, sub + bytes(20))
    out += spt_record(1019, sub + bytes(12))
    out += spt_record(1020, sub + struct.pack("<4h", 0, 0, 0, 0))
    out += spt_record(1021, struct.pack("<h", 1))
    out += spt_record(2048, sub + b" " + bytes(23))
    out += spt_record(2049, sub + b" " + bytes(15))
    out += spt_record(1014, sub + struct.pack("<%di" % n,
                                              *rec["Counts"][:n]))
    out += spt_record(1022, b"")
    return out


def read_spt(data, name=""):
    size = len(data)
    if size < 6 + 128:
        raise ReadFail(1)
    tag, length = struct.unpack("<hi", data[0:6])
    if tag != 1023 or length != 128:
        raise ReadFail(1)
    rec = fresh()
    dt = shortest_text(le_d(data, 6), False)
    rec["AcqDate"] = trim_text(dt[:6])
    rec["AcqTime"] = trim_text(dt[-6:])
    counts = []
    pos = 6 + 128
    while True:
        if pos + 6 > size:
            raise ReadFail(1)
        tag, length = struct.unpack("<hi", data[pos:pos + 6])
        if length < 0 or pos + 6 + length > size:
            raise ReadFail(1)
        body = data[pos + 6:pos + 6 + length]
        pos += 6 + length
        if tag in SPT_LENGTHS:
            if length != SPT_LENGTHS[tag]:
                raise ReadFail(1)
        elif tag == 2050:
            if length < 6 or length % 2:
                raise ReadFail(1)
        elif tag == 1014:
            if length < 6:
                raise Undecided("data record shorter than its sub-header")
            if (length - 6) % 4 or (length - 6) // 4 > 32767:
                raise ReadFail(1)
        else:
            raise ReadFail(1)
        if tag == 1022:
            break
        if tag not in SPT_NO_SUBHEADER and rec["StartCh"] == 0:
            rec["StartCh"] = float(le_h(body, 2))
        if tag == 1015:
            rec["CalOffset"] = f32(le_d(body, 10))
            rec["CalGain"] = f32(le_d(body, 18))
        elif tag == 1016:
            rec["AcqTime"] = trim_text(latin(body[6:19]))
            rec["AcqDate"] = trim_text(latin(body[19:32]))
        elif tag == 1017:
            rec["SpecId"] = trim_text(latin(body[6:86]))
        elif tag == 1020:
            if le_h(body, 12) >= 2:
                raise ReadFail(1)
        elif tag == 1014:
            counts = ints_le(body, 6, (length - 6) // 4)
    rec["Counts"] = counts
    rec["ChannelCount"] = len(counts)
    return rec


# ---------------------------------------------------------------------------
# Readers, writers, detection
# ---------------------------------------------------------------------------

# catalogue order (codes 1 to 13), also the order of detection
KEYS = ["RBS", "CHN", "GVSPC", "SPT", "SPM", "AS1", "AS2", "CANBERRA", "ANS",
        "SEN", "NCL", "SNF", "KODAQ"]
NEW_KEYS = ["CHN", "GVSPC", "SPT", "SPM", "CANBERRA", "ANS", "NCL", "SNF",
            "KODAQ"]
DISPLAY.update({
    "CHN": "EG&G Maestro II (CHN)",
    "GVSPC": "EG&G GammaVision (SPC)",
    "SPT": "New Oxford (SPT)",
    "SPM": "Old Oxford (SPM or PCA)",
    "CANBERRA": "CANBERRA (SPC)",
    "ANS": "QuantumX (ANS)",
    "NCL": "NUCLEUS (NCL)",
    "SNF": "Charles Evans Hypra (SNF)",
    "KODAQ": "KODAQ (SPC)",
})
EXTENSION = {"RBS": "RBS", "CHN": "CHN", "GVSPC": "SPC", "SPT": "SPT",
             "SPM": "SPM", "AS1": "AS1", "AS2": "AS2", "CANBERRA": "MCA",
             "ANS": "ANS", "SEN": "SEN", "NCL": "NCL", "SNF": "SNF",
             "KODAQ": "SPC"}
FOLDER = {"CHN": "chn", "GVSPC": "gvspc", "SPT": "spt", "SPM": "spm",
          "CANBERRA": "canberra", "ANS": "ans", "NCL": "ncl", "SNF": "snf",
          "KODAQ": "kodaq"}

READERS = {"RBS": read_rbs, "AS1": read_as1, "AS2": read_as2, "SEN": read_sen}
WRITERS = {"RBS": write_rbs, "AS1": write_as1, "AS2": write_as2,
           "SEN": write_sen}
# the readers below also take the file name (the NCL reader looks at it),
# the writers the written file's own name (GammaVision and QuantumX store it)
NEW_READERS = {"CHN": read_chn, "GVSPC": read_gv, "SPT": read_spt,
               "SPM": read_spm, "CANBERRA": read_canberra, "ANS": read_ans,
               "NCL": read_ncl, "SNF": read_snf, "KODAQ": read_kodaq}
NEW_WRITERS = {"CHN": write_chn, "GVSPC": write_gv, "SPT": write_spt,
               "SPM": write_spm, "CANBERRA": write_canberra, "ANS": write_ans,
               "NCL": write_ncl, "SNF": write_snf, "KODAQ": write_kodaq}


def read_key(key, data, name=""):
    if key in NEW_READERS:
        return NEW_READERS[key](data, name)
    return READERS[key](data)


def write_key(key, rec, name=""):
    """Bytes of the file that the writer of key makes from rec; name is the
    written file's own name (after the writer's naming rule)."""
    if key in NEW_WRITERS:
        return NEW_WRITERS[key](rec, name)
    return WRITERS[key](rec)


def convert_key(source_key, dest, rec, name=""):
    """Bytes that one file of a Convert run writes for a record read as
    source_key (the format chosen, or the one detected), as durnix-cli runs
    it with --yes (answering Yes to the 1024-channel question), without stamp
    mode and without an axis conversion:
      * Oxford counts keep their lowest 24 bits unless the destination is an
        Oxford format too;
      * an empty SpecId becomes "Converted using Durnix v1.52";
      * KODAQ takes counts 0..65535 only, the Oxford formats 0..16777215 when
        the source is AS1, AS2 or CANBERRA (otherwise status 6, no file);
      * then the destination writer."""
    rec = dict(rec)
    rec["Counts"] = list(rec["Counts"])
    oxford = ("SPT", "SPM")
    if source_key in oxford and dest not in oxford:
        rec["Counts"] = [c & 0xFFFFFF for c in rec["Counts"]]
    if rec["SpecId"] == "":
        rec["SpecId"] = "Converted using Durnix v1.52"
    if dest == "KODAQ" and any(c < 0 or c > 65535 for c in rec["Counts"]):
        raise WriteFail(6)  # a count outside 0..65535 for KODAQ
    if (dest in oxford and source_key in ("AS1", "AS2", "CANBERRA") and
            any(c < 0 or c > 16777215 for c in rec["Counts"])):
        raise WriteFail(6)  # a count outside 24 bits for an Oxford format
    return write_key(dest, rec, name)


def run_reader(key, data, name=""):
    try:
        return 0, read_key(key, data, name)
    except ReadFail as e:
        return e.status, None


def detect(data, name=""):
    for key in KEYS:
        if key == "AS1" and not screen_as1(data):
            continue
        if key == "AS2" and not screen_as2(data):
            continue
        st, rec = run_reader(key, data, name)
        if st == 0:
            return 0, DISPLAY[key], rec
        if st == 3 and key == "RBS":
            return 3, "", None
    return 4, "", None


def read_as(source_from, data, name=""):
    if source_from == "AUTO":
        return detect(data, name)
    st, rec = run_reader(source_from, data, name)
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

    # Month-first dates hold slashes; the time follows the last one.
    data = (rbs_header() +
            rbs_text_record(257, "us date") +
            rbs_text_record(259, "12/31/1999/23:59:58") + spectrum_recs)
    files.append(("date_slashes", data, 0,
                  "date 12/31/1999 and time 23:59:58 split at the last slash"))

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
    files.append(("date_slashes", sen_bytes(
        "VERSION 1.2", "us date", "12/31/99 / 23:59:58", 2.0, 20.0,
        2.0371, 42.5, 10.0, 170.0, 5.0, 1.0, "873.5/900", 15.0, 0, 2, 1024,
        [float(i % 50) for i in range(1024)]), 0,
        "date 12/31/99 and time 23:59:58 split at the last slash"))
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
# Written records of the binary layouts
# ---------------------------------------------------------------------------

def peak_counts(n, centre, width, height, base=20):
    return [base + (i * 13) % 17 +
            int(height * math.exp(-0.5 * ((i - centre) / width) ** 2))
            for i in range(n)]


def new_written_records():
    r = {}
    # Maestro CHN
    r["ch511"] = make_record(
        ramp(511, 20, 113), SpecId="not stored in CHN", AcqDate="25Sep18",
        AcqTime="10:09:50", RealTime="1595.46", LiveTime="1416.06",
        CalGain=0.159543, CalOffset=0.367474)
    r["pm_date"] = make_record(
        ramp(512, 5, 61), SpecId="evening run", AcqDate="17-MAY-2001",
        AcqTime="9:05 PM", RealTime="20.02", LiveTime="19.98", CalGain=0,
        CalOffset=1.5, StartCh=-2)
    r["unrecognised"] = make_record(
        ramp(512, 7, 53), SpecId="texts that are no date or time",
        AcqDate="Tuesday", AcqTime="noon", RealTime="12.5", LiveTime="none",
        CalGain=0.5, CalOffset=-1)
    r["six_chars"] = make_record(
        ramp(512, 9, 41), SpecId="time text of six characters",
        AcqDate="1.2.03", AcqTime="12:30 ", RealTime="0.02", LiveTime="0.01",
        CalGain=1.25, StartCh=2.5)
    r["y1999"] = make_record(
        ramp(512, 11, 37), SpecId="last seconds of 1999",
        AcqDate="12/31/1999", AcqTime="11:59:58 pm", RealTime="3600",
        LiveTime="3599.98", CalGain=0.75, CalOffset=3)
    r["bad_day"] = make_record(
        ramp(512, 13, 29), SpecId="31 April", AcqDate="31/Apr/2001",
        AcqTime="24:00", RealTime="1", LiveTime="1", CalGain=1)
    # GammaVision SPC
    r["gv1000"] = make_record(
        peak_counts(1000, 661.7, 4.5, 2500), SpecId="1000 channels padded",
        AcqDate="17-May-1998", AcqTime="08:00:00", RealTime="905.42",
        LiveTime="900", CalGain=0.374436, CalOffset=0.578332, StartCh=5.5)
    r["gv16384"] = make_record(
        peak_counts(16384, 6265.0, 9.0, 14606, 3),
        SpecId="IAEA 433 marine sediment standard, 16384 channels",
        AcqDate="2014-02-11", AcqTime="13:14:46", RealTime="11595.8",
        LiveTime="10486.7", CalGain=0.212068)
    r["gv230"] = make_record(
        ramp(230, 100, 71),
        SpecId="230 channels padded to 256; " + "a description longer than "
               "the one hundred and twenty-eight characters of its record, "
               "cut there: 0123456789 abcdefghij",
        AcqDate="29 February 2000", AcqTime="7:04:05 am", RealTime="60",
        LiveTime="59.5", CalGain=0.1, CalOffset=-0.05)
    r["y1930"] = make_record(
        ramp(256, 3, 19), SpecId="two-digit year 30", AcqDate="28feb30",
        AcqTime="12:00:01AM", RealTime="1e2", LiveTime="99.5")
    # KODAQ
    mem7 = ramp(512, 0, 500)
    mem7[3], mem7[4], mem7[5], mem7[6] = -5, -32768, 32767, -1
    r["mem7"] = make_record(
        mem7, KodaqId="AB12", KodaqMem="mem7", SpecId="KODAQ memory seven",
        AcqDate="06DEC26", AcqTime="09:17:05")
    r["memlong"] = make_record(
        ramp(256, 1, 9), KodaqId="IDENTITY", KodaqMem="Memory",
        SpecId="short", AcqDate="6.12.2026", AcqTime="9:17:05 AM")
    r["nomem"] = make_record(
        ramp(300, 2, 23), KodaqId="QQQQ", KodaqMem="XEM1",
        SpecId="not a memory item")
    # NUCLEUS NCL and Charles Evans SNF
    r["n512"] = make_record([(i * 37) % 1000 for i in range(512)])
    n2048 = [(i * 53) % 4000 for i in range(2048)]
    n2048[10] = 16777217          # not exact as a single
    n2048[11] = 2147483520        # largest count kept exact in a single
    n2048[1023] = 123456789
    n2048[1024] = 987654
    r["n2048"] = make_record(n2048, SpecId="2048 channels")
    # QuantumX ANS
    r["ans_noid"] = make_record(
        ramp(256, 4, 31), AcqDate="someday", AcqTime="10:00",
        RealTime="905.42", LiveTime="900", CalGain=0.374436,
        CalOffset=0.578332)
    r["ans_date"] = make_record(
        ramp(256, 6, 43), SpecId="date only", AcqDate="2001-07-04",
        RealTime="0.125", LiveTime="1e3", CalGain=2)
    r["ans_time"] = make_record(
        ramp(256, 8, 47), SpecId="time only", AcqTime="23:59:59.999",
        RealTime="-5", LiveTime="")
    # New Oxford SPT
    r["spt_start3"] = make_record(
        ramp(512, 15, 89), StartCh=3, SpecId="  spaced identifier  ",
        AcqDate="  06-Dec-26 ", AcqTime=" 09:17:05  ", CalGain=2.0371,
        CalOffset=42.5)
    # CANBERRA
    r["can_blank"] = make_record(
        ramp(256, 17, 83), SpecId="  lead and trail   ",
        AcqDate=" 06-Dec-26 ", AcqTime="09:17:05 and more")
    return r


ALL_NEW = list(NEW_KEYS)
NEW_WRITTEN = [
    ("film", ALL_NEW),
    ("diffs", ["GVSPC", "SPT", "SPM", "CANBERRA", "ANS"]),
    ("bare", ["GVSPC", "SPT", "SPM", "CANBERRA", "ANS", "NCL", "SNF",
              "KODAQ"]),
    ("geom_minus1", ["CHN", "GVSPC", "SPT", "SPM", "CANBERRA", "ANS",
                     "KODAQ"]),
    ("ch511", ["CHN"]),
    ("pm_date", ["CHN", "GVSPC", "ANS"]),
    ("unrecognised", ["CHN", "GVSPC", "ANS"]),
    ("six_chars", ["CHN"]),
    ("y1999", ["CHN", "GVSPC", "ANS"]),
    ("bad_day", ["CHN", "GVSPC", "ANS"]),
    ("gv1000", ["GVSPC"]),
    ("gv16384", ["GVSPC"]),
    ("gv230", ["GVSPC"]),
    ("y1930", ["GVSPC", "ANS"]),
    ("mem7", ["KODAQ"]),
    ("memlong", ["KODAQ"]),
    ("nomem", ["KODAQ"]),
    ("n512", ["NCL", "SNF"]),
    ("n2048", ["NCL", "SNF"]),
    ("ans_noid", ["ANS"]),
    ("ans_date", ["ANS"]),
    ("ans_time", ["ANS"]),
    ("spt_start3", ["SPT"]),
    ("can_blank", ["CANBERRA"]),
]
# written files too large to be converted to every format
LIMITED_CONVERTS = {"gvspc/gv16384.SPC": ["GVSPC", "CHN"]}


# ---------------------------------------------------------------------------
# Foreign files of the binary layouts
# ---------------------------------------------------------------------------

def case(name, data, key, status, note, dests=(), also=()):
    """A hand-made file: read with key (expected status), with AUTO and with
    the keys in also; converted to dests when it reads."""
    return {"name": name, "data": data, "key": key, "status": status,
            "note": note, "dests": list(dests), "also": list(also)}


def chn_bytes(counts, secs=b"50", date=b"18Sep18", century=b"1",
              hhmm=b"1009", start=0, real=79773, live=70803, offset=0.367474,
              gain=0.159543, ftype=-1, n=None, cut=0):
    n = len(counts) if n is None else n
    h = struct.pack("<hhh", ftype, 1, 1) + secs
    h += struct.pack("<ii", real, live) + date + century + hhmm
    h += struct.pack("<hh", start, n)
    trailer = bytearray(512)
    trailer[0:12] = struct.pack("<hhff", -102, 0, offset, gain)
    trailer[28:32] = b"keV\0"
    trailer[256:264] = b"\x07MCB 512"
    data = h + struct.pack("<%di" % len(counts), *counts) + bytes(trailer)
    return data[:len(data) - cut] if cut else data


def foreign_chn():
    c = []
    c.append(case("c510.CHN", chn_bytes(ramp(510)), "CHN", 1,
                  "510 channels"))
    c.append(case("c511.CHN", chn_bytes(ramp(511, 3, 101)), "CHN", 0,
                  "511 channels, trailer of a real file", ["CHN"]))
    c.append(case("c16385.CHN", chn_bytes([1] * 16385), "CHN", 1,
                  "16385 channels"))
    c.append(case("nul_secs.CHN",
                  chn_bytes(ramp(512, 8, 77), secs=b"\0\0", hhmm=b"1230"),
                  "CHN", 0, "time 1230 and seconds NUL NUL: 12:30",
                  ["CHN", "ANS"]))
    c.append(case("blank_time.CHN",
                  chn_bytes(ramp(512, 8, 79), secs=b"  ", hhmm=b"    "),
                  "CHN", 0, "time and seconds blank: one blank", ["CHN"]))
    c.append(case("nul_time.CHN",
                  chn_bytes(ramp(512, 8, 83), secs=b"\0\0", hhmm=b"\0" * 4),
                  "CHN", 0, "time and seconds NUL: one NUL", ["CHN"]))
    c.append(case("colon_time.CHN",
                  chn_bytes(ramp(512, 8, 89), secs=b"::", hhmm=b"::::"),
                  "CHN", 0, "time and seconds colons: empty", ["CHN"]))
    c.append(case("gain_one.CHN",
                  chn_bytes(ramp(1024, 30, 200), real=1001, live=45000,
                            start=-5, offset=-0.878361, gain=1.0),
                  "CHN", 0, "gain 1.0 reads 0, ticks 1001 and 45000",
                  ["CHN", "GVSPC"]))
    c.append(case("short_trailer.CHN", chn_bytes(ramp(512), cut=501),
                  "CHN", 1, "trailer of 11 bytes"))
    c.append(case("min_trailer.CHN",
                  chn_bytes(ramp(512, 1, 5), gain=1.0, cut=500), "CHN", 0,
                  "trailer of 12 bytes", ["CHN"]))
    big = [(i * 7919) % 100000 for i in range(1024)]
    big[5] = 2147483600
    big[6] = 2147483647
    big[7] = 40000
    c.append(case("bigcount.CHN", chn_bytes(big, date=b"06Dec26",
                                            hhmm=b"0917", secs=b"05"),
                  "CHN", 0, "counts above 2147483520 and 32767",
                  KEYS))
    c.append(case("type_fffe.CHN", chn_bytes(ramp(512), ftype=-2), "CHN", 1,
                  "file type -2"))
    c.append(case("date_nul.CHN",
                  chn_bytes(ramp(512, 2, 3), date=b"\0" * 7, century=b"\0"),
                  "CHN", 0, "date field of NUL bytes", ["CHN"]))
    return c


def gv_bytes(counts, dtype=1, acq=2, desc=3, cal=5, first=40, nrec=None,
             n=None, info=1, start=0, real=905.42, live=900.0,
             date=b"17-SEP-121  ", time=b"13:41:07  ",
             fname=b"TRANSPEC.SPC    ", specid=b"Alcatraz14",
             offset=0.578332, gain=0.374436, size=None, ext_record=False,
             floats=False):
    n = len(counts) if n is None else n
    nrec = n // 32 if nrec is None else nrec
    end = max(r * 128 for r in (1, acq, desc, cal) if 0 < r < 300)
    end = max(end, (first - 1) * 128 + 4 * len(counts))
    b = bytearray(end if size is None else size)
    struct.pack_into("<6h", b, 0, info, dtype, 1, 0, acq, desc)
    struct.pack_into("<h", b, 34, cal)
    last = first + nrec - 1
    struct.pack_into("<hh", b, 54, last, last)
    b[58:60] = b"  "
    struct.pack_into("<4h", b, 60, first, nrec, n, start)
    struct.pack_into("<h", b, 88, start)
    struct.pack_into("<ff", b, 90, real, live)
    b[110:112] = struct.pack("<h", 2)
    if ext_record:
        struct.pack_into("<hh", b, 128, 111, 9)
    if 0 < acq < 300 and acq * 128 <= len(b):
        a = (acq - 1) * 128
        b[a:a + 38] = fname + date + time
    if 0 < desc < 300 and desc * 128 <= len(b):
        d = (desc - 1) * 128
        b[d:d + 128] = specid.ljust(128, b" ")
    if 0 < cal < 300 and cal * 128 <= len(b):
        c = (cal - 1) * 128
        struct.pack_into("<fff", b, c + 20, offset, gain, 2.99e-7)
    p = (first - 1) * 128
    fmt = "<%d%s" % (len(counts), "f" if floats else "i")
    data = struct.pack(fmt, *counts)
    b[p:p + len(data)] = data
    return bytes(b)


def foreign_gv():
    c = []
    vals = [2.5, 3.5, -2.5, 0.5, 1.5, 1000000.5, 16777216.0, -0.4, 0.49999997,
            -1000.5, 65535.5]
    vals += [float(i % 50) + 0.25 for i in range(256 - len(vals))]
    c.append(case("float5.SPC", gv_bytes(vals, dtype=5, floats=True),
                  "GVSPC", 0, "data type 5: singles, halves to even",
                  ["GVSPC"]))
    c.append(case("ext_rec.SPC",
                  gv_bytes(peak_counts(1024, 300, 3, 900), acq=3, desc=4,
                           cal=6, first=22, ext_record=True),
                  "GVSPC", 0,
                  "extension record 2, acquisition 3, description 4, "
                  "calibration 6, data from record 22", ["GVSPC", "CHN"]))
    c.append(case("cal256.SPC", gv_bytes(ramp(256), cal=256, size=256 * 128),
                  "GVSPC", 0, "calibration record 256, the last one"))
    c.append(case("cal257.SPC", gv_bytes(ramp(256), cal=257, size=257 * 128),
                  "GVSPC", 1, "calibration record 257 inside the file"))
    c.append(case("cal_past.SPC", gv_bytes(ramp(256), cal=60,
                                                  size=39 * 128 + 1024),
                  "GVSPC", 1, "calibration record past the end"))
    c.append(case("acq0.SPC", gv_bytes(ramp(256), acq=0), "GVSPC", 1,
                  "acquisition record 0"))
    c.append(case("mismatch.SPC", gv_bytes(ramp(1000), nrec=32), "GVSPC", 1,
                  "1000 channels in 32 records"))
    c.append(case("mismatch31.SPC", gv_bytes(ramp(1024), nrec=31), "GVSPC",
                  1, "1024 channels in 31 records"))
    c.append(case("date0.SPC", gv_bytes(ramp(256, 4, 9),
                                        date=b"17-MAY-010  "),
                  "GVSPC", 0, "10th date character 0", ["GVSPC"]))
    c.append(case("date_blank10.SPC",
                  gv_bytes(ramp(256, 5, 9), date=b"17-MAY-01   ",
                           time=b"13:41\0\0\0\0\0"),
                  "GVSPC", 0, "10th date character blank, time with NULs"))
    data = gv_bytes(ramp(256))
    c.append(case("data_short.SPC", data[:-4], "GVSPC", 1,
                  "data 4 bytes short"))
    c.append(case("info2.SPC", gv_bytes(ramp(256), info=2), "GVSPC", 1,
                  "information type 2"))
    c.append(case("dtype3.SPC", gv_bytes(ramp(256), dtype=3), "GVSPC", 1,
                  "data type 3"))
    c.append(case("n224.SPC", gv_bytes(ramp(224)), "GVSPC", 1,
                  "224 channels"))
    c.append(case("start_neg.SPC", gv_bytes(ramp(256, 6, 7), start=-7,
                                            real=0.1, live=1e-3),
                  "GVSPC", 0, "start channel -7, times 0.1 and 0.001",
                  ["GVSPC"]))
    return c


def can_bytes(n, counts, specid=b"", date=b"", time=b"", extra=b"",
              cut=0, head0=b""):
    h = bytearray(512)
    h[0:len(head0)] = head0
    h[6:22] = specid.ljust(16, b" ")[:16]
    h[22:33] = date.ljust(11, b" ")[:11]
    h[34:45] = time.ljust(11, b" ")[:11]
    struct.pack_into("<h", h, 266, n)
    data = bytes(h) + struct.pack("<%di" % len(counts), *counts) + extra
    return data[:len(data) - cut] if cut else data


def foreign_canberra():
    c = []
    c.append(case("n255.MCA", can_bytes(255, ramp(255)), "CANBERRA", 1,
                  "255 channels"))
    c.append(case("n256.MCA",
                  can_bytes(256, ramp(256, 9, 99), b"\t id with tab \t",
                            b" 06-Dec-26\t", b"\t09:17:05 "),
                  "CANBERRA", 0, "256 channels, texts with tabs",
                  ["CANBERRA"]))
    c.append(case("n8192.MCA", can_bytes(8192, ramp(8192, 1, 3)),
                  "CANBERRA", 0, "8192 channels"))
    c.append(case("n8193.MCA", can_bytes(8193, ramp(8193, 1, 3)),
                  "CANBERRA", 1, "8193 channels"))
    c.append(case("long_by1.MCA", can_bytes(256, ramp(256), extra=b"\0"),
                  "CANBERRA", 1, "one byte too long"))
    c.append(case("short_by4.MCA", can_bytes(256, ramp(256), cut=4),
                  "CANBERRA", 1, "four bytes too short"))
    return c


def spm_bytes(n, counts, specid=b"", date=b"", time=b"", mark=0xFF,
              extra=b"", cut=0):
    data = bytearray(can_bytes(n, counts, b"", date, time, extra, cut))
    data[0:8] = bytes([0, 0, 0, mark, 0, 0, 0, 0])
    data[8:22] = specid.ljust(14, b" ")[:14]
    return bytes(data)


def foreign_spm():
    c = []
    c.append(case("fe.SPM", spm_bytes(512, ramp(512), b"mark FE", mark=0xFE),
                  "SPM", 1, "byte 3 is 0xFE"))
    c.append(case("mark.PCA",
                  spm_bytes(512, ramp(512, 4, 66), b" \tPCA file\t ",
                            b"\t1-Jan-99", b"23:00:00 \t"),
                  "SPM", 0, "a PCA file, texts with tabs", ["SPM"]))
    c.append(case("n255.SPM", spm_bytes(255, ramp(255)), "SPM", 1,
                  "255 channels"))
    c.append(case("short.SPM", spm_bytes(512, ramp(512), cut=4), "SPM", 1,
                  "data 4 bytes short"))
    c.append(case("long.SPM", spm_bytes(256, ramp(256, 2, 5), b"longer",
                                        extra=b"\1" * 100),
                  "SPM", 0, "100 bytes after the data"))
    c.append(case("n8193.SPM", spm_bytes(8193, ramp(8193, 1, 3)), "SPM", 1,
                  "8193 channels"))
    return c


def kodaq_bytes(idb, specid, nch, date, time, mem, counts, cut=0):
    h = bytearray(128)
    h[0:4] = idb
    h[4:16] = specid.ljust(12, b" ")[:12]
    h[24:28] = nch
    h[29:36] = date.ljust(7, b" ")[:7]
    h[41:49] = time.ljust(8, b" ")[:8]
    h[49:53] = mem
    h[62:65] = b"ADC"
    data = bytes(h) + struct.pack("<%dh" % len(counts), *counts)
    return data[:len(data) - cut] if cut else data


def foreign_kodaq():
    c = []
    c.append(case("ch1024.SPC",
                  kodaq_bytes(b"K001", b"kodaq 1024", b"1024", b"06DEC26",
                              b"09:17:05", b"MEM2", ramp(1024, 0, 301)),
                  "KODAQ", 0, "channel text 1024", ["KODAQ"]))
    c.append(case("ch512.SPC",
                  kodaq_bytes(b"\0\0\0\0", b"  blank 512 ", b" 512", b"",
                              b"", b"MEM1", ramp(512, 0, 77)),
                  "KODAQ", 0, "channel text blank 512"))
    c.append(case("abcd.SPC",
                  kodaq_bytes(b"K001", b"letters", b"abcd", b"", b"", b"MEM1",
                              ramp(512)),
                  "KODAQ", 1, "channel text abcd"))
    c.append(case("mem_dot.SPC",
                  kodaq_bytes(b"id\x01.", b"lower mem", b"256 ", b"1JAN99",
                              b"1:02:03", b"mem.", ramp(256, -50, 100)),
                  "KODAQ", 0, "memory item mem.", ["KODAQ"]))
    c.append(case("xem1.SPC",
                  kodaq_bytes(b"K001", b"XEM", b"256 ", b"", b"", b"XEM1",
                              ramp(256)),
                  "KODAQ", 1, "memory item XEM1"))
    c.append(case("ch8193.SPC",
                  kodaq_bytes(b"K001", b"8193", b"8193", b"", b"", b"MEM1",
                              ramp(8193, 1, 3)),
                  "KODAQ", 1, "channel text 8193"))
    c.append(case("short.SPC",
                  kodaq_bytes(b"K001", b"short", b"512 ", b"", b"", b"MEM1",
                              ramp(512), cut=2),
                  "KODAQ", 1, "one channel short"))
    return c


def foreign_ncl():
    c = []
    vals = [(i * 37) % 3000 for i in range(1024)]
    vals[0:3] = [1065353216, 1073741824, 1077936128]   # 1.0, 2.0, 3.0 as reals
    c.append(case("x.snf", struct.pack("<1024i", *vals), "NCL", 1,
                  "integers in a file named x.snf", [], ["SNF"]))
    vals = [(i * 41) % 3000 for i in range(1024)]
    vals[500] = 2143289344                                # a NaN as a real
    c.append(case("y.snf", struct.pack("<1024i", *vals), "NCL", 1,
                  "integers, one not a real, named y.snf", [], ["SNF"]))
    c.append(case("len4100.NCL", struct.pack("<1025i", *range(1025)), "NCL",
                  1, "4100 bytes", [], ["SNF"]))
    vals = [(i * 43) % 3000 for i in range(1024)]
    vals[700] = -1
    c.append(case("negative.NCL", struct.pack("<1024i", *vals), "NCL", 1,
                  "value -1 at channel 701"))
    vals = [(i * 47) % 3000 for i in range(1024)]
    vals[1023] = 2147483647
    c.append(case("plain.NCL", struct.pack("<1024i", *vals), "NCL", 0,
                  "1024 integers up to 2147483647", ["NCL", "SNF"]))
    return c


def foreign_snf():
    c = []
    vals = [2.5, 3.5, -0.4, -0.5, 0.5, 1.5, 1e6, 2147483520.0, 16777217.0]
    vals += [float((i * 3) % 500) + 0.125 for i in range(1024 - len(vals))]
    c.append(case("halves.SNF", struct.pack("<1024f", *vals), "SNF", 0,
                  "2.5, 3.5, -0.4, -0.5 read as 2, 4, 0, 0", ["SNF", "NCL"]))
    vals = [float(i % 9) for i in range(1024)]
    vals[3] = -0.6
    c.append(case("minus06.SNF", struct.pack("<1024f", *vals), "SNF", 1,
                  "value -0.6"))
    vals = [float(i % 9) for i in range(1024)]
    vals[3] = 2147483648.0
    c.append(case("over.SNF", struct.pack("<1024f", *vals), "SNF", 1,
                  "value 2^31"))
    c.append(case("len4100.SNF", struct.pack("<1025f", *range(1025)), "SNF",
                  1, "4100 bytes"))
    return c


def ans_bytes(n, counts, f=0, version=2, specid=b"foreign QuantumX",
              dt=0.0, real=905.42, live=900.0, gain=0.374436,
              offset=0.578332, name=b"X.ANS", extra=b""):
    h = bytearray(1536)
    struct.pack_into("<h", h, 0, version)
    h[2:74] = specid.ljust(72, b" ")[:72]
    struct.pack_into("<dddd", h, 80, dt, 45000.25, real, live)
    struct.pack_into("<hh", h, 254, n, 1)
    h[368:384] = b"PCA3:00".ljust(16, b" ")
    struct.pack_into("<h", h, 384, 5)
    struct.pack_into("<ff", h, 856, gain, offset)
    struct.pack_into("<hh", h, 1008, f, n - 1)
    h[1024:1280] = name.ljust(256, b" ")
    return bytes(h) + struct.pack("<%di" % len(counts), *counts) + extra


def foreign_ans():
    c = []
    c.append(case("first10.ANS", ans_bytes(256, ramp(246, 7, 31), f=10,
                                           dt=41169.57021990741),
                  "ANS", 0, "first-channel index 10", ["ANS"]))
    c.append(case("day0.ANS", ans_bytes(256, ramp(256, 2, 11), version=3,
                                        dt=0.0, real=0.5, live=0.25),
                  "ANS", 0, "date-time number 0, version 3", ["ANS"]))
    c.append(case("wrong_len.ANS", ans_bytes(256, ramp(256), extra=bytes(4)),
                  "ANS", 1, "4 bytes too long"))
    c.append(case("f_over.ANS", ans_bytes(256, [], f=257), "ANS", 1,
                  "first-channel index 257 of 256"))
    c.append(case("f_neg.ANS", ans_bytes(256, ramp(257), f=-1), "ANS", 1,
                  "first-channel index -1"))
    c.append(case("f_all.ANS", ans_bytes(256, [], f=256), "ANS", 0,
                  "first-channel index 256: no stored channel"))
    c.append(case("nan_date.ANS", ans_bytes(256, ramp(256, 1, 4),
                                            dt=float("nan")),
                  "ANS", 0, "date-time number NaN"))
    c.append(case("y9999.ANS", ans_bytes(256, ramp(256, 1, 5),
                                         dt=2958465.5),
                  "ANS", 0, "31 December 9999, noon"))
    c.append(case("y10000.ANS", ans_bytes(256, ramp(256, 1, 6),
                                          dt=2958466.0),
                  "ANS", 0, "1 January 10000"))
    c.append(case("midnight.ANS", ans_bytes(256, ramp(256, 1, 7),
                                            dt=1.9999999),
                  "ANS", 0, "86399.99 seconds round to the next day"))
    c.append(case("n255.ANS", ans_bytes(255, ramp(255)), "ANS", 1,
                  "255 channels"))
    return c


def spt_sub(start=0, n=0):
    return struct.pack("<hhh", 0, start, n)


def spt_head(dt=0.0, length=128):
    body = (struct.pack("<d", dt) + b"foreign New Oxford file".ljust(64) +
            struct.pack("<d", 1.5) + bytes(4) + b" " * 44)
    return spt_record(1023, body[:length], length)


def spt_std(start=0, n=0, counts=None, fourth=0, specid=b"foreign SPT",
            date=b"06-Dec-26", time=b"09:17:05"):
    counts = ramp(n, 3, 70) if counts is None else counts
    s = spt_sub(start, n)
    return {
        1015: spt_record(1015, s + b"keV " +
                         struct.pack("<dddd", 42.5, 2.0371, 0.0, 0.0)),
        1016: spt_record(1016, s + time.ljust(13) + date.ljust(13) +
                         time.ljust(13) + date.ljust(13)),
        1017: spt_record(1017, s + specid.ljust(80)),
        1018: spt_record(1018, s + bytes(20)),
        1019: spt_record(1019, s + bytes(12)),
        1020: spt_record(1020, s + struct.pack("<4h", 0, 0, 0, fourth)),
        1021: spt_record(1021, struct.pack("<h", 1)),
        2048: spt_record(2048, s + b" " + bytes(23)),
        2049: spt_record(2049, s + b" " + bytes(15)),
        1014: spt_record(1014, s + struct.pack("<%di" % len(counts),
                                               *counts)),
        1022: spt_record(1022, b""),
    }


SPT_ORDER = [1015, 1016, 1017, 1018, 1019, 1020, 1021, 2048, 2049, 1014,
             1022]


def spt_file(recs, order=SPT_ORDER, head=None):
    return (spt_head() if head is None else head) + \
        b"".join(recs[t] for t in order)


def foreign_spt():
    c = []
    std = spt_std(0, 300)
    c.append(case("not1023.SPT", spt_file(std, SPT_ORDER, std[1015]), "SPT",
                  1, "first record 1015"))
    c.append(case("len127.SPT", spt_file(std, SPT_ORDER,
                                         spt_head(length=127)),
                  "SPT", 1, "first record 1023 of length 127"))
    bad = dict(std)
    bad[1015] = spt_record(1015, spt_sub(0, 300) + b"keV " +
                           struct.pack("<ddd", 1.0, 2.0, 3.0) + b"\0\0")
    c.append(case("len40.SPT", spt_file(bad), "SPT", 1,
                  "1015 record of length 40"))
    c.append(case("r1020_2.SPT", spt_file(spt_std(0, 300, fourth=2)), "SPT",
                  1, "1020 record, fourth value 2"))
    recs = spt_std(0, 300, fourth=1, specid=b"   records in another order")
    recs[2050] = spt_record(2050, spt_sub(9, 300) + struct.pack("<2h", 5, 6))
    recs[1014] = spt_record(1014, spt_sub(4, 300) +
                            struct.pack("<300i", *ramp(300, 11, 50)))
    recs[1017] = spt_record(1017, spt_sub(0, 300) +
                            b"   records in another order".ljust(80))
    c.append(case("order.SPT",
                  spt_file(recs, [1017, 2050, 1014, 1020, 1016, 1015, 1021,
                                  1022]),
                  "SPT", 0,
                  "records 1017, 2050, 1014, 1020 (fourth 1), 1016, 1015, "
                  "1021; start channel from the 2050 record", ["SPT"]))
    recs = spt_std(2, 300)
    recs[1014] = (recs[1014] +
                  spt_record(1014, spt_sub(2, 260) +
                             struct.pack("<260i", *ramp(260, 1000, 7))))
    c.append(case("two1014.SPT", spt_file(recs), "SPT", 0,
                  "two 1014 records: the second one counts", ["SPT"]))
    recs = spt_std(0, 256)
    recs[2050] = spt_record(2050, spt_sub(0, 256) + struct.pack("<3h", 1, 2,
                                                                3))
    c.append(case("r2050.SPT", spt_file(recs, [2050] + SPT_ORDER), "SPT", 0,
                  "2050 record skipped", ["SPT"]))
    recs = spt_std(0, 256)
    recs[1030] = spt_record(1030, spt_sub(0, 256) + bytes(8))
    c.append(case("unknown.SPT", spt_file(recs, [1030] + SPT_ORDER), "SPT",
                  1, "unknown tag 1030"))
    c.append(case("no1014.SPT",
                  spt_file(spt_std(0, 0), [t for t in SPT_ORDER
                                           if t != 1014]),
                  "SPT", 0, "no 1014 record: 0 channels", KEYS))
    c.append(case("no_end.SPT", spt_file(std, SPT_ORDER[:-1]), "SPT", 1,
                  "no 1022 record"))
    recs = dict(std)
    recs[1014] = spt_record(1014, recs[1014][6:], 6 + 4 * 300 + 4)
    c.append(case("past_end.SPT", spt_file(recs), "SPT", 1,
                  "1014 record longer than the rest of the file"))
    recs = dict(std)
    recs[1018] = spt_record(1018, b"", -26)
    c.append(case("neg_len.SPT", spt_file(recs), "SPT", 1,
                  "record length -26"))
    recs = dict(std)
    recs[1014] = spt_record(1014, recs[1014][6:] + b"\0\0")
    c.append(case("bad1014.SPT", spt_file(recs), "SPT", 1,
                  "1014 record of 6 + 4 x 300 + 2 bytes"))
    c.append(case("dt_text.SPT",
                  spt_file(std, [t for t in SPT_ORDER if t != 1016],
                           spt_head(44927.5)),
                  "SPT", 0, "date-time number 44927.5, no 1016 record",
                  ["SPT"]))
    c.append(case("dt_long.SPT",
                  spt_file(std, [t for t in SPT_ORDER if t != 1016],
                           spt_head(12345678.25)),
                  "SPT", 0, "date-time number 12345678.25, no 1016 record"))
    recs = dict(std)
    recs[1022] = spt_record(1022, b"\0\0")
    c.append(case("end_len2.SPT", spt_file(recs), "SPT", 1,
                  "1022 record of length 2"))
    recs = dict(std)
    recs[1023] = spt_head()
    c.append(case("again1023.SPT", spt_file(recs, [1023] + SPT_ORDER), "SPT",
                  1, "second 1023 record"))
    recs = dict(std)
    recs[2050] = spt_record(2050, spt_sub(0, 0) + b"\0")
    c.append(case("odd2050.SPT", spt_file(recs, [2050] + SPT_ORDER), "SPT",
                  1, "2050 record of odd length 7"))
    return c


def new_foreign_rbs():
    """RBS files whose records other writers must refuse."""
    c = []

    def rbs_with(specid, live_real, start):
        return (rbs_std_head(specid) + rbs_text_record(258, live_real) +
                rbs_text_record(259, "06-Dec-26/09:17:05") +
                rbs_record(274, be_single(2.0) + be_single(10.0) +
                           be_single(start) + be_single(15.0)) +
                rbs_spectrum_enc2(ramp(512, 5, 40)))
    c.append(case("start40000.RBS", rbs_with("start 40000", "10/20", 40000),
                  "RBS", 0, "start channel 40000",
                  ["CHN", "GVSPC", "SPT", "ANS"]))
    c.append(case("ticks_over.RBS",
                  rbs_with("ticks over", "5/42949672.96", 0), "RBS", 0,
                  "real time of 2^31 ticks", ["CHN", "GVSPC"]))
    c.append(case("ticks_max.RBS",
                  rbs_with("ticks at the limits", "-42949672.96/42949672.94",
                           -32768.5),
                  "RBS", 0, "times of 2^31 - 1 and -2^31 ticks",
                  ["CHN", "GVSPC", "SPT"]))
    return c


# old sources converted to the new formats as well
EXTRA_OLD_CONVERTS = [
    ("rbs/film.RBS", "RBS", NEW_KEYS),
    ("sen/film.SEN", "SEN", NEW_KEYS),
    ("as1/max_jump.AS1", "AS1", NEW_KEYS + ["SEN"]),
    ("as1/neg_jump.AS1", "AS1", NEW_KEYS + ["SEN"]),
    ("rbs/header_only.RBS", "RBS", NEW_KEYS),
]


# ---------------------------------------------------------------------------
# Building the corpus
# ---------------------------------------------------------------------------

def put(rel, data, written):
    path = os.path.join(OUT, rel)
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
    # the binary layouts added later
    new_written = []   # (rel, key)
    nrecs = dict(recs)
    nrecs.update(new_written_records())
    for name, keys in NEW_WRITTEN:
        for key in keys:
            base = "%s.%s" % (name, EXTENSION[key])
            rel = "%s/%s" % (FOLDER[key], base)
            put(rel, write_key(key, nrecs[name], base), files)
            new_written.append((rel, key))
    new_foreign = []   # case dictionaries with their "rel"
    for folder, cases in (("chn", foreign_chn()), ("gvspc", foreign_gv()),
                          ("spt", foreign_spt()), ("spm", foreign_spm()),
                          ("canberra", foreign_canberra()),
                          ("ans", foreign_ans()), ("ncl", foreign_ncl()),
                          ("snf", foreign_snf()), ("kodaq", foreign_kodaq()),
                          ("rbs", new_foreign_rbs())):
        for c in cases:
            rel = "%s/%s" % (folder, c["name"])
            assert rel not in files, rel
            put(rel, c["data"], files)
            c["rel"] = rel
            new_foreign.append(c)
    return files, written, foreign, new_written, new_foreign


def convert_name(src, dest):
    base = os.path.basename(src)
    stem, ext = base.split(".", 1)
    return "convert/%s_%s.%s" % (stem, ext, dest)


def new_convert_name(src, dest):
    folder, base = src.split("/", 1)
    if folder in ("rbs", "sen", "as1", "as2"):
        return convert_name(src, dest)
    stem, ext = base.split(".", 1)
    return "convert/%s_%s_%s.%s" % (folder, stem, ext, dest)


def build_golden(files, written, foreign, new_written, new_foreign,
                 write_outputs):
    reads = []
    converts = []
    outputs = {}

    def read_entry(rel, frm):
        st, name, rec = read_as(frm, files[rel], rel)
        e = {"file": rel, "from": frm, "status": st, "format": name}
        if st == 0:
            e["record"] = record_json(rec)
        reads.append(e)
        return st, rec

    def convert_entry(rel, frm, rec, dest):
        e = {"source": rel, "from": frm, "to": dest}
        try:
            out = convert_key(frm, dest, rec,
                              writer_name(os.path.basename(rel), dest))
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
    # the spectrum of 0 channels is listed among the reads
    files["convert/header_only_RBS.RBS"] = \
        outputs["convert/header_only_RBS.RBS"]
    read_entry("convert/header_only_RBS.RBS", "RBS")
    read_entry("convert/header_only_RBS.RBS", "AUTO")

    # The binary layouts.  A converted file is written under the name that
    # the writer gives the source file's own name (GammaVision and QuantumX
    # store that name); outputs of the same bytes for the same format share
    # one expected file.
    seen = {}
    for name, out in outputs.items():
        seen[(name.rsplit(".", 1)[1], hashlib.sha256(out).digest())] = name

    def new_convert(rel, frm, rec, dest):
        e = {"source": rel, "from": frm, "to": dest}
        try:
            out = convert_key(frm, dest, rec,
                              writer_name(os.path.basename(rel), dest))
        except WriteFail as w:
            e["status"] = w.status
        else:
            e["status"] = 0
            k = (dest, hashlib.sha256(out).digest())
            if k not in seen:
                name = new_convert_name(rel, dest)
                assert name not in outputs, name
                outputs[name] = out
                seen[k] = name
            e["expected"] = seen[k]
        converts.append(e)

    for rel, key in new_written:
        read_entry(rel, "AUTO")
        st, rec = read_entry(rel, key)
        assert st == 0, rel
        for dest in LIMITED_CONVERTS.get(rel, KEYS):
            new_convert(rel, key, rec, dest)
    for rel, key, dests in EXTRA_OLD_CONVERTS:
        st, rec = run_reader(key, files[rel], rel)
        assert st == 0, rel
        for dest in dests:
            new_convert(rel, key, rec, dest)
    for c in new_foreign:
        rel = c["rel"]
        read_entry(rel, "AUTO")
        st, rec = read_entry(rel, c["key"])
        assert st == c["status"], (rel, st, c["status"], c["note"])
        for k in c["also"]:
            read_entry(rel, k)
        if st == 0:
            for dest in c["dests"]:
                new_convert(rel, c["key"], rec, dest)
    # every expected output reads back with its own reader
    for name in sorted(outputs):
        key = name.rsplit(".", 1)[1]
        st, rec = run_reader(key, outputs[name], name)
        assert st == 0, name
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


def new_self_checks(recs):
    # the date and time rules
    dates = {"17-MAY-2001": (2001, 5, 17), "06-Dec-26": (2026, 12, 6),
             " 01-Jan-01 ": (2001, 1, 1), "28feb30": (1930, 2, 28),
             "29 February 2000": (2000, 2, 29), "29 February 1900": None,
             "31/Apr/2001": None, "12/31/1999": (1999, 12, 31),
             "2014-02-11": (2014, 2, 11), "1.2.03": (2003, 2, 1),
             "Tuesday": None, "25Sep18": (2018, 9, 25), "17.May.99":
             (1999, 5, 17), "6.12.2026": (2026, 12, 6), "": None,
             "17-SEP-2012": (2012, 9, 17), "0-Jan-01": None,
             "17-Sept-01": None, "1/2/123": None, "999-01-01": None}
    for text, want in dates.items():
        assert recognise_date(text) == want, (text, recognise_date(text))
    times = {"9:05 PM": (21, 5, 0), "12:00:01AM": (0, 0, 1),
             "11:59:58 pm": (23, 59, 58), "7:04:05.125": (7, 4, 5),
             "24:00": None, "13:05 PM": None, "noon": None,
             "12:30 ": (12, 30, 0), "0:00 am": None, "12:30 PM": (12, 30, 0),
             "09:17:05": (9, 17, 5), "9:7": None, "10:60": None,
             "\0 23:59:59 \0": (23, 59, 59)}
    for text, want in times.items():
        assert recognise_time(text) == want, (text, recognise_time(text))
    assert shortest_text(f32(905.42), True) == "905.42"
    assert shortest_text(900.0, True) == "900"
    assert shortest_text(f32(11595.8), True) == "11595.8"
    assert shortest_text(1001 / 50.0, False) == "20.02"
    assert shortest_text(45000 / 50.0, False) == "900"
    assert shortest_text(-1 / 50.0, False) == "-0.02"
    assert writer_name("run.01.chn", "RBS") == "run.RBS"
    assert writer_name("a.b.c", "GVSPC") == "a.b.SPC"
    assert writer_name("plain", "AS1") == "plain.AS1"
    assert writer_name(".hidden", "CHN") == ".hidden.CHN"
    assert writer_name(".hidden", "GVSPC") == ".hidden.SPC"
    assert writer_name("run7.spe", "ANS") == "run7.ANS"
    assert writer_name("x.y", "CANBERRA") == "x.MCA"
    assert ans_datetime_texts(0.0) == ("12/30/99", "00:00:00")
    assert ans_datetime_texts(1.9999999) == ("01/01/00", "00:00:00")
    assert ans_datetime_texts(2958466.0) == ("", "")
    assert chn_ticks("20.02") == 1001 and chn_ticks("0.01") == 0
    assert chn_ticks("42949672.94") == INT32_MAX
    assert chn_ticks("-42949672.96") == INT32_MIN

    # written files read back as the layouts say
    nrecs = dict(recs)
    nrecs.update(new_written_records())
    for name, keys in NEW_WRITTEN:
        rec = nrecs[name]
        n = rec["ChannelCount"]
        for key in keys:
            base = "%s.%s" % (name, EXTENSION[key])
            data = write_key(key, rec, base)
            back = read_key(key, data, base)
            want = list(rec["Counts"])
            if key == "GVSPC":
                want += [0] * ((-n) % 32)
                assert len(data) == 39 * 128 + 4 * len(want)
                assert data[128:128 + 16] == fixed_text(base, 16)
            if key in ("NCL", "SNF"):
                want = (want + [0] * 1024)[:1024]
                assert len(data) == 4096
            if key == "SNF":
                want = [int(f32(float(c))) for c in want]
            assert back["Counts"] == want, (name, key)
            if key == "CHN":
                assert len(data) == 32 + 4 * n + 512
                assert data[-500:] == bytes(500)
                for f in ("RealTime", "LiveTime"):
                    assert round(float(back[f]) * 50) == \
                        chn_ticks(rec[f]), (name, f)
                gain = rec["CalGain"] if rec["CalGain"] != 1.0 else 0.0
                assert back["CalGain"] == gain
                assert back["StartCh"] == round(rec["StartCh"])
            if key in ("CANBERRA", "SPM"):
                assert len(data) == 512 + 4 * n
                assert back["AcqDate"] == \
                    rec["AcqDate"][:11].strip(" \t"), (name, key)
            if key == "ANS":
                assert len(data) == 1536 + 4 * n
                assert data[1024:1024 + len(base)] == tobytes(base)
                assert back["SpecId"] == \
                    (rec["SpecId"] or ANS_DEFAULT_ID)[:72].strip(" ")
            if key == "SPT":
                for f in ("SpecId", "AcqDate", "AcqTime"):
                    assert back[f] == rec[f].strip(" ")[:80], (name, f)
                assert back["StartCh"] == round(rec["StartCh"])
                assert back["CalGain"] == rec["CalGain"]
            if key == "KODAQ":
                assert len(data) == 128 + 2 * n
                if rec["KodaqMem"][:3].upper() == "MEM":
                    assert back["KodaqMem"] == fixed_text(
                        rec["KodaqMem"], 4).decode("latin-1")
                else:
                    assert back["KodaqMem"] == "MEM1"
                    assert back["KodaqId"] == "\0" * 4
    # the times of a QuantumX file read back as written
    for name, date, time in (("pm_date", "05/17/01", "21:05:00"),
                             ("y1999", "12/31/99", "23:59:58"),
                             ("y1930", "02/28/30", "00:00:01"),
                             ("ans_date", "07/04/01", "00:00:00"),
                             ("ans_time", "12/30/99", "23:59:59"),
                             ("unrecognised", "12/30/99", "00:00:00"),
                             ("film", "12/06/26", "09:17:05")):
        back = read_ans(write_ans(nrecs[name], "x.ANS"))
        assert (back["AcqDate"], back["AcqTime"]) == (date, time), name
    # the CHN date and time fields of some records
    for name, field in (("film", b"06Dec261"), ("pm_date", b"17May011"),
                        ("six_chars", b"01Feb031"), ("y1999", b"31Dec99\0"),
                        ("unrecognised", b"Tuesday\0"),
                        ("bad_day", b"31/Apr/\0"),
                        ("geom_minus1", b"01Jan011")):
        assert write_chn(nrecs[name])[16:24] == field, name
    for name, secs, hhmm in (("film", b"05", b"0917"),
                             ("pm_date", b"00", b"2105"),
                             ("six_chars", b"\0\0", b"1230"),
                             ("unrecognised", b"no", b"noon"),
                             ("bad_day", b"24", b"24:0")):
        data = write_chn(nrecs[name])
        assert data[6:8] == secs and data[24:28] == hhmm, name


def clean_old():
    """Removes the data files of an earlier run, so that a renamed case
    leaves nothing behind.  The folders of the binary layouts hold only
    files made here."""
    for folder in ("as1", "as2", "rbs", "sen", "convert"):
        path = os.path.join(OUT, folder)
        if not os.path.isdir(path):
            continue
        for n in os.listdir(path):
            if n.rsplit(".", 1)[-1] in KEYS:
                os.remove(os.path.join(path, n))
    for folder in FOLDER.values():
        path = os.path.join(OUT, folder)
        if not os.path.isdir(path):
            continue
        for n in os.listdir(path):
            os.remove(os.path.join(path, n))


# ---------------------------------------------------------------------------
# Configuration file (1024 bytes)
# ---------------------------------------------------------------------------

def config_bytes(c):
    """The configuration file for the settings c, field by field."""
    b = bytearray(1024)

    def text(at, width, s):
        raw = tobytes(s)[:width]
        b[at:at + width] = raw + b" " * (width - len(raw))

    text(0, 256, c["SourceFolder"])
    text(256, 256, c["DestinationFolder"])
    struct.pack_into("<ii", b, 512, c["WindowWidth"], c["WindowHeight"])
    text(520, 5, c["SourceMask"])
    text(525, 5, c["DestinationMask"])
    text(530, 30, c["SourceFormat"])
    text(560, 30, c["DestinationFormat"])
    struct.pack_into("<fff", b, 590, c["AxisConvFactor"], c["AxisOffset"],
                     c["AxisTofLength"])
    struct.pack_into("<hhhi", b, 602, c["LowerLimitIndex"], c["RangeIndex"],
                     int(round((c["DotSize"] - 1) / 0.5)), c["DotColour"])
    struct.pack_into("<hh", b, 612, -1 if c["StampMode"] else 0,
                     -1 if c["StampConfirm"] else 0)
    s = c["Stamp"]
    text(890, 20, s["Version"])
    struct.pack_into("<hffhfffffffhffff", b, 910, s["AtomicNo"], s["Mass"],
                     s["BeamMeV"], s["ChargeState"], s["ChargeUC"],
                     s["CurrentNA"], s["CalGain"], s["CalOffset"],
                     s["StartCh"], s["Fwhm"], s["Correction"], s["Geometry"],
                     s["Theta"], s["Phi"], s["Psi"], s["Omega"])
    return bytes(b)


CONFIG_DEFAULTS = {
    "SourceFolder": "/home/lab/spectra/", "DestinationFolder": "/home/lab/out/",
    "WindowWidth": 9165, "WindowHeight": 6675, "SourceMask": "*.*",
    "DestinationMask": "*.*", "SourceFormat": "AUTO detection",
    "DestinationFormat": "ASCII with channel (AS1)", "AxisConvFactor": -0.4192,
    "AxisOffset": 251.9, "AxisTofLength": 0.745, "LowerLimitIndex": 1,
    "RangeIndex": 11, "DotSize": 1.0, "DotColour": 0, "StampMode": False,
    "StampConfirm": True,
    "Stamp": {"Version": "", "AtomicNo": 0, "Mass": 0.0, "BeamMeV": 0.0,
              "ChargeState": 0, "ChargeUC": 0.0, "CurrentNA": 0.0,
              "CalGain": 0.0, "CalOffset": 0.0, "StartCh": 0.0, "Fwhm": 0.0,
              "Correction": 0.0, "Geometry": 0, "Theta": 0.0, "Phi": 0.0,
              "Psi": 0.0, "Omega": 0.0},
}


def config_files():
    stamped = json.loads(json.dumps(CONFIG_DEFAULTS))
    stamped.update({
        "WindowWidth": 12000, "WindowHeight": 8000, "SourceMask": "*.CHN",
        "DestinationMask": "*.RBS", "SourceFormat": "EG&G Maestro II (CHN)",
        "DestinationFormat": "RUMP (RBS)", "AxisConvFactor": 0.5,
        "AxisOffset": -12.25, "AxisTofLength": 1.2, "LowerLimitIndex": 7,
        "RangeIndex": 18, "DotSize": 2.5, "DotColour": 0xFF00FF,
        "StampMode": True, "StampConfirm": False})
    stamped["Stamp"].update({
        "Version": "1.00", "AtomicNo": 2, "Mass": 4.0026, "BeamMeV": 2.0,
        "ChargeState": 1, "ChargeUC": 20.0, "CurrentNA": 12.5,
        "CalGain": 2.0371, "CalOffset": 42.5, "StartCh": 1.0, "Fwhm": 15.0,
        "Correction": 0.98, "Geometry": -1, "Theta": 10.0, "Phi": 170.0,
        "Psi": 3.0, "Omega": 4.0})
    return {"config/defaults.cfg": config_bytes(CONFIG_DEFAULTS),
            "config/stamped.cfg": config_bytes(stamped)}


def main():
    global NUM_MODE
    clean_old()
    for rel, data in config_files().items():
        put(rel, data, {})
    recs = written_records()
    self_checks(recs)
    new_self_checks(recs)
    files, written, foreign, new_written, new_foreign = build_files()
    texts = {}
    for mode in ("leadsp", "anywhere", "lead"):
        NUM_MODE = mode
        texts[mode] = dump_golden(build_golden(dict(files), written, foreign,
                                               new_written, new_foreign,
                                               mode == "lead"))
    if len(set(texts.values())) != 1:
        a = texts["lead"].splitlines()
        for mode in ("leadsp", "anywhere"):
            b = texts[mode].splitlines()
            for x, y in zip(a, b):
                if x != y:
                    print("differs under", mode, ":", x[:200])
        raise SystemExit("golden values depend on the blank rule")
    with open(os.path.join(OUT, "golden.json"), "w", newline="\n") as f:
        f.write(texts["lead"])
    total = 0
    for root, _, names in os.walk(OUT):
        for n in names:
            total += os.path.getsize(os.path.join(root, n))
    print("corpus bytes:", total)


def corpus_files(root):
    """The relative paths of the corpus files under root: what clean_old
    removes and main writes."""
    found = set()
    folders = [(f, True) for f in ("as1", "as2", "rbs", "sen", "convert")]
    folders += [(f, False) for f in FOLDER.values()] + [("config", False)]
    for folder, by_key in folders:
        path = os.path.join(root, folder)
        if not os.path.isdir(path):
            continue
        for n in os.listdir(path):
            if not by_key or n.rsplit(".", 1)[-1] in KEYS:
                found.add(folder + "/" + n)
    if os.path.exists(os.path.join(root, "golden.json")):
        found.add("golden.json")
    return found


def check():
    """Makes the corpus anew in a temporary folder and compares it with the
    committed files."""
    global OUT
    import tempfile
    with tempfile.TemporaryDirectory(prefix="durnix-golden-") as tmp:
        OUT = tmp
        main()
        made, here = corpus_files(tmp), corpus_files(HERE)
        problems = ["missing here: " + r for r in sorted(made - here)]
        problems += ["left over here: " + r for r in sorted(here - made)]
        for rel in sorted(made & here):
            with open(os.path.join(tmp, rel), "rb") as a, \
                    open(os.path.join(HERE, rel), "rb") as b:
                if a.read() != b.read():
                    problems.append("differs: " + rel)
    for p in problems:
        print(p)
    print("corpus %s: %d files" % ("differs" if problems else "matches",
                                   len(made)))
    return 1 if problems else 0


if __name__ == "__main__":
    if sys.argv[1:] == ["--check"]:
        sys.exit(check())
    main()
