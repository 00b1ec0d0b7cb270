#!/usr/bin/env python3
"""Writes the makers' home page into the site folder: what Tazzle is (from its AppStream
metadata), its screenshot, and the ways to get it and check it (from the release beside it and
the README's install commands). Plain HTML with its style inline, in Tazzle's face cut down to
the page's characters; no script. The same inputs give the same bytes.
"""
import argparse
import html
import re
import struct
import sys
import xml.etree.ElementTree as ElementTree
from pathlib import Path

import yaml
from fontTools.ttLib import TTFont

from game import compress, fill, picture, subset_font


def text(element) -> str:
    return " ".join("".join(element.itertext()).split())


def install_commands(readme: str, default_url: str, url: str) -> str:
    """The first block of the README's Install section, for the site's own address."""
    section = readme.split("\n## Install\n", 1)
    block = re.search(r"```sh\n(.*?)```", section[-1], re.S) if len(section) == 2 else None
    if not block or "apt-get install" not in block.group(1):
        sys.exit("home.py: no install commands in the README's Install section")
    return block.group(1).strip().replace(default_url, url)


def png_size(png: Path) -> tuple:
    header = png.read_bytes()[:24]
    if header[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"home.py: {png} is not a PNG")
    return struct.unpack(">II", header[16:24])


def megabytes(size: int) -> str:
    return f"{size / 1e6:.1f} MB"


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    for option in ("site", "templates", "assets", "metainfo", "readme", "font", "installers",
                   "default-url", "downloads", "winget"):
        parser.add_argument(f"--{option}", required=True)
    parser.add_argument("--key-fingerprint", action="append", default=[],
                        help="a key the release is signed with; once for each")
    parser.add_argument("--publisher", default="", help="who signed the installer")
    parser.add_argument("--certificate-fingerprint", default="")
    args = parser.parse_args()
    site = Path(args.site)
    templates = Path(args.templates)
    e = html.escape

    metainfo = ElementTree.parse(args.metainfo).getroot()
    name = text(metainfo.find("name"))
    summary = text(metainfo.find("summary"))
    url = text(metainfo.find("url[@type='homepage']")).rstrip("/")
    paragraphs = [text(p) for p in metainfo.find("description").iter("p")]
    caption = text(metainfo.find("screenshots/screenshot/caption"))
    width, height = png_size(site / "screenshot.png")

    # winget knows the package by the name of its version manifest; its installer manifest
    # names the installer of each scope.
    winget = [file.stem for file in Path(args.winget).rglob("*.yaml")
              if not re.search(r"\.(installer|locale\..*)$", file.stem)]
    if len(winget) != 1:
        sys.exit(f"home.py: not one winget version manifest in {args.winget}")
    manifest, = Path(args.winget).rglob(f"{winget[0]}.installer.yaml")
    installers = {entry["Scope"]: Path(args.installers) / entry["InstallerUrl"].rsplit("/", 1)[1]
                  for entry in yaml.safe_load(manifest.read_text(encoding="utf-8"))["Installers"]}
    installer = installers["user"]
    # This release's files, at an address of their own for good.
    downloads = e(args.downloads.strip("/"))
    if args.publisher:
        signature = (
            f"<p>The installers, and {e(name)} in them, are signed (Authenticode) by "
            f"“{e(args.publisher)}”: Windows shows that name before it runs an installer. To "
            f"check by hand, PowerShell's <code>Get-AuthenticodeSignature .\\{e(installer.name)}"
            f"</code> says <code>Valid</code>, or <code>osslsigncode verify -in "
            f"{e(installer.name)}</code> elsewhere. The certificate's SHA-256 fingerprint is "
            f"<code>{e(args.certificate_fingerprint)}</code>.</p>")
    else:
        signature = ("<p>These installers are not signed: Windows warns before it runs them. "
                     "Check them against the checksums below.</p>")
    if args.key_fingerprint:
        fingerprints = "\n".join(
            f"<p><code>{' '.join(re.findall('.{1,4}', key))}</code></p>"
            for key in args.key_fingerprint)
        one = len(args.key_fingerprint) == 1
        keys = ("the makers' key, whose fingerprint is" if one else
                "each of the makers' keys, whose fingerprints are")
        same = ("The same key signs the apt repository; its public half is " if one else
                "The same keys sign the apt repository; their public halves are in ")
        verify = (
            "<p>Each file of the release is listed with its SHA-256 in "
            f"<a href=\"{downloads}/SHA256SUMS\">SHA256SUMS</a>, signed in "
            f"<a href=\"{downloads}/SHA256SUMS.asc\">SHA256SUMS.asc</a> by {keys}</p>\n"
            f"{fingerprints}\n"
            f"<p>{same}<a href=\"tazzle-archive-keyring.pgp\">tazzle-archive-keyring.pgp</a>. "
            "With the files in one folder:</p>\n<pre><code>gpgv --keyring "
            "./tazzle-archive-keyring.pgp SHA256SUMS.asc SHA256SUMS\n"
            "sha256sum --check --ignore-missing SHA256SUMS"
            "</code></pre>")
    else:
        verify = (
            "<p>Each file of the release is listed with its SHA-256 in "
            f"<a href=\"{downloads}/SHA256SUMS\">SHA256SUMS</a>. This release is not signed, so "
            "the checksums show only that a download is whole:</p>\n<pre><code>sha256sum --check "
            "--ignore-missing SHA256SUMS</code></pre>")

    values = dict(
        NAME=e(name), LOGO=picture(Path(args.assets) / "logo.svg"), SUMMARY=e(summary), FIRST_SENTENCE=e(paragraphs[0].split(". ")[0] + "."),
        DESCRIPTION="\n".join(f"<p>{e(p)}</p>" for p in paragraphs), CAPTION=e(caption),
        SHOT_WIDTH=str(width), SHOT_HEIGHT=str(height), DOWNLOADS=downloads,
        INSTALLER=e(installer.name), WINGET_ID=e(winget[0]),
        INSTALLER_SIZE=megabytes(installer.stat().st_size), INSTALLER_SIGNATURE=signature,
        MACHINE_INSTALLER=e(installers["machine"].name),
        MACHINE_INSTALLER_SIZE=megabytes(installers["machine"].stat().st_size),
        APT_COMMANDS=e(install_commands(Path(args.readme).read_text(), args.default_url, url)),
        VERIFY=verify)
    # The face covers what the page says; the commands keep to the reader's own monospace.
    page = fill((templates / "home.html.in").read_text(), dict(values, STYLE="@STYLE@"))
    words = re.sub(r"<pre>.*?</pre>|<code>.*?</code>|<[^>]+>", "", page.split("<body>")[1],
                   flags=re.S)
    font = subset_font(Path(args.font), html.unescape(words), site)
    family = TTFont(args.font)["name"].getDebugName(1)
    style = fill((templates / "home.css").read_text(), {"FONT": font, "FONT_FAMILY": family})
    style = style.strip().replace("\n", "")
    (site / "index.html").write_text(page.replace("@STYLE@", style))
    compress(site)


if __name__ == "__main__":
    main()
