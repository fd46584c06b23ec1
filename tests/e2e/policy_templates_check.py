#!/usr/bin/env python3
"""Checks the administrative templates against the product's own names.
    policy_templates_check.py SOURCE_FOLDER DIST_FOLDER NAMES_HEADER"""
import filecmp
import re
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

NS = "{http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions}"
source, dist, names = (Path(a) for a in sys.argv[1:4])
failed = []


def check(label, ok):
    print(("ok: " if ok else "FAILED: ") + label)
    failed.extend([] if ok else [label])


header = names.read_text(encoding="utf-8")
literal = lambda name: re.search(name + r'\s*=\s*L"([^"]*)"', header).group(1).replace("\\\\", "\\")
key = literal("kPolicyKey")
values = {literal(n) for n in ("kShowOsdValue", "kCheckUsbCameraValue", "kShowCfgTipValue")}
files = ("Lensbeacon.admx", "en-US/Lensbeacon.adml")
for name in files:
    check(f"dist/policy/{name} is the source", filecmp.cmp(source / name, dist / name, False))
admx, adml = (ET.parse(source / name).getroot() for name in files)  # raises if malformed
check("well-formed, in the policy definitions namespace",
      (admx.tag, adml.tag) == (NS + "policyDefinitions", NS + "policyDefinitionResources"))
check("a namespace of the product's own",
      admx.find(f"{NS}policyNamespaces/{NS}target").get("namespace") == "Orvane.Policies.Lensbeacon")
tables = {"string": {s.get("id"): s.text or "" for s in adml.iter(NS + "string")},
          "presentation": {p.get("id"): p for p in adml.iter(NS + "presentation")}}
text = lambda ref: tables["string"].get(ref[len("$(string."):-1], "")
refs = re.findall(r"\$\((string|presentation)\.([^)]*)\)", " ".join(
    v for e in admx.iter() for v in e.attrib.values()))
check("every $(string.X) and $(presentation.X) resolves in the ADML",
      refs and all(ref in tables[kind] for kind, ref in refs))
check('a category "Lensbeacon"', "Lensbeacon" in {c.get("name") for c in admx.iter(NS + "category")})
supported = {d.get("name"): text(d.get("displayName")) for d in admx.iter(NS + "definition")}
policies = list(admx.iter(NS + "policy"))
check(f"one machine policy per value {sorted(values)} on {key}",
      sorted(p.get("valueName") for p in policies) == sorted(values)
      and all(p.get("class") == "Machine" and p.get("key") == key for p in policies))
for p in policies:
    decimal = lambda state: p.find(f"{NS}{state}/{NS}decimal").get("value")
    check(f"{p.get('valueName')}: enabled 1, disabled 0, in Lensbeacon, Windows 10 1903 and later",
          (decimal("enabledValue"), decimal("disabledValue")) == ("1", "0")
          and p.find(NS + "parentCategory").get("ref") == "Lensbeacon"
          and "1903" in supported.get(p.find(NS + "supportedOn").get("ref"), ""))
    explain = text(p.get("explainText"))
    check(f"{p.get('valueName')}: explained", all(
        w in explain for w in ("If you enable", "If you disable", "If you do not configure")))
    if p.get("valueName") == "ShowOSD":
        check('ShowOSD: "Disabled" holds the indicator off',
              re.search(r"If you disable[^.]*held off", explain) is not None)
sys.exit(1 if failed else 0)
