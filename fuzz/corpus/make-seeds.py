#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets, drawn from the system's worked examples.

The targets read their choices with FuzzedDataProvider, which takes numbers from the END of
the input (the first number read is the last byte) and text from the FRONT. A seed is
therefore the text followed by its choice bytes in reverse order of reading.
Run it from anywhere; it rewrites fuzz/corpus/<target>/.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, seeds):
    folder = os.path.join(HERE, target)
    os.makedirs(folder, exist_ok=True)
    for name in os.listdir(folder):
        os.remove(os.path.join(folder, name))
    for i, data in enumerate(seeds):
        with open(os.path.join(folder, f"seed-{i:02d}"), "wb") as out:
            out.write(data)


def tail(*choices):
    """Choice bytes, in the order the target reads them, laid out at the end of a seed."""
    return bytes(reversed(choices))


write("Tokens_fuzz", [
    b"name=a.hvj,type=file,size=0",
    b"{x=1,y={a,b}}",
    b"{a},{b}",
    b'a=1, b = 2 ,"c=3"',
    b"a,,b,",
    b" {a,b}",
    b"{a,b",
    b"name=Report<1>|*2.txt,type=file",
    b'"a,b",c',
    b"}a{",
    b"C:\\Data{1},#2",
    b"do_schedule=1,days=1111100,time=14:30:00,cmd=C:\\Tools\\backup.exe /job 3",
])


def parse_seed(text, kind=2, year=2026):
    # parse path; separators '/' ':' '.'; picture "M/d/yyyy"; "AM"/"PM"; 14 July; kind.
    y = year - 1601
    return text + tail(1, 0, 0, 0, 1, 1, 1, y >> 8, y & 0xFF, 6, 13, kind)


def round_trip_seed(row, year, month, day, hour, minute, second):
    current = 2026 - 1601
    if row == 4:  # two-digit years: the year is read within the window around 2026
        year_bytes = (year - 1976,)
    else:
        year_bytes = ((year - 1) >> 8, (year - 1) & 0xFF)
    return tail(0, row, current >> 8, current & 0xFF, *year_bytes, month - 1, day - 1,
                hour, minute, second)


write("ParseDateTime_fuzz", [
    parse_seed(b"10:30"),
    parse_seed(b"9:05 PM"),
    parse_seed(b"12:15 AM"),
    parse_seed(b"7/14/2003 9:05:00 AM"),
    parse_seed(b"7/14/03", kind=0),
    parse_seed(b"7/14"),
    parse_seed(b"7/14/2003 9:05 later"),
    parse_seed(b"10:30:15.5", kind=1),
    parse_seed(b"0:30 AM"),
    round_trip_seed(0, 2003, 7, 14, 9, 5, 0),
    round_trip_seed(2, 1, 1, 1, 23, 59, 59),
    round_trip_seed(4, 2075, 12, 31, 0, 0, 1),
])


def render_seed(picture, value, defaults=True):
    bits = struct.unpack(">Q", struct.pack(">d", value))[0]
    return picture + tail(0, *bits.to_bytes(8, "big"), 1 if defaults else 0)


NINE_OH_FIVE = 37816 + (9 * 3600 + 5 * 60) / 86400
write("RenderPicture_fuzz", [
    render_seed(b"c", NINE_OH_FIVE),
    render_seed(b"m/d/yy h:m", NINE_OH_FIVE),
    render_seed(b"dddddd tt", 37816.9375),
    render_seed(b"AM/PM hh:nn:ss.zzz", 37816.9375),
    render_seed(b"a/p h 'quoted' \"open", 0.4375),
    render_seed(b"aaaa, mmmm d, yyyy ampm", 37816.9375),
    render_seed(b"ddddd t", -1.25),
])

store = b"C:\\Tools\\backup.exe /job 3=7/14/2003 9:05:00 AM\r\nrun.exe /level|full=12/9/2026 2:30:00 PM\r\n"
job = b"".join(b"line %d\r\n" % i for i in range(22)) + \
    b"do_schedule=1,days=1111100,time=14:30:00,cmd=C:\\Tools\\backup.exe /job 3\r\n"
write("LoadLines_fuzz", [
    b"a\r\nb",
    b"x\n\ry",
    b"a\r\r\nb\n",
    b"before\x00after\r\n",
    b"",
    store,
    job,
])
