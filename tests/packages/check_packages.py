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


# --- What the repositories' own schemas demand, written from them, not from the script:
# winget's multi-file manifests of schema 1.6.0 and Scoop's manifest schema.
U16 = r"(0|[1-9][0-9]{0,3}|[1-5][0-9]{4}|6[0-4][0-9]{3}|65[0-4][0-9]{2}|655[0-2][0-9]|6553[0-5])"
ID_PART = r'[^\.\s\\/:\*\?"<>\|\x01-\x1f]{1,32}'
WINGET_FIELDS = {
    # field: (pattern or allowed values, most characters)
    "PackageIdentifier": (rf"{ID_PART}(\.{ID_PART}){{1,7}}", 128),
    "PackageVersion": (r'[^\\/:\*\?"<>\|\x01-\x1f]+', 128),
    "DefaultLocale": (r"([a-zA-Z]{2,3}|[iI]-[a-zA-Z]+|[xX]-[a-zA-Z]{1,8})(-[a-zA-Z]{1,8})*", 20),
    "PackageLocale": (r"([a-zA-Z]{2,3}|[iI]-[a-zA-Z]+|[xX]-[a-zA-Z]{1,8})(-[a-zA-Z]{1,8})*", 20),
    "ManifestVersion": (rf"{U16}(\.{U16}){{2}}", 20),
    "PublisherUrl": (r"[Hh][Tt][Tt][Pp][Ss]?://.+", 2048),
    "PackageUrl": (r"[Hh][Tt][Tt][Pp][Ss]?://.+", 2048),
    "InstallerUrl": (r"[Hh][Tt][Tt][Pp][Ss]?://.+", 2048),
    "InstallerSha256": (r"[A-Fa-f0-9]{64}", 64),
    "Publisher": (r".{2,}", 256),
    "PackageName": (r".{2,}", 256),
    "License": (r".{3,}", 512),
    "ShortDescription": (r"(?s).{3,}", 256),
    "Description": (r"(?s).{3,}", 10000),
    "Moniker": (r"\S.*", 40),
    "PortableCommandAlias": (r".+", 40),
    "RelativeFilePath": (r".+", 512),
    "Architecture": ({"x86", "x64", "arm", "arm64", "neutral"}, None),
    "Scope": ({"user", "machine"}, None),
    "InstallerType": ({"msix", "msi", "appx", "exe", "zip", "inno", "nullsoft", "wix", "burn", "pwa",
                       "portable"}, None),
    "NestedInstallerType": ({"msix", "msi", "appx", "exe", "inno", "nullsoft", "wix", "burn", "portable"}, None),
}
WINGET_REQUIRED = {
    "version": ["PackageIdentifier", "PackageVersion", "DefaultLocale", "ManifestType", "ManifestVersion"],
    "defaultLocale": ["PackageIdentifier", "PackageVersion", "PackageLocale", "Publisher", "PackageName",
                      "License", "ShortDescription", "ManifestType", "ManifestVersion"],
    "installer": ["PackageIdentifier", "PackageVersion", "Installers", "ManifestType", "ManifestVersion"],
}
WINGET_INSTALLER_REQUIRED = ["Architecture", "InstallerUrl", "InstallerSha256"]


def check_schema_fields(who, obj):
    """Every known field of `obj`, and of the mappings in its lists, against the schema."""
    for key, value in obj.items():
        if isinstance(value, list):
            for item in value:
                if isinstance(item, dict):
                    check_schema_fields(f"{who} {key}", item)
            continue
        rule = WINGET_FIELDS.get(key)
        if rule is None:
            continue
        allowed, most = rule
        if isinstance(allowed, set):
            check(value in allowed, f"{who}: {key} {value!r} is not one of {sorted(allowed)}")
        else:
            check(isinstance(value, str) and re.fullmatch(allowed, value) and len(value) <= most,
                  f"{who}: {key} {value!r} does not match the schema")


def check_winget_schema(kind, doc):
    for key in WINGET_REQUIRED[kind]:
        check(key in doc, f"winget {kind}: required {key} missing")
    check_schema_fields(f"winget {kind}", doc)
    if kind == "installer":
        for one in doc.get("Installers") or []:
            for key in WINGET_INSTALLER_REQUIRED:
                check(isinstance(one, dict) and key in one, f"winget installer: required Installers[].{key} missing")


SCOOP_HASH = r"([a-fA-F0-9]{64}|(sha1|sha256|sha512|md5):[a-fA-F0-9]+)"
SCOOP_ARCHES = {"32bit", "64bit", "arm64"}


def check_scoop_schema(m):
    check("version" in m and re.fullmatch(r"\S+", str(m["version"])), "scoop: required version missing")
    check(re.fullmatch(r"https?://.+", str(m.get("homepage", ""))), f"scoop: homepage {m.get('homepage')!r}")
    # Scoop's schema: a download is a url, at the top or per architecture, each with its hash.
    arch = m.get("architecture", {})
    check(isinstance(arch, dict) and set(arch) <= SCOOP_ARCHES, f"scoop: architecture {arch!r}")
    check("url" in m or (isinstance(arch, dict) and all("url" in a for a in arch.values()) and arch),
          "scoop: no url")
    for where in [m] + (list(arch.values()) if isinstance(arch, dict) else []):
        if "url" in where:
            check(re.fullmatch(r"(https?|ftps?)://.+", str(where["url"])), f"scoop: url {where['url']!r}")
            check(re.fullmatch(SCOOP_HASH, str(where.get("hash", ""))), f"scoop: hash {where.get('hash')!r}")
    cv = m.get("checkver")
    check(isinstance(cv, str) or (isinstance(cv, dict) and set(cv) & {"url", "github", "regex", "re",
                                                                        "jsonpath", "xpath"}),
          f"scoop: checkver {cv!r}")
    if isinstance(cv, dict) and "regex" in cv:
        try:
            re.compile(cv["regex"])
        except re.error as e:
            check(False, f"scoop: checkver regex: {e}")
    au = m.get("autoupdate")
    check(isinstance(au, dict) and ("url" in au or isinstance(au.get("architecture"), dict)),
          f"scoop: autoupdate {au!r}")


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
        check_winget_schema(kind, doc)
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
            # Beside the exe lives Kestrova.ini: under Program Files it could never be saved.
            check(one.get("Scope", ins.get("Scope")) == "user", "winget installer: Scope is not user")
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
    check_scoop_schema(m)
    # The exe is x64 only: the download belongs to 64bit, not to every architecture.
    check("url" not in m and "hash" not in m, "scoop: url or hash outside architecture.64bit")
    x64 = (m.get("architecture") or {}).get("64bit") or {}
    check(str(x64.get("hash", "")).lower().removeprefix("sha256:") == sha256,
          f"scoop: 64bit hash {x64.get('hash')!r} is not the zip's {sha256}")
    au = ((m.get("autoupdate") or {}).get("architecture") or {}).get("64bit") or {}
    check(str(au.get("url", "")).endswith("/Kestrova-$version.zip"), f"scoop: autoupdate url {au.get('url')!r}")
    check(au.get("hash") == {"url": "$url.sha256"}, f"scoop: autoupdate hash {au.get('hash')!r}")
    cv = m.get("checkver") or {}
    check(isinstance(cv, dict) and re.search(cv.get("regex", "(?!)"), f"<a href=\"download/{zip_name(version)}\">")
          and re.search(cv.get("regex"), f"download/{zip_name(version)}").group(1) == version,
          f"scoop: checkver {cv!r} does not find the version in a link to the zip")
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
    return x64.get("url")


def zip_name(version):
    return f"Kestrova-{version}.zip"


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
