#!/usr/bin/env python3
"""Every address on the site's host that something shipped names: absolute ones found in the
files given (programs and packages unpacked, the README, the sources files; compressed files
opened), and the references of the site's own pages, resolved where the page is served. The
README's install command names one sources file per release: each is listed.
Prints "address<TAB>where it was found", one address a line, sorted.
Usage: addresses.py <site url> <site folder> <release codename,...> <file or folder>...
"""
import gzip
import json
import re
import sys
from collections import defaultdict
from html.parser import HTMLParser
from pathlib import Path
from urllib.parse import urljoin, urldefrag


class References(HTMLParser):
    def __init__(self):
        super().__init__()
        self.found = []

    def handle_starttag(self, tag, attrs):
        self.found += [value for name, value in attrs if name in ("href", "src") and value]


def main():
    url, site, codenames, *sources = sys.argv[1:]
    url = url.rstrip("/")
    site = Path(site)
    # The README's "tazzle-$(. /etc/os-release && echo "$VERSION_CODENAME").sources".
    codename = r'\$\(\. /etc/os-release && echo "\$VERSION_CODENAME"\)'
    absolute = re.compile(re.escape(url) + "(?:[/?#](?:" + codename + r"|[^\s\"'<>()\\])*)?")
    found = defaultdict(set)

    def add(address, where):
        address = urldefrag(address).url.rstrip(".,;:")
        for name in codenames.split(","):
            found[re.sub(codename, name, address)].add(where)

    for source in map(Path, sources):
        for file in sorted(source.rglob("*")) if source.is_dir() else [source]:
            if not file.is_file() or file.is_symlink():
                continue
            data = file.read_bytes()
            if data[:2] == b"\x1f\x8b":
                data = gzip.decompress(data)
            where = str(file)
            if file.suffix == ".sources":
                # What apt fetches first from the repository it names.
                fields = dict(re.findall(r"^(URIs|Suites): *(.*)$", data.decode(), re.M))
                add(f"{fields['URIs']}/dists/{fields['Suites']}/InRelease", where)
            for text in (data.decode("latin-1"), data.decode("utf-16-le", "ignore")):
                for match in absolute.finditer(text):
                    add(match.group(0), where)

    pages = [site.rglob(pattern) for pattern in ("*.html", "manifest.json", "sw.js")]
    for page in sorted(page for found_pages in pages for page in found_pages):
        path = page.relative_to(site).as_posix()
        base = f"{url}/{path}"
        if page.name == "sw.js":
            kept = json.loads(re.search(r"const kept = (\[.*\]);", page.read_text()).group(1))
            refs = [address for address, _ in kept]
        elif page.suffix == ".json":
            manifest = json.loads(page.read_text())
            refs = [manifest["start_url"]] + [icon["src"] for icon in manifest["icons"]]
        else:
            parser = References()
            parser.feed(page.read_text())
            refs = parser.found
        for ref in refs:
            address = urljoin(base, ref)
            if address.startswith(url + "/") or address == url:
                add(address, f"site/{path}")

    for address in sorted(found):
        print(f"{address}\t{', '.join(sorted(found[address]))}")


if __name__ == "__main__":
    main()
