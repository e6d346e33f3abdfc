#!/usr/bin/env python3
"""Reads the example's TSV report the way pandas or a spreadsheet would (the
csv module) and checks that it holds the text report's values, and that
every float reads back to the same float the program printed with %.9g."""
import csv
import io
import struct
import subprocess
import sys

kova, table = sys.argv[1], sys.argv[2]
common = [kova, "-tab", table, "-noise", "45000"]
text = subprocess.run(common, capture_output=True, text=True, check=True).stdout
tsv = subprocess.run(common + ["--tsv"], capture_output=True, text=True, check=True).stdout

report = [line.split() for line in text.splitlines() if line.startswith("Assignment:")]
rows = list(csv.DictReader(io.StringIO(tsv), delimiter="\t"))
assert len(rows) == len(report), (len(rows), len(report))


def as_float(text):
    """The float that a %.9g text stands for (a float32 round trip)."""
    value = float(text)
    return struct.unpack("f", struct.pack("f", value))[0]


for row, words in zip(rows, report):
    # Assignment: N RMS: r S/N: s A: a J: j
    assert int(row["assignment"]) == int(words[1]), (row, words)
    for column, word, digits in (("rms", words[3], 3), ("snr", words[5], 2),
                                 ("A", words[7], 3), ("J", words[9], 3)):
        value = as_float(row[column])
        assert "%.*f" % (digits, value) == word, (column, row[column], word)
        assert "%.9g" % value == row[column], (column, row[column])
    assert row["refit"] in ("0", "1")
    assert int(row["line"]) > 0 and int(row["index"]) > 0

print("%d rows of the TSV report match the text report" % len(rows))
