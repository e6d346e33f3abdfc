#!/usr/bin/env python3
"""Parses the SVG pictures kova draws as XML, as a browser would, and checks
that they hold one panel per report line, titled with that line's numbers,
and that the error simulation's histogram holds its 1000 trials."""
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

SVG = "{http://www.w3.org/2000/svg}"
kova, table = sys.argv[1], sys.argv[2]

with tempfile.TemporaryDirectory() as work:
    fits = os.path.join(work, "fits.svg")
    run = [kova, "-tab", table, "-noise", "45000", "--mc", "--seed", "7"]
    report = subprocess.run(run + ["--plot", fits], capture_output=True, text=True,
                            check=True).stdout
    assert report == subprocess.run(run, capture_output=True, text=True).stdout, \
        "the report does not change with --plot"
    lines = [l.split() for l in report.splitlines() if l.startswith("Assignment:")]
    panels = ET.parse(fits).getroot().findall(SVG + "g")
    panels = [p for p in panels if p.get("class") == "panel"]
    assert len(panels) == len(lines), (len(panels), len(lines))
    for panel, words in zip(panels, lines):
        title = next(t for t in panel.iter(SVG + "text") if t.get("class") == "title").text
        # Assignment: N RMS: r S/N: s A: a J: j ERR_A: ea ERR_J: ej
        want = "#%s  J %s \u00b1 %s Hz" % (words[1], words[9], words[13])
        assert title == want, (title, want)
        assert len(panel.findall(SVG + "circle")) == 3
        assert len(panel.findall(SVG + "polyline")) == 1
    assert os.path.getsize(fits) < 4000 * len(panels) + 2000, "a few KB per panel"

    histogram = os.path.join(work, "j.svg")
    subprocess.run([kova, "-err", "20", "--seed", "7", "--plot", histogram],
                   capture_output=True, check=True)
    root = ET.parse(histogram).getroot()
    bins = [r for r in root.iter(SVG + "rect") if r.get("class") == "bin"]
    assert len(bins) == 40, len(bins)
    assert sorted(os.listdir(work)) == ["fits.svg", "j.svg"], "no temporary file is left"

print("%d panels and the histogram parse and match the report" % len(panels))
