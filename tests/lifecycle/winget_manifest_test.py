#!/usr/bin/env python3
"""The winget manifest docs/deployment.md documents, checked as winget's own
repository checks it and against the program: each of the three files valid
against its published schema once the two values the company fills in are
given, its switches and return codes those of README.md's tables, and its
Apps and Features entry the one the setup writes.

    winget_manifest_test.py <repository> <schemas folder> <entry_facts program>
"""
import json
import re
import subprocess
import sys
from pathlib import Path

import jsonschema
import yaml

# The company's two values: the placeholders and well-formed stand-ins.
FILLED_IN = {
    "<the archive's address on your source>": "https://example.com/Torvex/SetUp-2025.10.30.zip",
    "<its SHA-256>": "9F86D081884C7D659A2FEAF0C55AD015A3BF4F1B2B0B822CD15D6C15B0F00A08",
}
KINDS = ("version", "defaultLocale", "installer")
# What README's switch table says of the switch winget passes for each mode.
SWITCH_MEANINGS = {
    "Silent": "no window at all",
    "SilentWithProgress": "progress only",
    "InstallLocation": "the folder to install into",
    "Log": "log",
}
# What README's exit-code table says of the code given each response.
RESPONSE_MEANINGS = {
    "cancelledByUser": "cancelled",
    "contactSupport": "failed",
    "installInProgress": "try again later",
    "invalidParameter": "bad command line",
    "rebootRequiredToFinish": "restart",
}

errors = []


def check(condition, message):
    if not condition:
        errors.append(message)


def manifests(deployment):
    section = deployment[deployment.index("## winget"):]
    section = section[: section.find("\n## ")]
    blocks = re.findall(r"```yaml\n(.*?)```", section, re.S)
    for placeholder, value in FILLED_IN.items():
        check(sum(b.count(placeholder) for b in blocks) == 1, f"{placeholder} is not there once")
        blocks = [b.replace(placeholder, value) for b in blocks]
    return {m.get("ManifestType"): m for m in map(yaml.safe_load, blocks)}


def table(markdown, header):
    """(first cell, second cell) of each row of the table under `header`."""
    lines = markdown.splitlines()
    rows = []
    for line in lines[lines.index(header) + 2 :]:
        if not line.startswith("|"):
            break
        cells = [cell.strip() for cell in line.strip("|").split("|")]
        rows.append((cells[0], cells[1]))
    return rows


def shape(switch):
    """A switch as written, its placeholders and optional parts made alike."""
    return re.sub(r"<[^>]*>", "<>", switch).replace("[", "").replace("]", "").upper()


def main(repository, schemas, facts_program):
    readme = (repository / "README.md").read_text(encoding="utf-8")
    found = manifests((repository / "docs" / "deployment.md").read_text(encoding="utf-8"))
    check(sorted(found) == sorted(KINDS), f"the manifest files are {sorted(found, key=str)}")
    for kind in KINDS:
        schema = json.loads((schemas / f"manifest.{kind}.1.10.0.json").read_text(encoding="utf-8"))
        validator = jsonschema.validators.validator_for(schema)(schema)
        for error in validator.iter_errors(found.get(kind, {})):
            errors.append(f"{kind}: {'/'.join(map(str, error.path))}: {error.message}")
    installer = found.get("installer", {})
    locale = found.get("defaultLocale", {})

    switches = {}
    for forms, meaning in table(readme, "| switch | |"):
        for form in re.findall(r"`([^`]*)`", forms):
            switches[shape(form)] = meaning
    for mode, switch in installer.get("InstallerSwitches", {}).items():
        meaning = switches.get(shape(switch), "")
        check(SWITCH_MEANINGS.get(mode, "?") in meaning, f"{mode}: {switch} is not README's")

    codes = {int(code): meaning for code, meaning in table(readme, "| exit code | meaning |")}
    responses = {c["InstallerReturnCode"]: c["ReturnResponse"]
                 for c in installer.get("ExpectedReturnCodes", [])}
    check(set(responses) == set(codes) - {0}, f"return codes {sorted(responses)}, README {sorted(codes)}")
    for code, response in responses.items():
        check(RESPONSE_MEANINGS.get(response, "?") in codes.get(code, ""), f"{code}: {response}")

    output = subprocess.run([str(facts_program)], capture_output=True, check=True).stdout
    entry = dict(line.split("=", 1) for line in output.decode("gbk").splitlines())
    check(installer.get("AppsAndFeaturesEntries") == [entry], f"the entry written is {entry}")
    for kind, manifest in found.items():
        check(manifest.get("PackageVersion") == entry["DisplayVersion"], f"{kind}: PackageVersion")
        check(manifest.get("PackageIdentifier") == installer.get("PackageIdentifier"),
              f"{kind}: PackageIdentifier")
    check(locale.get("PackageLocale") == found.get("version", {}).get("DefaultLocale"), "locale")
    check((locale.get("Publisher"), locale.get("PackageName")) ==
          (entry["Publisher"], entry["DisplayName"]), "Publisher and PackageName")

    for error in errors:
        print("winget manifest:", error)
    if not errors:
        print(f"winget manifest: {len(found)} files valid; {len(responses)} return codes, "
              f"the switches and the entry agree with the program")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main(Path(sys.argv[1]), Path(sys.argv[2]), Path(sys.argv[3])))
