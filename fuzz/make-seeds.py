#!/usr/bin/env python3
"""Writes the seed corpus of each fuzz target into fuzz/corpus/<target>/.

The seeds are the ordinary cases and the known hard ones (line breaks of
every kind, NUL bytes, very long lines, short texts whose length byte lies,
table names that try to be SQL). Run it again after changing a target's
input layout; the fuzzers themselves never write into fuzz/corpus.
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "data")


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def read_data(name):
    with open(os.path.join(DATA, name), "rb") as f:
        return f.read()


# --- reference tables -----------------------------------------------------
# The fuzzer reads with FuzzedDataProvider: the presence byte from the end,
# the prefix and an extra name from the front (each ended by a backslash and
# one more byte), the split between the two files from the end, little
# endian, in as many bytes as the remaining length needs.


def provider_string(text):
    return text.replace(b"\\", b"\\\\") + b"\\x"


def tables_input(dom, calls, prefix=b"YO", name=b"YO5ZAA", presence=0):
    front = provider_string(prefix) + provider_string(name)
    body_len = len(dom) + len(calls)
    k = 1
    while True:
        remaining = body_len + k
        need = (remaining.bit_length() + 7) // 8 or 1
        if need == k:
            break
        k = need
    split = len(dom).to_bytes(k, "little")
    return front + dom + calls + split + bytes([presence])


def tables_seeds():
    dom = read_data("romanian.dom")
    calls = read_data("zelmar.txt")
    t = "reference_tables"
    write(t, "sample-files", tables_input(dom, calls))
    write(t, "cr-only", tables_input(dom.replace(b"\n", b"\r"), calls.replace(b"\n", b"\r")))
    write(t, "crlf", tables_input(dom.replace(b"\n", b"\r\n"), calls.replace(b"\n", b"\r\n")))
    write(t, "lfcr-and-blank-lines",
          tables_input(b"AB=AB\n\r\n\nCJ=CJ\n\r", b"\n\rYO5ZAA=AB\n\r\r\n"))
    write(t, "nul-ends-text",
          tables_input(b"AB=AB\nCJ=CJ\x00BV=BV\n", b"YO5ZAA=AB\x00YO3ABC=BU\n", name=b"YO3ABC"))
    write(t, "no-final-break", tables_input(b"AB=AB\nCJ=CJ", b"YO5ZAA=AB\nYO3ABC=BU"))
    write(t, "county-rules",
          tables_input(b"ab=AB\nAB=Alba\nAB =AB\n=\n==\nCJ\nCJ=CJ=CJ\n", b"", name=b"ab"))
    write(t, "exchange-rules",
          tables_input(b"", b"  YO5ABC=PH  \nYO5ABC = PH\nYO5ABCD=XX\nYO5ABC=LAST\n =\n",
                       prefix=b" yo ", name=b"YO5AB"))
    write(t, "foreign-prefix", tables_input(dom, calls, prefix=b"DL"))
    write(t, "missing-files", tables_input(dom, calls, presence=3))
    long_line = b"YO9" + b"Z" * 70000 + b"=" + b"Q" * 5000
    write(t, "very-long-lines",
          tables_input(b"A" * 100000 + b"=B\nAB=AB\n", long_line + b"\nYO5ZAA=AB\n",
                       name=long_line[:255]))
    write(t, "high-and-control-bytes",
          tables_input(bytes(range(1, 256)) + b"=\xff\xfe\n\x01\x02=\x03\n",
                       b"\xb5\xe9=\xe0\n\x1f\x7f=\x80\n", prefix=b"\x01YO\x20", name=b"\xb5\xe9"))


# --- plugin record ----------------------------------------------------------
# 5916 bytes laid out as the host lays them out. Bytes 4, 5 and 6 (host
# bytes the module never reads) switch the fuzzer's extras: 0 in the low
# bits of byte 4 presses "Recalc", of byte 5 opens or closes the multipliers
# window, of byte 6 paints the windows.

OFFSETS = {
    "TableName": 12, "CallSign": 268, "DigiBand": 540, "QSOMode": 796,
    "Continent": 1052, "QSOReportRecived": 1308, "MainPrefix": 2332,
    "DXCCPrefix": 2588, "CaptionName": 3868, "MyContinent": 4124,
    "MyDXCCPrefix": 4636,
}


def record(fields, recalc=False, multipliers=False, paint=False, raw_lengths=None,
           fill=b"\x00"):
    r = bytearray(fill * 5916)
    struct.pack_into("<i", r, 0, 1)
    r[4] = 0 if recalc else 1
    r[5] = 0 if multipliers else 1
    r[6] = 0 if paint else 1
    base = {"TableName": b"Log", "MyContinent": b"EU", "MyDXCCPrefix": b"YO"}
    base.update(fields)
    for name, value in base.items():
        off = OFFSETS[name]
        value = value[:255]
        r[off] = len(value)
        r[off + 1:off + 1 + len(value)] = value
    for name, length in (raw_lengths or {}).items():
        r[OFFSETS[name]] = length
    return bytes(r)


def record_seeds():
    t = "plugin_record"

    def qso(call, band, mode, cont, exch, prefix, **kw):
        return record({"CallSign": call, "DigiBand": band, "QSOMode": mode, "Continent": cont,
                       "QSOReportRecived": exch, "DXCCPrefix": prefix}, **kw)

    write(t, "home-county", qso(b"YO5ZAA", b"14", b"CW", b"EU", b"599AB", b"YO"))
    write(t, "same-continent", qso(b"DL1ABC", b"7", b"SSB", b"EU", b"59001", b"DL"))
    write(t, "other-continent", qso(b"K1ABC", b"21", b"CW", b"NA", b"599005", b"K",
                                    multipliers=True))
    write(t, "own-country-lower", qso(b"YO3ABC", b"3.5", b"CW", b"eu", b"599 bv", b"yo",
                                      paint=True))
    write(t, "unknown-band", qso(b"F5XYZ", b"50", b"FT8", b"EU", b"", b"F"))
    write(t, "recalc-real-log", qso(b"G4ABC", b"28", b"CW", b"EU", b"599", b"G", recalc=True))
    for i, name in enumerate([b"Log; DROP TABLE Log", b"Log order by 1; DELETE FROM Log; --",
                              b"Log WHERE 1=0 UNION SELECT * FROM Log", b"\"Log\"", b"Other",
                              b"Log\x00; DROP TABLE Other", b"sqlite_master", b""]):
        write(t, "table-name-%d" % i,
              record({"TableName": name, "CallSign": b"YO5ZAA", "DigiBand": b"14"}, recalc=True))
    write(t, "lengths-255-no-text",
          record({}, raw_lengths={k: 255 for k in OFFSETS}, fill=b"\xa5", recalc=True,
                 multipliers=True, paint=True))
    write(t, "control-bytes",
          qso(bytes(range(1, 32)), b"\x01\x02", b"\x1b[2J", b"\x7f\x7f", b"\x00AB", b"\x09YO\x0d",
              multipliers=True, paint=True))
    write(t, "high-bytes",
          qso(b"\xff\xfe\xfd", b"\xe9\xe0", b"\xb5", b"\xc3\xa9", b"599\xc8\xc9", b"\xd0\xae",
              paint=True))
    write(t, "empty-record", bytes(5916))


# --- stored settings --------------------------------------------------------
# The last byte is the mode: odd takes the rest as the settings file's
# bytes, even builds the entries from the rest; 0 or 1 in bits 1 and 2 also
# open the real windows.


def settings_file(main, domlist):
    def section(name, entries):
        return ("[%s]\n" % name).encode() + b"".join(
            k.encode() + b"=" + v + b"\n" for k, v in entries)
    return section("TfmMainForm", main) + b"\n" + section("TfmDomList", domlist)


def settings_seeds():
    t = "stored_settings"
    saved_main = [("FormVersion", b"0"), ("Flags", b"0"), ("ShowCmd", b"1"),
                  ("PixelsPerInch", b"96"), ("MinMaxPos", b"-1,-1,-1,-1"),
                  ("NormPos", b"1024,233,1352,426"), ("Visible", b"1"), ("CurrentBand", b"5")]
    saved_list = [("FormVersion", b"0"), ("Flags", b"0"), ("ShowCmd", b"1"),
                  ("PixelsPerInch", b"96"), ("MinMaxPos", b"-1,-1,-1,-1"),
                  ("NormPos", b"100,100,400,500"), ("Visible", b"1")]
    write(t, "as-saved", settings_file(saved_main, saved_list) + b"\x01")
    extremes = [("NormPos", b"-2147483648,-2147483648,2147483647,2147483647"),
                ("MinMaxPos", b"2147483647,2147483647,-2147483648,-2147483648"),
                ("ShowCmd", b"3"), ("CurrentBand", b"2147483648"), ("PixelsPerInch", b"96")]
    write(t, "extreme-numbers", settings_file(extremes, extremes) + b"\x01")
    edge = [("NormPos", b"2147483000,10,2147483600,300"), ("ShowCmd", b"2"),
            ("CurrentBand", b"-1"), ("PixelsPerInch", b"96")]
    write(t, "near-int-max", settings_file(edge, edge) + b"\x01")
    # The statistics window keeps its own width: left + width overflowed.
    right_edge = [("NormPos", b"2147483600,10,2147483647,300"), ("PixelsPerInch", b"96")]
    write(t, "int-max-right-edge", settings_file(right_edge, right_edge) + b"\x01")
    words = [("NormPos", b"10 20\t30,,40"), ("MinMaxPos", b"a,b,c,d"), ("ShowCmd", b"-7"),
             ("Flags", b"x"), ("CurrentBand", b"abc"), ("FormVersion", b"99")]
    write(t, "words-not-numbers", settings_file(words, words) + b"\x01")
    typed = [("NormPos", b"@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x2)"),
             ("CurrentBand", b"@ByteArray(5)"), ("ShowCmd", b"@Rect(1 2 3 4)"),
             ("MinMaxPos", b"10,20")]
    write(t, "typed-values", settings_file(typed, typed) + b"\x01")
    screen = [("NormPos(800x600)", b"0,0,10,10"), ("NormPos", b"5,5,500,500"),
              ("MinMaxPos(800x600)", b""), ("PixelsPerInch", b"120"), ("CurrentBand", b"9")]
    write(t, "per-screen-and-dpi", settings_file(screen, screen) + b"\x01")
    # Found by the fuzzer: a stored size of the multipliers window far beyond
    # any screen, which the window took and drew.
    huge = [("NormPos", b"630080025,10,2147483600,300"), ("ShowCmd", b"2"),
            ("CurrentBand", b"-1"), ("PixelsPerInch", b"96")]
    write(t, "huge-size", settings_file(edge, huge) + b"\x01")
    write(t, "garbage-file", bytes(range(256)) * 4 + b"\x01")
    write(t, "empty-file", b"\x01")
    # Structured: the provider turns these bytes into entries.
    for i, seed in enumerate([b"\xff" * 64, bytes(range(200)), b"\x03\x80" * 100]):
        write(t, "structured-%d" % i, seed + b"\x00")


def main():
    tables_seeds()
    record_seeds()
    settings_seeds()
    return 0


if __name__ == "__main__":
    sys.exit(main())
