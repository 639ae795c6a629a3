#!/usr/bin/env python3
"""Sums the GoogleTest results of both configurations into one line,
"N passed, M failed, K skipped" (CI reads its start).

A test executable that failed without a report of its own (a crash, a
sanitizer abort, a hang) counts as one failure; one that ctest did not run
(its fixture failed, its file is missing) as one skipped. A skipped test never
counts as passed, and the test command has everything every test needs: any
skip fails the run.
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
passed = failed = skipped = 0
for config in ("native", "win"):
    reported = set()
    for report in sorted((results / config).glob("*.xml")):
        root = parse(report)
        reported.add(report.stem.lower())
        for case in root.iter("testcase"):
            if case.get("result") == "skipped" or case.find("skipped") is not None:
                print(f"{config}: {case.get('classname', '?')}.{case.get('name', '?')} skipped")
                skipped += 1
            elif case.find("failure") is not None:
                failed += 1
            else:
                passed += 1
    junit = results / f"{config}.junit.xml"
    if not junit.exists():
        print(f"{config}: ctest left no report")
        failed += 1
        continue
    for case in parse(junit).iter("testcase"):
        name = case.get("name", "?")
        status = case.get("status")
        if status == "fail":
            print(f"{config}: {name} failed")
            if name.lower() not in reported:
                failed += 1
        elif status in ("notrun", "disabled"):
            print(f"{config}: {name} not run")
            skipped += 1

print(f"{passed} passed, {failed} failed, {skipped} skipped")
sys.exit(1 if failed or skipped or passed == 0 else 0)
