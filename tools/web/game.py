#!/usr/bin/env python3
"""Assembles the game's page, ready to serve as it is, from the built program and its parts.

Files a browser may keep for good are named after a hash of their content; the page, the
service worker and the small files beside them are not. Everything textual gets brotli and gzip
copies for a server to send in its place. The same inputs give the same bytes.
"""
import argparse
import base64
import hashlib
import json
import re
import shutil
import subprocess
import sys
from pathlib import Path


def digest(data: bytes) -> str:
    return hashlib.sha256(data).hexdigest()[:16]


def hashed(site: Path, stem: str, suffix: str, data: bytes) -> str:
    name = f"{stem}-{digest(data)}{suffix}"
    (site / name).write_bytes(data)
    return name


def fill(template: str, values: dict) -> str:
    def value(match):
        key = match.group(1)
        if key not in values:
            sys.exit(f"game.py: no value for @{key}@")
        return values[key]
    return re.sub(r"@([A-Z_]+)@", value, template)


def picture(svg: Path) -> str:
    """An SVG of assets/ as it goes inline into the page: a picture for the eye only."""
    text = re.sub(r"<!--.*?-->", "", svg.read_text(), flags=re.S)
    text = re.sub(r">\s+<", "><", text).strip()
    return text.replace("<svg ", '<svg aria-hidden="true" focusable="false" ', 1)


def subset_font(font: Path, text: str, site: Path) -> str:
    """The face cut down to the characters given, as a WOFF2 data address: it comes with the
    page's first bytes, so the text shows with the first paint, not a round trip later."""
    subset = site / "font.woff2"
    subprocess.run([sys.executable, "-m", "fontTools.subset", str(font), f"--text={text}",
                    "--flavor=woff2", "--no-hinting", "--desubroutinize",
                    "--layout-features=kern", f"--output-file={subset}"], check=True)
    data = base64.b64encode(subset.read_bytes()).decode()
    subset.unlink()
    return f"data:font/woff2;base64,{data}"


def script_hash(script: str) -> str:
    return "sha256-" + base64.b64encode(hashlib.sha256(script.encode()).digest()).decode()


def compress(site: Path):
    """Brotli and gzip copies beside each textual file of the folder, for a server to send."""
    for path in sorted(site.iterdir()):
        if path.suffix in (".html", ".js", ".wasm", ".json", ".svg"):
            subprocess.run(["brotli", "--force", "--best", str(path)], check=True)
            subprocess.run(["gzip", "--force", "--keep", "--best", "--no-name", str(path)],
                           check=True)


def pagewriter(args, mode: str) -> str:
    return subprocess.run([args.node, args.pagewriter, mode], check=True, capture_output=True,
                          text=True).stdout


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    for option in ("site", "node", "pagewriter", "program", "font", "templates", "assets"):
        parser.add_argument(f"--{option}", required=True)
    parser.add_argument("--icon", action="append", default=[])
    parser.add_argument("--licence", action="append", default=[], help="source=destination")
    args = parser.parse_args()
    names = json.loads(pagewriter(args, "names"))
    site = Path(args.site)
    templates = Path(args.templates)
    if site.exists():
        shutil.rmtree(site)
    site.mkdir(parents=True)

    # The face subset to the characters the window shows.
    font = subset_font(Path(args.font), pagewriter(args, "chars"), site)

    # The program: its script names the WebAssembly module, so that is named first.
    program = Path(args.program)
    wasm = program.with_suffix(".wasm")
    wasm_name = hashed(site, program.stem, ".wasm", wasm.read_bytes())
    script = program.read_bytes()
    if script.count(wasm.name.encode()) != 1:
        sys.exit(f"game.py: {program} names {wasm.name} other than once")
    script_name = hashed(site, program.stem, ".js",
                         script.replace(wasm.name.encode(), wasm_name.encode()))

    for icon in map(Path, args.icon):
        shutil.copyfile(icon, site / icon.name)

    window = pagewriter(args, "window")
    window = re.sub(r"@PICTURE:([a-z-]+)@",
                    lambda m: picture(Path(args.assets) / f"{m.group(1)}.svg"), window)
    style = fill((templates / "font.css.in").read_text().strip(),
                 dict(names, FONT=font)) + pagewriter(args, "style")
    # Taps before the program runs are kept for it: the one script in the page. The server's
    # policy names it by its hash too, which therefore must not change unnoticed.
    early = (templates / "early.js").read_text()
    early = "".join(line.strip() for line in early.splitlines() if not line.startswith("//"))
    policy = (templates / "nginx.conf").read_text()
    if f"'{script_hash(early)}'" not in policy:
        sys.exit(f"game.py: nginx.conf's script-src does not allow the page's script: give it "
                 f"'{script_hash(early)}'")
    page = fill((templates / "index.html.in").read_text(), dict(
        names, PROGRAM=script_name, WASM=wasm_name, STYLE=style, WINDOW=window, EARLY=early,
        STYLE_HASH=script_hash(style), EARLY_HASH=script_hash(early)))
    (site / "index.html").write_text(page)
    (site / "manifest.json").write_text(
        fill((templates / "manifest.json.in").read_text(), names))

    # The offline cache holds exactly what the page needs, under a name of this build's. Those
    # not named after their content carry their hash: one of another build, met when the next
    # release went live while the worker was caching, fails the install.
    named = [script_name, wasm_name]
    files = ["index.html"] + named + ["manifest.json", "icon.svg"] + [
        Path(icon).name for icon in args.icon if Path(icon).suffix == ".png"]
    build = digest("".join(digest((site / f).read_bytes()) for f in sorted(files)).encode())

    def integrity(name: str) -> str:
        if name in named:
            return ""
        return "sha256-" + base64.b64encode(hashlib.sha256((site / name).read_bytes())
                                            .digest()).decode()
    kept = [["./", integrity("index.html")]] + [[f, integrity(f)] for f in files]
    (site / "sw.js").write_text(fill((templates / "sw.js.in").read_text(), dict(
        names, BUILD=build, KEPT=json.dumps(kept))))

    for licence in args.licence:
        source, destination = licence.split("=", 1)
        (site / destination).parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(source, site / destination)

    compress(site)

if __name__ == "__main__":
    main()
