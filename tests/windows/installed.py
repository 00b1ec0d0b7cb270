"""The installed program folder as Windows would load it: Tazzle.exe a 64-bit GUI program, and
every DLL that it and what ships beside it import either shipped there or part of Windows: in
the prefix's system32, which stands in for Windows here, or one of the API sets that Windows 8
and later resolve in the loader (api-ms-win-*). Prints the shipped files with sizes.
Usage: installed.py <program folder> <system32 folder>"""
import os
import sys

import pefile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from checks import check, verdict  # noqa: E402

folder, system32 = sys.argv[1], sys.argv[2]
shipped = {}
for root, _, files in os.walk(folder):
    for name in files:
        path = os.path.join(root, name)
        shipped[os.path.relpath(path, folder).replace(os.sep, "/")] = path
for name in sorted(shipped):
    print(f"{os.path.getsize(shipped[name]):>10}  {name}")

program = pefile.PE(shipped["Tazzle.exe"])
check(program.FILE_HEADER.Machine == pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"],
      "Tazzle.exe is not a 64-bit program")
check(program.OPTIONAL_HEADER.Subsystem == pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"],
      "Tazzle.exe would open a console window")

beside = {os.path.basename(n).lower() for n in shipped if "/" not in n}
windows = {n.lower() for n in os.listdir(system32)}
seen, queue = set(), [shipped["Tazzle.exe"], shipped["platforms/qwindows.dll"]]
while queue:
    pe = pefile.PE(queue.pop(), fast_load=True)
    pe.parse_data_directories([pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_IMPORT"]])
    for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []):
        dll = entry.dll.decode().lower()
        if dll in seen:
            continue
        seen.add(dll)
        if dll in beside:
            queue.append(os.path.join(folder, next(n for n in shipped if n.lower() == dll)))
        else:
            check(dll in windows or dll.startswith("api-ms-win-"),
                  f"{dll} is neither shipped nor part of Windows")
# Everything shipped is loaded: no library that nothing needs.
for name in shipped:
    if name.lower().endswith(".dll") and "/" not in name:
        check(name.lower() in seen, f"{name} is shipped but nothing loads it")
print("imports from Windows:", " ".join(sorted(seen - beside)))
verdict()
