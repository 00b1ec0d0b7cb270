#!/usr/bin/env python3
"""Writes the winget manifests of one release (version, installer, en-US locale) in the layout of
winget's community repository: <out>/manifests/<i>/<Publisher>/<Name>/<version>/.
What the installers do comes from the Windows build (winget.json, written by dist/windows.cmake):
one per scope, for the user who installs or for the whole machine; what Tazzle is, from its
AppStream metadata beside it; the hashes, from the signed installers. The same inputs give the
same bytes.
Usage: winget.py <Windows build's dist folder> <folder of the installers> <downloads address> <out>
"""
import hashlib
import json
import sys
import xml.etree.ElementTree as ElementTree
from pathlib import Path

import yaml

MANIFEST_VERSION = "1.10.0"


def text(element) -> str:
    return " ".join("".join(element.itertext()).split())


def write(path: Path, kind: str, manifest: dict):
    schema = f"https://aka.ms/winget-manifest.{kind}.{MANIFEST_VERSION}.schema.json"
    body = yaml.safe_dump(manifest, sort_keys=False, allow_unicode=True, width=100)
    path.write_text(f"# yaml-language-server: $schema={schema}\n{body}", encoding="utf-8")


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    build, installers, out = Path(sys.argv[1]), Path(sys.argv[2]), Path(sys.argv[4])
    downloads = sys.argv[3].rstrip("/")
    try:
        facts = json.loads((build / "winget.json").read_text())
        metainfo = ElementTree.parse(build / facts["Metainfo"]).getroot()
        digests = {scope: hashlib.sha256((installers / installer["InstallerFile"]).read_bytes())
                   .hexdigest().upper() for scope, installer in facts["Installers"].items()}
    except (OSError, ValueError, KeyError, ElementTree.ParseError) as error:
        sys.exit(f"winget.py: {error}")

    identifier, version = facts["PackageIdentifier"], facts["PackageVersion"]
    common = {"PackageIdentifier": identifier, "PackageVersion": version}
    homepage = text(metainfo.find("url[@type='homepage']"))
    folder = out.joinpath("manifests", identifier[0].lower(), *identifier.split("."), version)
    folder.mkdir(parents=True, exist_ok=True)
    write(folder / f"{identifier}.yaml", "version", {
        **common,
        "DefaultLocale": "en-US",
        "ManifestType": "version",
        "ManifestVersion": MANIFEST_VERSION,
    })
    write(folder / f"{identifier}.installer.yaml", "installer", {
        **common,
        "InstallerType": "nullsoft",
        "InstallModes": ["interactive", "silent"],
        "ExpectedReturnCodes": [{"InstallerReturnCode": int(code), "ReturnResponse": response}
                                for code, response in facts["ExitCodes"].items()],
        # It removes an earlier install of its scope itself, then installs.
        "UpgradeBehavior": "install",
        "ProductCode": facts["Entry"]["ProductCode"],
        "ReleaseDate": facts["ReleaseDate"],
        "MinimumOSVersion": facts["MinimumOSVersion"],
        "Installers": [{
            "Architecture": "x64",
            "Scope": scope,
            "InstallerUrl": f"{downloads}/{installer['InstallerFile']}",
            "InstallerSha256": digests[scope],
            # winget's default run is "silent with progress": NSIS has none, so it runs
            # silently. The folder is NSIS's own /D=, last and unquoted.
            "InstallerSwitches": {"Silent": facts["Silent"], "SilentWithProgress": facts["Silent"],
                                  "InstallLocation": "/D=<INSTALLPATH>"},
            "ElevationRequirement": installer["ElevationRequirement"],
            "InstallationMetadata": {"DefaultInstallLocation": installer["InstallLocation"]},
            "AppsAndFeaturesEntries": [dict(facts["Entry"])],
        } for scope, installer in facts["Installers"].items()],
        "ManifestType": "installer",
        "ManifestVersion": MANIFEST_VERSION,
    })
    write(folder / f"{identifier}.locale.en-US.yaml", "defaultLocale", {
        **common,
        "PackageLocale": "en-US",
        "Publisher": facts["Publisher"],
        "PublisherUrl": homepage,
        "Author": text(metainfo.find("developer_name")),
        "PackageName": text(metainfo.find("name")),
        "PackageUrl": homepage,
        "License": text(metainfo.find("project_license")),
        "LicenseUrl": f"{downloads}/LICENSE.txt",
        "Copyright": facts["Copyright"],
        "ShortDescription": text(metainfo.find("summary")),
        "Description": text(metainfo.find("description")),
        "Moniker": facts["Moniker"],
        "Tags": [text(keyword).lower() for keyword in metainfo.iterfind("keywords/keyword")]
        + [text(category).lower() for category in metainfo.iterfind("categories/category")],
        "ManifestType": "defaultLocale",
        "ManifestVersion": MANIFEST_VERSION,
    })
    print(f"winget manifests of {identifier} {version} in {folder}")


if __name__ == "__main__":
    main()
