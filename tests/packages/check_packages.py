#!/usr/bin/env python3
"""Checks what the package target wrote beside the release zip: the zip holds
the program and guide just built, Kestrova-<version>.zip.sha256, the winget
manifest set and the Scoop manifest name the version of version.h and the
hash of that zip, and every field the repositories need is there.

  check_packages.py --source-dir SRC --build-dir build/windows [--exe Kestrova.exe]
Exit status 1 and one line per fault when something is wrong.
"""
import argparse
import hashlib
import json
import os
import re
import sys
import zipfile

PACKAGE_ID = "Kestrova.Kestrova"
ZIP_FILES = {"Kestrova.exe", "Readme.txt"}

faults = []


def check(ok, what):
    if not ok:
        faults.append(what)
    return ok


# --- The YAML of winget manifests: block mappings, lists of mappings, scalars.
# Anything else is refused, so that a manifest this cannot read is a fault too.
def yaml_scalar(text):
    if text.startswith('"'):
        return json.loads(text)
    if text.startswith("'"):
        if len(text) < 2 or not text.endswith("'"):
            raise ValueError(f"unterminated quote: {text}")
        return text[1:-1].replace("''", "'")
    if re.match(r"[\[{&*!|>%@`]", text) or " #" in text or ": " in text or text.endswith(":"):
        raise ValueError(f"unsupported scalar: {text}")
    # Every manifest field is text; plain 1.10 or yes would reach winget as a number or a boolean.
    if re.fullmatch(r"[-+]?(\.\d+|\d[\d_]*(\.\d*)?)(e[-+]?\d+)?|0x[0-9a-f]+|0o[0-7]+|\.inf|\.nan"
                    r"|true|false|yes|no|on|off|y|n|null|~", text, re.I):
        raise ValueError(f"not text unless quoted: {text}")
    return text


def yaml_block(lines, i, indent):
    if lines[i][1].startswith("- "):
        items = []
        while i < len(lines) and lines[i][0] == indent and lines[i][1].startswith("- "):
            rest = lines[i][1][2:].lstrip()
            lines[i] = (indent + len(lines[i][1]) - len(rest), rest)
            if ":" in rest and not rest.startswith(('"', "'")):
                item, i = yaml_block(lines, i, lines[i][0])
            else:
                item, i = yaml_scalar(rest), i + 1
            items.append(item)
        return items, i
    mapping = {}
    while i < len(lines) and lines[i][0] == indent and not lines[i][1].startswith("- "):
        text = lines[i][1]
        m = re.fullmatch(r"([A-Za-z][\w.-]*):(?: (.*))?", text)
        if not m:
            raise ValueError(f"not a key: {text}")
        key, value = m.group(1), m.group(2)
        if key in mapping:
            raise ValueError(f"key twice: {key}")
        i += 1
        if value is None or value.strip() == "":
            nested = i < len(lines) and (lines[i][0] > indent or
                                         (lines[i][0] == indent and lines[i][1].startswith("- ")))
            if not nested:
                raise ValueError(f"key without value: {key}")
            mapping[key], i = yaml_block(lines, i, lines[i][0])
        else:
            mapping[key] = yaml_scalar(value.strip())
    return mapping, i


def parse_yaml(path):
    with open(path, encoding="utf-8") as f:
        raw = f.read()
    if "\t" in raw or "\r" in raw:
        raise ValueError("tab or CR in file")
    lines = [(len(l) - len(l.lstrip(" ")), l.strip()) for l in raw.split("\n")
             if l.strip() and not l.lstrip().startswith("#")]
    doc, i = yaml_block(lines, 0, 0)
    if i != len(lines) or not isinstance(doc, dict):
        raise ValueError(f"unexpected line: {lines[i][1] if i < len(lines) else ''}")
    return doc


def header_defines(path):
    with open(path, encoding="utf-8") as f:
        return dict(re.findall(r'^#define\s+(\w+)\s+"?([^"\n]*?)"?\s*$', f.read(), re.M))


def has_japanese(text):
    return bool(re.search(r"[\u3040-\u30ff\u4e00-\u9fff]", text or ""))


def check_zip(zip_path, exe, source_dir):
    with zipfile.ZipFile(zip_path) as z:
        names = set(z.namelist())
        check(names == ZIP_FILES, f"zip holds {sorted(names)}, not {sorted(ZIP_FILES)}")
        check(z.testzip() is None, "zip has a damaged member")
        # The zip must carry the program and guide as built now, not an older pair.
        for name, path in (("Kestrova.exe", exe),
                           ("Readme.txt", os.path.join(source_dir, "Readme.txt"))):
            if name in names and check(os.path.exists(path), f"{path} missing"):
                with open(path, "rb") as f:
                    check(z.read(name) == f.read(), f"{name} in the zip differs from {path}")


def check_winget(folder, version, sha256, web):
    docs = {}
    for kind, name in (("version", f"{PACKAGE_ID}.yaml"),
                       ("defaultLocale", f"{PACKAGE_ID}.locale.ja-JP.yaml"),
                       ("installer", f"{PACKAGE_ID}.installer.yaml")):
        path = os.path.join(folder, name)
        if not check(os.path.exists(path), f"winget: {path} missing"):
            continue
        try:
            docs[kind] = parse_yaml(path)
        except ValueError as e:
            check(False, f"winget: {name}: {e}")
    for kind, doc in docs.items():
        check(doc.get("PackageIdentifier") == PACKAGE_ID, f"winget {kind}: PackageIdentifier")
        check(doc.get("PackageVersion") == version,
              f"winget {kind}: PackageVersion {doc.get('PackageVersion')!r}, version.h says {version}")
        check(doc.get("ManifestType") == kind, f"winget {kind}: ManifestType {doc.get('ManifestType')!r}")
        # Nested installers in a zip need manifest schema 1.4 or later.
        mv = re.fullmatch(r"1\.(\d+)\.0", str(doc.get("ManifestVersion")))
        check(mv and int(mv.group(1)) >= 4, f"winget {kind}: ManifestVersion {doc.get('ManifestVersion')!r}")
    if len({d.get("ManifestVersion") for d in docs.values()}) > 1:
        check(False, "winget: the three files differ in ManifestVersion")
    url = None
    if "version" in docs:
        check(docs["version"].get("DefaultLocale") == "ja-JP", "winget version: DefaultLocale is not ja-JP")
    if "defaultLocale" in docs:
        loc = docs["defaultLocale"]
        check(loc.get("PackageLocale") == "ja-JP", "winget locale: PackageLocale is not ja-JP")
        for key in ("Publisher", "PackageName", "License", "ShortDescription"):
            check(isinstance(loc.get(key), str) and loc.get(key), f"winget locale: {key} missing")
        sd = loc.get("ShortDescription")
        check(has_japanese(sd) and len(sd) <= 256, f"winget locale: ShortDescription {sd!r} is not Japanese")
        check(str(loc.get("PackageUrl", "")).startswith(web), f"winget locale: PackageUrl not under {web}")
    if "installer" in docs:
        ins = docs["installer"]
        check(ins.get("InstallerType") == "zip", "winget installer: InstallerType is not zip")
        check(ins.get("NestedInstallerType") == "portable", "winget installer: NestedInstallerType is not portable")
        nested = ins.get("NestedInstallerFiles")
        check(isinstance(nested, list) and len(nested) == 1 and isinstance(nested[0], dict)
              and nested[0].get("RelativeFilePath") == "Kestrova.exe",
              f"winget installer: NestedInstallerFiles {nested!r}")
        installers = ins.get("Installers")
        if check(isinstance(installers, list) and len(installers) == 1 and isinstance(installers[0], dict),
                 f"winget installer: Installers {installers!r}"):
            one = installers[0]
            check(one.get("Architecture") == "x64", "winget installer: Architecture is not x64")
            url = one.get("InstallerUrl")
            check(one.get("InstallerSha256") == sha256.upper(),
                  f"winget installer: InstallerSha256 {one.get('InstallerSha256')!r} is not the zip's {sha256.upper()}")
    return url


def check_scoop(path, version, sha256, web):
    try:
        with open(path, encoding="utf-8") as f:
            m = json.load(f)
    except (OSError, ValueError) as e:
        check(False, f"scoop: {e}")
        return None
    check(m.get("version") == version, f"scoop: version {m.get('version')!r}, version.h says {version}")
    for key in ("description", "license"):
        check(isinstance(m.get(key), str) and m.get(key), f"scoop: {key} missing")
    check(has_japanese(m.get("description")), "scoop: description is not Japanese")
    check(str(m.get("homepage", "")).startswith(web), f"scoop: homepage not under {web}")
    check(str(m.get("hash", "")).lower().removeprefix("sha256:") == sha256,
          f"scoop: hash {m.get('hash')!r} is not the zip's {sha256}")
    check(m.get("bin") in ("Kestrova.exe", ["Kestrova.exe"]), f"scoop: bin {m.get('bin')!r}")
    check(m.get("shortcuts") == [["Kestrova.exe", "Kestrova"]], f"scoop: shortcuts {m.get('shortcuts')!r}")
    check(m.get("persist") in ("Kestrova.ini", ["Kestrova.ini"]), f"scoop: persist {m.get('persist')!r}")
    # Without an existing file Scoop persists a folder named Kestrova.ini, which the
    # program cannot open; the file must be made in $dir before persisting moves it.
    pre = m.get("pre_install")
    pre = "\n".join(pre) if isinstance(pre, list) else str(pre or "")
    check(re.search(r'if \(!\(Test-Path "\$persist_dir\\Kestrova\.ini"\)\) \{ '
                    r'New-Item "\$dir\\Kestrova\.ini" -ItemType File \| Out-Null \}', pre),
          f"scoop: pre_install {pre!r} does not create an empty Kestrova.ini in $dir")
    return m.get("url")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--source-dir", required=True)
    ap.add_argument("--build-dir", required=True, help="where the zip and manifests are")
    ap.add_argument("--exe", help="the Kestrova.exe just built (default: in the build folder)")
    args = ap.parse_args()
    res = os.path.join(args.source_dir, "src", "resources")
    ver = header_defines(os.path.join(res, "version.h"))
    version = ".".join(ver.get(f"KESTROVA_VERSION_{p}", "?") for p in ("MAJOR", "MINOR", "REVISION"))
    web = header_defines(os.path.join(res, "about_info.h")).get("KESTROVA_WEB_ADDRESS", "?")
    zip_name = f"Kestrova-{version}.zip"
    zip_path = os.path.join(args.build_dir, zip_name)
    if not os.path.exists(zip_path):
        print(f"FAIL: {zip_path} missing")
        return 1
    with open(zip_path, "rb") as f:
        sha256 = hashlib.sha256(f.read()).hexdigest()

    check_zip(zip_path, args.exe or os.path.join(args.build_dir, "Kestrova.exe"), args.source_dir)
    try:
        with open(zip_path + ".sha256", encoding="ascii", newline="") as f:
            line = f.read()
        check(line == f"{sha256}  {zip_name}\n", f"{zip_name}.sha256 says {line!r}, the zip's is {sha256}")
    except (OSError, ValueError) as e:
        check(False, f"{zip_name}.sha256: {e}")
    winget_url = check_winget(os.path.join(args.build_dir, "winget", PACKAGE_ID, version), version, sha256, web)
    scoop_url = check_scoop(os.path.join(args.build_dir, "scoop", "kestrova.json"), version, sha256, web)
    for who, url in (("winget", winget_url), ("scoop", scoop_url)):
        check(isinstance(url, str) and url.startswith("https://") and url.startswith(web)
              and url.endswith("/" + zip_name), f"{who}: download URL {url!r}")
    check(winget_url == scoop_url, f"winget and scoop download from different URLs: {winget_url} {scoop_url}")

    for f in faults:
        print("FAIL:", f)
    print(f"{zip_name} {sha256}: {'ok' if not faults else f'{len(faults)} faults'}")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
