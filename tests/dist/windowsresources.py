"""Reads the version block and the icon back out of a Windows program file, and checks them
against what Tazzle's program file must say. Usage: windowsresources.py Tazzle.exe Tazzle.ico"""
import os
import struct
import sys

import pefile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from checks import check, verdict  # noqa: E402

RT_ICON, RT_GROUP_ICON, RT_VERSION = 3, 14, 16
ENGLISH_US = 0x0409
STRINGS = {
    "CompanyName": "Tazzle",
    "ProductName": "Tazzle",
    "FileVersion": "1.00",
    "ProductVersion": "1.00",
    "InternalName": "Tazzle",
    "OriginalFilename": "Tazzle.exe",
}



pe = pefile.PE(sys.argv[1])
resources = {}
for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
    for entry in kind.directory.entries:
        for language in entry.directory.entries:
            check(language.id == ENGLISH_US, f"resource {kind.id}/{entry.id} in language {language.id:#x}")
            data = language.data.struct
            resources[(kind.id, entry.id)] = pe.get_data(data.OffsetToData, data.Size)
check(sorted(resources) == [(RT_ICON, 30001), (RT_GROUP_ICON, 1), (RT_VERSION, 1)],
      f"resources are {sorted(resources)}")

# Version block: numbers, then strings and translation.
fixed = pe.VS_FIXEDFILEINFO[0]
check((fixed.FileVersionMS, fixed.FileVersionLS) == (0x00010000, 0), "file version is not 1.0.0.0")
check((fixed.ProductVersionMS, fixed.ProductVersionLS) == (0x00010000, 0),
      "product version is not 1.0.0.0")
check(fixed.FileType == 0x1, f"file type {fixed.FileType:#x}, not an application")
check(fixed.FileOS == 0x4, f"operating system {fixed.FileOS:#x}, not 32-bit Windows")
tables, translations = [], []
for info in pe.FileInfo[0]:
    if info.Key == b"StringFileInfo":
        tables += [(t.LangID, t.entries) for t in info.StringTable]
    elif info.Key == b"VarFileInfo":
        translations += [v.entry for v in info.Var]
expected = {k.encode(): v.encode() for k, v in STRINGS.items()}
check(tables == [(b"040904B0", expected)], f"string blocks are {tables}")
check(translations == [{b"Translation": "0x0409 0x04b0"}], f"translations are {translations}")

# Icon group 1: one entry, 16 × 16 of 24 bits, naming icon 30001.
group = resources.get((RT_GROUP_ICON, 1), b"")
image = resources.get((RT_ICON, 30001), b"")
check(len(group) == 20, f"icon group of {len(group)} bytes")
if len(group) == 20:
    _, kind, count = struct.unpack_from("<HHH", group)
    width, height, colours, _, planes, bits, size, icon_id = struct.unpack_from("<BBBBHHIH", group, 6)
    check((kind, count) == (1, 1), f"icon group of type {kind} with {count} images")
    check((width, height, planes, bits) == (16, 16, 1, 24),
          f"icon group entry {width}x{height}, {planes} planes, {bits} bits")
    check(icon_id == 30001 and size == len(image), f"group names icon {icon_id} of {size} bytes")

# The image itself: opaque 24-bit pixels, white lettering on a black ground.
check(len(image) == 40 + 16 * 16 * 3 + 16 * 4, f"icon image of {len(image)} bytes")
if len(image) == 872:
    header = struct.unpack_from("<IiiHHI", image)
    check(header == (40, 16, 32, 1, 24, 0), f"icon image header {header}")
    pixels = image[40:40 + 768]
    mask = image[40 + 768:]
    check(mask == bytes(len(mask)), "the icon is not fully opaque")
    check(len(set(pixels[i:i + 3] for i in range(0, 768, 3))) > 2, "the icon is blank")
    colours = {pixels[i:i + 3] for i in range(0, 768, 3)}
    check(all(c[0] == c[1] == c[2] for c in colours), "the icon is not black, white and greys")
    bottom_left = pixels[0:3]
    check(bottom_left == b"\0\0\0", f"the icon's ground is {bottom_left.hex()}, not black")

# The icon file holds the same image behind its one-entry directory.
with open(sys.argv[2], "rb") as f:
    ico = f.read()
check(ico[:6] == struct.pack("<HHH", 0, 1, 1) and ico[22:] == image,
      "the icon file differs from the program file's icon")

verdict()
