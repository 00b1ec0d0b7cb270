#!/usr/bin/env python3
"""A release's winget manifests, as winget's community repository takes them.
  manifests.py check <schemas folder> <winget folder>...
      each folder holds one version's three manifests in the repository's layout; each
      validates against winget's schema of its kind and version, and the three agree on the
      identifier, the version and the locale, and with their place in the layout
  manifests.py get <winget folder> <field> [scope]
      prints a field of the installer manifest, or of its installer of that scope (user or
      machine) where that has it: a text as it is, anything else as JSON
  manifests.py code <winget folder> <response>
      prints the exit status the installer manifest declares for a response (packageInUse)
  manifests.py entry <winget folder> <scope> < "reg query" of the installed entry
      whether the Apps & features entry is the AppsAndFeaturesEntries of the installer of that
      scope, exactly
"""
import json
import sys
from pathlib import Path

import yaml


def load(folder: Path) -> dict:
    """The manifests in a folder, by kind; exits unless there are exactly the three."""
    files = sorted(folder.rglob("*.yaml"))
    manifests = {}
    for file in files:
        manifest = yaml.safe_load(file.read_text(encoding="utf-8"))
        manifests[manifest.get("ManifestType")] = (file, manifest)
    if len(files) != 3 or set(manifests) != {"version", "installer", "defaultLocale"}:
        sys.exit(f"{folder}: not one version's version, installer and defaultLocale manifests: "
                 f"{[str(file) for file in files]}")
    return manifests


def check(schemas: Path, folder: Path):
    import jsonschema  # only here: reading a manifest needs no validator
    manifests = load(folder)
    problems = []
    for kind, (file, manifest) in manifests.items():
        schema = json.loads((schemas / f"manifest.{kind}.{manifest['ManifestVersion']}.json")
                            .read_text())
        validator = jsonschema.Draft7Validator(schema, format_checker=jsonschema.FormatChecker())
        problems += [f"{file.name}: {'.'.join(map(str, error.path))}: {error.message}"
                     for error in validator.iter_errors(manifest)]
    version, locale = manifests["version"][1], manifests["defaultLocale"][1]
    identifier, number = version["PackageIdentifier"], version["PackageVersion"]
    layout = Path("manifests", identifier[0].lower(), *identifier.split("."), number)
    for kind, (file, manifest) in manifests.items():
        if (manifest["PackageIdentifier"], manifest["PackageVersion"]) != (identifier, number):
            problems.append(f"{file.name} is of {manifest['PackageIdentifier']} "
                            f"{manifest['PackageVersion']}, not {identifier} {number}")
        if file.relative_to(folder).parent != layout or not file.name.startswith(identifier):
            problems.append(f"{file} is not where the repository keeps it ({layout})")
    if locale["PackageLocale"] != version["DefaultLocale"]:
        problems.append(f"the locale is {locale['PackageLocale']}, "
                        f"the default {version['DefaultLocale']}")
    if problems:
        sys.exit("\n".join([f"{folder}:"] + problems))
    print(f"{folder}: {identifier} {number}: "
          + ", ".join(f"{file.name} valid ({kind} {manifest['ManifestVersion']})"
                      for kind, (file, manifest) in sorted(manifests.items())))


def field(folder: Path, name: str, scope: str | None = None):
    """A field of the installer of a scope, or of the manifest where the installer has none."""
    manifest = load(folder)["installer"][1]
    if scope is None:
        return manifest[name]
    installers = [installer for installer in manifest["Installers"]
                  if installer.get("Scope", manifest.get("Scope")) == scope]
    if len(installers) != 1:
        sys.exit(f"{folder}: {len(installers)} installers of scope {scope}")
    return installers[0].get(name, manifest.get(name))


def entry(folder: Path, scope: str, query: str):
    """Compares `reg query <uninstall key>` with the one entry that the manifest declares."""
    lines = [line.strip() for line in query.replace("\r", "").splitlines() if line.strip()]
    if not lines or "\\Uninstall\\" not in lines[0]:
        sys.exit(f"no Apps & features entry in: {query!r}")
    values = {}
    for line in lines[1:]:
        name, kind, *value = line.split("    ")
        values[name] = value[0] if value else ""
    declared = field(folder, "AppsAndFeaturesEntries", scope)
    found = {name: values.get(name) for name in declared[0] if name != "ProductCode"}
    found["ProductCode"] = lines[0].rsplit("\\", 1)[1]
    if [found] != declared:
        sys.exit(f"the entry is {found}, the manifest declares {declared}")


def main():
    if len(sys.argv) >= 4 and sys.argv[1] == "check":
        for folder in sys.argv[3:]:
            check(Path(sys.argv[2]), Path(folder))
    elif len(sys.argv) in (4, 5) and sys.argv[1] == "get":
        value = field(Path(sys.argv[2]), *sys.argv[3:])
        print(value if isinstance(value, str) else json.dumps(value))
    elif len(sys.argv) == 4 and sys.argv[1] == "code":
        codes = load(Path(sys.argv[2]))["installer"][1]["ExpectedReturnCodes"]
        found = [code["InstallerReturnCode"] for code in codes
                 if code["ReturnResponse"] == sys.argv[3]]
        if len(found) != 1:
            sys.exit(f"the manifest declares {len(found)} codes for {sys.argv[3]}")
        print(found[0])
    elif len(sys.argv) == 4 and sys.argv[1] == "entry":
        entry(Path(sys.argv[2]), sys.argv[3], sys.stdin.read())
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
