#!/usr/bin/env python3
"""The winget manifest of docs/deployment.md: each of its three files valid
against the published schema once the company's two values are filled in,
its switches and return codes those of README.md's tables (by meaning), its
Apps and Features entry the one the setup writes (printed by entry_facts).
    winget_manifest_test.py <repository> <schemas folder> <entry_facts>"""
import json, re, subprocess, sys
from pathlib import Path
import jsonschema, yaml

FILLED_IN = {"<the archive's address on your source>": "https://example.com/Torvex/SetUp.zip",
             "<its SHA-256>": "9F86D081884C7D659A2FEAF0C55AD015A3BF4F1B2B0B822CD15D6C15B0F00A08"}
# What README says of the switch each mode passes, and of the code each response is for.
MEANINGS = {"Silent": "no window at all", "SilentWithProgress": "progress only",
            "InstallLocation": "the folder to install into", "Log": "log",
            "cancelledByUser": "cancelled", "contactSupport": "failed",
            "installInProgress": "try again later", "invalidParameter": "bad command line",
            "rebootRequiredToFinish": "restart", "rebootRequiredForInstall": "restart",
            "downgrade": "a newer version is installed"}
repository, schemas, facts = map(Path, sys.argv[1:4])
errors = []


def check(condition, message):
    errors.extend([] if condition else [message])


def table(header):  # README's table under the header row: {first cell: second cell}
    lines = README.splitlines()[README.splitlines().index(header) + 2:]
    rows = [line.strip("|").split("|") for line in lines[: [l[:1] for l in lines].index("")]]
    return {cells[0].strip(): cells[1].strip() for cells in rows}


def shape(switch):  # placeholders and optional parts alike: /LOG[="<file>"] is /LOG="<>"
    return re.sub(r"<[^>]*>", "<>", switch).replace("[", "").replace("]", "").upper()


README = (repository / "README.md").read_text(encoding="utf-8")
page = (repository / "docs/deployment.md").read_text(encoding="utf-8").split("## winget")[1]
blocks = re.findall(r"```yaml\n(.*?)```", page.split("\n## ")[0], re.S)
for placeholder, value in FILLED_IN.items():
    check(sum(b.count(placeholder) for b in blocks) == 1, f"{placeholder} not there once")
    blocks = [b.replace(placeholder, value) for b in blocks]
found = {m.get("ManifestType"): m for m in map(yaml.safe_load, blocks)}
check(sorted(found) == ["defaultLocale", "installer", "version"], f"files: {list(found)}")
for kind, manifest in found.items():
    schema = json.loads((schemas / f"manifest.{kind}.1.10.0.json").read_text(encoding="utf-8"))
    for error in jsonschema.validators.validator_for(schema)(schema).iter_errors(manifest):
        errors.append(f"{kind}: {'/'.join(map(str, error.path))}: {error.message}")
installer = found.get("installer", {})

switches = {shape(form): meaning for forms, meaning in table("| switch | |").items()
            for form in re.findall(r"`([^`]*)`", forms)}
for mode, switch in installer.get("InstallerSwitches", {}).items():
    check(MEANINGS.get(mode, "?") in switches.get(shape(switch), ""), f"{mode}: {switch}")
codes = {int(code): meaning for code, meaning in table("| exit code | meaning |").items()}
returns = {row: {int(code) for code in cell.split(", ")} for row, cell in table("| program | exit codes |").items()}
# A code only Uninstall.exe /VERIFY returns is no installer's.
verify_only = set().union(*(c for row, c in returns.items() if "/VERIFY" in row)) - set().union(
    *(c for row, c in returns.items() if "/VERIFY" not in row))
responses = {c["InstallerReturnCode"]: c["ReturnResponse"] for c in installer.get("ExpectedReturnCodes", [])}
check(set(responses) == set(codes) - {0} - verify_only,
      f"return codes {sorted(responses)}, README's {sorted(codes)} but /VERIFY's own {sorted(verify_only)}")
for code, response in responses.items():
    check(MEANINGS.get(response, "?") in codes.get(code, ""), f"{code}: {response}")

output = subprocess.run([facts], capture_output=True, check=True).stdout.decode("gbk")
entry = dict(line.split("=", 1) for line in output.splitlines())
check(installer.get("AppsAndFeaturesEntries") == [entry], f"the setup writes {entry}")
check({m.get("PackageVersion") for m in found.values()} == {entry["DisplayVersion"]}, "PackageVersion")
locale = found.get("defaultLocale", {})
check([locale.get("Publisher"), locale.get("PackageName")] == [entry["Publisher"], entry["DisplayName"]],
      "the locale's Publisher and PackageName")
print("\n".join(f"winget manifest: {e}" for e in errors) or "winget manifest: valid, agrees")
sys.exit(1 if errors else 0)
