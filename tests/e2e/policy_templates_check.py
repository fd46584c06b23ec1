#!/usr/bin/env python3
"""Checks the administrative templates against the product.

    policy_templates_check.py SOURCE_FOLDER DIST_FOLDER NAMES_HEADER

SOURCE_FOLDER and DIST_FOLDER each hold Lensbeacon.admx and
en-US/Lensbeacon.adml; the build's copies must equal the sources. The policy
key and the value names are taken from the product's own names header, so
template and product cannot drift apart.
"""
import filecmp
import re
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

NS = "{http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions}"
FILES = ("Lensbeacon.admx", "en-US/Lensbeacon.adml")
failed = False


def check(label, ok):
    global failed
    print(("ok: " if ok else "FAILED: ") + label)
    failed = failed or not ok


def wide_literal(header, name):
    match = re.search(name + r'\s*=\s*L"((?:[^"\\]|\\.)*)"', header)
    if not match:
        sys.exit(f"{name} not found in the names header")
    return match.group(1).replace("\\\\", "\\")


def decimal(policy, element):
    found = policy.find(f"{NS}{element}/{NS}decimal")
    return None if found is None else found.get("value")


def main():
    source, dist, names = Path(sys.argv[1]), Path(sys.argv[2]), Path(sys.argv[3])
    header = names.read_text(encoding="utf-8")
    key = wide_literal(header, "kPolicyKey")
    values = {wide_literal(header, n) for n in ("kShowOsdValue", "kCheckUsbCameraValue",
                                                "kShowCfgTipValue")}

    for name in FILES:
        check(f"dist/policy/{name} is the source's copy",
              (dist / name).is_file() and filecmp.cmp(source / name, dist / name, shallow=False))
    try:
        admx = ET.parse(source / FILES[0]).getroot()
        adml = ET.parse(source / FILES[1]).getroot()
    except ET.ParseError as error:
        check(f"well-formed XML ({error})", False)
        return 1
    check("well-formed XML", True)
    check("ADMX and ADML roots in the policy definitions namespace",
          admx.tag == NS + "policyDefinitions" and adml.tag == NS + "policyDefinitionResources")

    target = admx.find(f"{NS}policyNamespaces/{NS}target")
    check("a namespace of the product's own",
          target is not None and target.get("namespace", "").startswith("Orvane.")
          and target.get("prefix"))

    strings = {s.get("id"): (s.text or "") for s in adml.iter(NS + "string")}
    presentations = {p.get("id") for p in adml.iter(NS + "presentation")}
    references = [m for e in admx.iter() for v in e.attrib.values()
                  for m in re.findall(r"\$\((string|presentation)\.([^)]*)\)", v)]
    unresolved = [f"{kind}.{ref}" for kind, ref in references
                  if ref not in (strings if kind == "string" else presentations)]
    check(f"every $(string.X) and $(presentation.X) resolves in the ADML {unresolved or ''}",
          bool(references) and not unresolved)

    categories = {c.get("name") for c in admx.iter(NS + "category")}
    check('a category "Lensbeacon"', "Lensbeacon" in categories)
    supported = {d.get("name"): d.get("displayName", "") for d in admx.iter(NS + "definition")}
    check("a supportedOn definition for Windows 10 1903 and later",
          any("1903" in strings.get(name[len("$(string."):-1], "")
              for name in supported.values()))

    policies = {p.get("valueName"): p for p in admx.iter(NS + "policy")}
    check(f"one policy per value: {sorted(values)}",
          set(policies) == values and len(list(admx.iter(NS + "policy"))) == len(values))
    for value, policy in policies.items():
        label = f"policy {policy.get('name')}"
        check(f"{label}: machine policy on {key}",
              policy.get("class") == "Machine" and policy.get("key") == key)
        check(f"{label}: enabled 1, disabled 0",
              decimal(policy, "enabledValue") == "1" and decimal(policy, "disabledValue") == "0")
        parent = policy.find(f"{NS}parentCategory")
        check(f"{label}: in the Lensbeacon category",
              parent is not None and parent.get("ref") == "Lensbeacon")
        support = policy.find(f"{NS}supportedOn")
        check(f"{label}: supported on a defined version",
              support is not None and support.get("ref") in supported)
        explain = strings.get(policy.get("explainText", "")[len("$(string."):-1], "")
        check(f"{label}: explained for enabled, disabled and not configured",
              all(word in explain for word in ("If you enable", "If you disable",
                                                "If you do not configure")))
    show = policies.get("ShowOSD")
    explain = "" if show is None else strings.get(show.get("explainText")[9:-1], "")
    check('ShowOSD: "Disabled" holds the indicator off',
          re.search(r"If you disable[^.]*held off", explain) is not None)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
