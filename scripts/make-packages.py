#!/usr/bin/env python3
"""Writes the release: Kestrova-<version>.zip, its .sha256, the winget
manifest set and the Scoop manifest.

Everything is taken from src/resources/version.h and about_info.h and from the
zip as written, so the manifests cannot name another version or hash than the
release. The zip carries fixed dates and attributes, so the same program gives
the same hash on every build. Standard library only; the package target runs it.

  make-packages.py --source-dir SRC --zip build/windows/Kestrova-1.0.0.zip Kestrova.exe Readme.txt
"""
import argparse
import hashlib
import json
import os
import re
import sys
import zipfile

PACKAGE_ID = "Kestrova.Kestrova"
MANIFEST_VERSION = "1.6.0"
# No licence text has been chosen yet; free to use is what the guide promises.
LICENSE = "Freeware"
SHORT_DESCRIPTION = "アクティブウィンドウのタイトルバーに日付と時刻を書き込む常駐ツール"
DESCRIPTION = (
    "いま使っているウィンドウのタイトルバーに現在の日付と時刻を書き込み、"
    "別のウィンドウに切り替えると元のタイトルに戻します。"
    "世界時計、カウントダウン、メッセージアラーム、システム情報も表示できます。"
    "設定は Kestrova.exe と同じフォルダーの Kestrova.ini に保存されます。"
)
# Scoop persists this file; when it is missing Scoop would make a folder of it.
INI = "Kestrova.ini"
EXE = "Kestrova.exe"


def read_defines(path):
    """#define NAME value lines of a header, string values unquoted."""
    defines = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            m = re.match(r'#define\s+(\w+)\s+(?:"([^"]*)"|(\d+))\s*$', line)
            if m:
                defines[m.group(1)] = m.group(2) if m.group(2) is not None else m.group(3)
    return defines


def release_facts(source_dir):
    res = os.path.join(source_dir, "src", "resources")
    ver = read_defines(os.path.join(res, "version.h"))
    about = read_defines(os.path.join(res, "about_info.h"))
    try:
        version = ".".join(ver["KESTROVA_VERSION_" + p] for p in ("MAJOR", "MINOR", "REVISION"))
        copyright_ = about["KESTROVA_LEGAL_COPYRIGHT"]
        web = about["KESTROVA_WEB_ADDRESS"]
    except KeyError as e:
        sys.exit(f"make-packages: {e.args[0]} not found in src/resources")
    m = re.match(r"Copyright \(C\) \d{4}(?:-\d{4})? (.+)$", copyright_)
    if not m:
        sys.exit("make-packages: KESTROVA_LEGAL_COPYRIGHT names no publisher")
    if not web.endswith("/"):
        web += "/"
    return {
        "version": version,
        "copyright": copyright_,
        "publisher": m.group(1),
        "web": web,
        "zip_name": f"Kestrova-{version}.zip",
        "url": f"{web}download/Kestrova-{version}.zip",
    }


def yaml_scalar(value):
    # Quoted whenever plain YAML could read it as something other than this text:
    # a number such as 1.10, a boolean, a key, a comment, an indicator.
    plain = (value and not re.match(r"[\s\-?:,\[\]{}#&*!|>'\"%@`]", value)
             and ": " not in value and " #" not in value and not re.search(r"[\s:]$", value))
    typed = re.fullmatch(r"[-+]?(\.\d+|\d[\d_]*(\.\d*)?)(e[-+]?\d+)?|0x[0-9a-f]+|0o[0-7]+|\.inf|\.nan"
                         r"|true|false|yes|no|on|off|y|n|null|~", value, re.I)
    if plain and not typed:
        return value
    return json.dumps(value, ensure_ascii=False)


def yaml_lines(obj, indent=0):
    pad = " " * indent
    out = []
    for key, value in obj.items():
        if isinstance(value, list):
            out.append(f"{pad}{key}:")
            for item in value:
                inner = yaml_lines(item, indent + 4)
                out.append(f"{pad}  - {inner[0].lstrip()}")
                out.extend(inner[1:])
        else:
            out.append(f"{pad}{key}: {yaml_scalar(value)}")
    return out


def write_yaml(path, schema, obj):
    text = f"# yaml-language-server: $schema=https://aka.ms/winget-manifest.{schema}.{MANIFEST_VERSION}.schema.json\n\n"
    text += "\n".join(yaml_lines(obj)) + "\n"
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


def write_winget(out_dir, facts, sha256):
    common = {"PackageIdentifier": PACKAGE_ID, "PackageVersion": facts["version"]}
    tail = {"ManifestVersion": MANIFEST_VERSION}
    os.makedirs(out_dir, exist_ok=True)
    write_yaml(os.path.join(out_dir, f"{PACKAGE_ID}.yaml"), "version",
               {**common, "DefaultLocale": "ja-JP", "ManifestType": "version", **tail})
    write_yaml(os.path.join(out_dir, f"{PACKAGE_ID}.locale.ja-JP.yaml"), "defaultLocale", {
        **common,
        "PackageLocale": "ja-JP",
        "Publisher": facts["publisher"],
        "PublisherUrl": facts["web"],
        "PackageName": "Kestrova",
        "PackageUrl": facts["web"],
        "License": LICENSE,
        "Copyright": facts["copyright"],
        "ShortDescription": SHORT_DESCRIPTION,
        "Description": DESCRIPTION,
        "Moniker": "kestrova",
        "ManifestType": "defaultLocale",
        **tail,
    })
    write_yaml(os.path.join(out_dir, f"{PACKAGE_ID}.installer.yaml"), "installer", {
        **common,
        "InstallerType": "zip",
        "NestedInstallerType": "portable",
        "NestedInstallerFiles": [{"RelativeFilePath": EXE, "PortableCommandAlias": "kestrova"}],
        "Installers": [{
            "Architecture": "x64",
            # Beside the exe lives its Kestrova.ini: a machine-wide install under
            # Program Files could never save it.
            "Scope": "user",
            "InstallerUrl": facts["url"],
            "InstallerSha256": sha256.upper(),
        }],
        "ManifestType": "installer",
        **tail,
    })


def write_scoop(path, facts, sha256):
    manifest = {
        "version": facts["version"],
        "description": SHORT_DESCRIPTION,
        "homepage": facts["web"],
        "license": LICENSE,
        # The exe is x64 only.
        "architecture": {"64bit": {"url": facts["url"], "hash": sha256.lower()}},
        "bin": EXE,
        "shortcuts": [[EXE, "Kestrova"]],
        "pre_install": f'if (!(Test-Path "$persist_dir\\{INI}")) {{ New-Item "$dir\\{INI}" -ItemType File | Out-Null }}',
        "persist": INI,
        # The bucket follows releases: the download page names the newest zip,
        # and each zip has its .sha256 beside it.
        "checkver": {"url": facts["web"], "regex": r"Kestrova-([\d.]+)\.zip"},
        "autoupdate": {"architecture": {"64bit": {
            "url": f"{facts['web']}download/Kestrova-$version.zip",
            "hash": {"url": "$url.sha256"},
        }}},
    }
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        json.dump(manifest, f, ensure_ascii=False, indent=4)
        f.write("\n")


def write_zip(path, files):
    tmp = path + ".tmp"
    with zipfile.ZipFile(tmp, "w") as z:
        for name in files:
            info = zipfile.ZipInfo(os.path.basename(name), date_time=(2000, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0  # MS-DOS: no owner or Unix mode in the archive
            info.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE
            with open(name, "rb") as f:
                z.writestr(info, f.read(), compresslevel=9)
    os.replace(tmp, path)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--source-dir", required=True)
    ap.add_argument("--zip", required=True, help="the release zip to write")
    ap.add_argument("files", nargs="+", help="what goes into the zip")
    args = ap.parse_args()
    facts = release_facts(args.source_dir)
    if os.path.basename(args.zip) != facts["zip_name"]:
        sys.exit(f"make-packages: {args.zip} is not {facts['zip_name']} (version.h changed; configure again)")
    write_zip(args.zip, args.files)
    # The hash is of the file on disk, read back, not of what was meant to be written.
    with open(args.zip, "rb") as f:
        sha256 = hashlib.sha256(f.read()).hexdigest()
    out = os.path.dirname(os.path.abspath(args.zip))
    with open(args.zip + ".sha256", "w", encoding="ascii", newline="\n") as f:
        f.write(f"{sha256}  {facts['zip_name']}\n")
    write_winget(os.path.join(out, "winget", PACKAGE_ID, facts["version"]), facts, sha256)
    write_scoop(os.path.join(out, "scoop", "kestrova.json"), facts, sha256)


if __name__ == "__main__":
    main()
