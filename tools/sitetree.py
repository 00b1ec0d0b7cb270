"""What tools/publish.sh does to a site's files, where a shell would follow a link or trust a name.

  sitetree.py copy SITE COPY
      Copies SITE into COPY (which must not exist) as plain folders (0755) and files (0644) of
      the running user. Anything else (a link, a FIFO, a socket, a device) and any name with a
      control character, a backslash or a leading dash is refused.
  sitetree.py verify COPY TRUSTED|--unsigned FILES
      Checks COPY against its signed manifest, manifest.txt: every signature good and by a key
      of TRUSTED (expired or revoked keys and expired signatures refused), every file listed with
      its hash and none other, the version it signs the one download/ folder's name. Writes the
      list of files with their hashes to FILES and prints the version, then the fingerprints of
      the keys that signed, which the manifest's keyring holds.
  sitetree.py keys KEYRING
      Prints the fingerprints of the keys a keyring holds, one per line, sorted.
  sitetree.py carry PREVIOUS COPY
      Reads paths from stdin and gives COPY each one that PREVIOUS has as a plain file and COPY
      lacks: a hard link where the file is already the user's own and 0644, a copy otherwise.
      Prints how many.
Every refusal is one line on stderr and exit status 1.
"""

import hashlib
import os
import re
import shutil
import stat
import subprocess
import sys
import tempfile

MANIFEST = "manifest.txt"
KEYRING = "tazzle-archive-keyring.pgp"


class Refused(Exception):
    pass


def shown(path):
    return os.fsdecode(path).encode("unicode_escape").decode()


def checkName(relative, name):
    text = name.decode("utf-8", "surrogateescape")
    if name.startswith(b"-") or b"\\" in name or any(c < 0x20 or c == 0x7F for c in name):
        raise Refused(f"{shown(relative)} has a name no publish takes "
                      "(a control character, a backslash or a leading dash)")
    try:
        text.encode("utf-8")
    except UnicodeEncodeError:
        raise Refused(f"{shown(relative)} has a name that is not UTF-8") from None


def kind(mode):
    if stat.S_ISLNK(mode):
        return "a symbolic link"
    if stat.S_ISFIFO(mode):
        return "a FIFO"
    if stat.S_ISSOCK(mode):
        return "a socket"
    if stat.S_ISCHR(mode) or stat.S_ISBLK(mode):
        return "a device"
    return "neither a file nor a folder"


def copy(source, target):
    source, target = os.fsencode(source), os.fsencode(target)
    os.mkdir(target, 0o700)  # opened to readers once whole

    def walk(relative):
        for entry in sorted(os.scandir(os.path.join(source, relative)), key=lambda e: e.name):
            path = os.path.join(relative, entry.name) if relative else entry.name
            checkName(path, entry.name)
            mode = entry.stat(follow_symlinks=False).st_mode
            if stat.S_ISDIR(mode):
                os.mkdir(os.path.join(target, path), 0o755)
                walk(path)
            elif stat.S_ISREG(mode):
                copyFile(os.path.join(source, path), os.path.join(target, path))
            else:
                raise Refused(f"{shown(path)} is {kind(mode)}, not a file or a folder")

    walk(b"")
    os.chmod(target, 0o755)


def copyFile(source, target):
    descriptor = os.open(source, os.O_RDONLY | os.O_NOFOLLOW | os.O_NONBLOCK)
    with os.fdopen(descriptor, "rb") as reading:
        if not stat.S_ISREG(os.fstat(reading.fileno()).st_mode):
            raise Refused(f"{shown(source)} changed into something other than a file")
        written = os.open(target, os.O_WRONLY | os.O_CREAT | os.O_EXCL | os.O_NOFOLLOW, 0o644)
        with os.fdopen(written, "wb") as writing:
            shutil.copyfileobj(reading, writing, 1 << 20)
            os.fchmod(writing.fileno(), 0o644)


def files(root):
    """Every plain file below root, as relative paths (bytes); links are not followed."""
    found = []
    for folder, _, names in os.walk(os.fsencode(root)):
        for name in names:
            path = os.path.join(folder, name)
            if stat.S_ISREG(os.lstat(path).st_mode):
                found.append(os.path.relpath(path, os.fsencode(root)))
    return found


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as reading:
        for block in iter(lambda: reading.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def primaryKeys(keyring, home):
    listed = subprocess.run(["gpg", "--homedir", home, "--batch", "--with-colons", "--show-keys",
                             keyring], capture_output=True, text=True)
    keys, afterPrimary = [], False
    for line in listed.stdout.splitlines():
        fields = line.split(":")
        if fields[0] in ("pub", "sub"):
            afterPrimary = fields[0] == "pub"
        elif fields[0] == "fpr" and afterPrimary:
            keys.append(fields[9])
            afterPrimary = False
    return keys


def signatures(home, keyring, signed, data=None, output=None):
    """Each signature of signed as (status, fingerprint of its primary key), read from gpgv's
    status lines: its exit status says nothing of an expired key."""
    command = ["gpgv", "--homedir", home, "--status-fd", "1", "--keyring", keyring]
    if output:
        command += ["--output", output]
    command += [signed] + ([data] if data else [])
    result = subprocess.run(command, capture_output=True, text=True)
    found = []
    for line in result.stdout.splitlines():
        words = line.split()
        if len(words) < 2 or words[0] != "[GNUPG:]":
            continue
        if words[1] == "NEWSIG":
            found.append(["NOSIG", None])
        elif found and words[1] in ("GOODSIG", "EXPSIG", "EXPKEYSIG", "REVKEYSIG", "BADSIG",
                                    "ERRSIG"):
            found[-1][0] = words[1]
        elif found and words[1] == "VALIDSIG":
            found[-1][1] = words[-1]
    return found


REASONS = {"EXPSIG": "an expired signature", "EXPKEYSIG": "a signature by an expired key",
           "REVKEYSIG": "a signature by a revoked key", "BADSIG": "a bad signature",
           "NOSIG": "an unreadable signature"}


def checkSigned(name, home, trusted, keyring, signed, data=None, output=None):
    """The keys that signed: every signature good by the release's own keyring, and at least one
    by a trusted key, whose copy kept outside the tree is the one that counts."""
    byTrusted = signatures(home, trusted, signed, data)
    for status, _ in byTrusted:
        if status in REASONS:
            raise Refused(f"{name} carries {REASONS[status]}")
    if not any(status == "GOODSIG" for status, _ in byTrusted):
        raise Refused(f"{name} is not signed by a trusted key")
    byOwn = signatures(home, keyring, signed, data, output)
    for status, _ in byOwn:
        if status != "GOODSIG":
            raise Refused(f"{name} carries a signature by a key that {KEYRING} does not hold"
                          if status == "ERRSIG" else f"{name} carries {REASONS[status]}")
    return sorted({key for _, key in byOwn})


def readText(path):
    with open(path, "rb") as reading:
        try:
            return reading.read().decode("utf-8")
        except UnicodeDecodeError:
            raise Refused(f"{MANIFEST} is not text") from None


def readManifest(text):
    lines = text.split("\n")
    match = re.fullmatch(r"Version: ([0-9][0-9A-Za-z.+~]*)", lines[0])
    if not match or lines[-1] != "":
        raise Refused(f"{MANIFEST} is not a manifest of a release")
    listed = {}
    for line in lines[1:-1]:
        entry = re.fullmatch(r"([0-9a-f]{64})  (.+)", line)
        if not entry or entry.group(2) in listed:
            raise Refused(f"{MANIFEST} is not a manifest of a release: {line!r}")
        listed[entry.group(2)] = entry.group(1)
    return match.group(1), listed


def verify(root, trusted, record):
    manifest = os.path.join(root, MANIFEST)
    if not os.path.isfile(manifest):
        raise Refused(f"it has no {MANIFEST}, the signed list of its files")
    with tempfile.TemporaryDirectory() as home:
        keys = []
        if trusted == "--unsigned":
            text = readText(manifest)
            if text.startswith("-----BEGIN PGP"):
                raise Refused("it is signed: publish it with --trust")
        else:
            keyring = os.path.join(root, KEYRING)
            if not os.path.isfile(keyring):
                raise Refused(f"it is not signed (no {KEYRING}); --unsigned publishes it so")
            body = os.path.join(home, "manifest")
            keys = checkSigned(MANIFEST, home, trusted, keyring, manifest, output=body)
            text = readText(body)
        version, listed = readManifest(text)

        folders = sorted(os.listdir(os.path.join(root, "download"))
                         if os.path.isdir(os.path.join(root, "download")) else [])
        if folders != [version] or not os.path.isdir(os.path.join(root, "download", version)):
            raise Refused(f"its manifest is signed for {version}, and download/ holds "
                          f"{', '.join(folders) or 'nothing'}")
        for page in ("index.html", "play/index.html", "play/sw.js"):
            if not os.path.isfile(os.path.join(root, page)):
                raise Refused(f"it is not a release's site: it has no {page}")
        dists = os.path.join(root, "apt", "dists")
        suites = sorted(os.listdir(dists)) if os.path.isdir(dists) else []
        if not suites:
            raise Refused("it is not a release's site: it has no apt repository")

        present = {os.fsdecode(path): path for path in files(root)}
        present.pop(MANIFEST)
        own = {}
        for name in sorted(present, key=os.fsencode):
            if name not in listed:
                raise Refused(f"{name} is not in its signed manifest")
            own[name] = sha256(os.path.join(root, name))
            if own[name] != listed[name]:
                raise Refused(f"{name} is not the file its signed manifest lists")
        for name in listed:
            if name not in own:
                raise Refused(f"{name}, which its signed manifest lists, is missing")

        if trusted != "--unsigned":
            sums = f"download/{version}/SHA256SUMS"
            signed = [(f"apt/dists/{suite}/InRelease", None) for suite in suites]
            signed.append((f"{sums}.asc", sums))
            for name, data in signed:
                if not os.path.isfile(os.path.join(root, name)):
                    raise Refused(f"it is not signed (no {name}); --unsigned publishes it so")
                others = checkSigned(name, home, trusted, keyring, os.path.join(root, name),
                                     data and os.path.join(root, data))
                if others != keys:
                    raise Refused(f"{name} and {MANIFEST} are signed by different keys")
            if sorted(primaryKeys(keyring, home)) != keys:
                raise Refused(f"{KEYRING} holds other keys than those its release signs with")

    with open(record, "w", encoding="utf-8") as writing:
        for name in sorted(own, key=os.fsencode):
            writing.write(f"{own[name]}  {name}\n")
    print(version, *keys)


def carry(previous, target):
    wanted = {line.rstrip("\n") for line in sys.stdin if line.strip()}
    carried = 0
    for path in sorted(files(previous)):
        name = os.fsdecode(path)
        destination = os.path.join(target, name)
        if name not in wanted or os.path.lexists(destination):
            continue
        os.makedirs(os.path.dirname(destination), 0o755, exist_ok=True)
        source = os.path.join(previous, name)
        facts = os.lstat(source)
        if facts.st_uid == os.geteuid() and stat.S_IMODE(facts.st_mode) == 0o644:
            os.link(source, destination, follow_symlinks=False)
        else:
            copyFile(source, destination)
        carried += 1
    print(carried)


def main():
    os.umask(0o022)
    command = sys.argv[1:2]
    try:
        if command == ["copy"] and len(sys.argv) == 4:
            copy(sys.argv[2], sys.argv[3])
        elif command == ["verify"] and len(sys.argv) == 5:
            verify(*sys.argv[2:])
        elif command == ["keys"] and len(sys.argv) == 3:
            with tempfile.TemporaryDirectory() as home:
                print(*sorted(primaryKeys(sys.argv[2], home)), sep="\n")
        elif command == ["carry"] and len(sys.argv) == 4:
            carry(*sys.argv[2:])
        else:
            sys.exit(__doc__)
    except Refused as refusal:
        sys.exit(f"{refusal}")
    except OSError as error:
        sys.exit(f"{shown(error.filename or '')}: {error.strerror}")


if __name__ == "__main__":
    main()
