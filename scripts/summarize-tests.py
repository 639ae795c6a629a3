#!/usr/bin/env python3
"""Sums the GoogleTest results of both configurations into one line.

A test executable that failed without a report of its own (a crash, a
sanitizer abort, a hang) counts as one failure.
"""
import sys
import xml.etree.ElementTree as ET
from pathlib import Path


def parse(report):
    # A failing test's output may hold GBK or other bytes that are no UTF-8:
    # the report is read whatever they are, so the summary line always comes.
    text = report.read_bytes().decode("utf-8", errors="replace")
    return ET.fromstring(text.encode("utf-8"))


results = Path(sys.argv[1])
passed = failed = 0
for config in ("native", "win"):
    reported = set()
    for report in sorted((results / config).glob("*.xml")):
        root = parse(report)
        reported.add(report.stem.lower())
        for case in root.iter("testcase"):
            if case.get("result") == "skipped" or case.find("skipped") is not None:
                continue
            if case.find("failure") is not None:
                failed += 1
            else:
                passed += 1
    junit = results / f"{config}.junit.xml"
    if not junit.exists():
        print(f"{config}: ctest left no report")
        failed += 1
        continue
    for case in parse(junit).iter("testcase"):
        if case.get("status") == "fail":
            name = case.get("name", "?")
            print(f"{config}: {name} failed")
            if name.lower() not in reported:
                failed += 1

print(f"{passed} passed, {failed} failed")
sys.exit(1 if failed or passed == 0 else 0)
