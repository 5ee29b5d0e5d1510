#!/usr/bin/env python3
"""Packs the release zip: inkwarden.exe, LICENSE and README.txt.

    tools/make-dist.py build/windows/inkwarden.exe build/dist

The zip is named after the version in the exe's version resource.  Its
bytes depend only on the three files' contents and on SOURCE_DATE_EPOCH
(by default the time of the last commit), which every entry carries as its
time, so packing the same commit twice gives the same zip.
"""

import hashlib
import os
import subprocess
import sys
import time
import zipfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
REPO = HERE.parent
sys.path.insert(0, str(HERE))
import exe_resources  # noqa: E402

DOS_EPOCH = 315532800  # 1980-01-01, the earliest time a zip entry can hold


def source_date_epoch():
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    result = subprocess.run(["git", "-C", str(REPO), "log", "-1", "--format=%ct"],
                            capture_output=True, text=True)
    if result.returncode != 0 or not result.stdout.strip():
        sys.exit("make-dist: no SOURCE_DATE_EPOCH and no git history to take it from")
    dirty = subprocess.run(["git", "-C", str(REPO), "status", "--porcelain", "--untracked-files=no"],
                           capture_output=True, text=True).stdout
    if dirty:
        print("make-dist: warning: uncommitted changes, so this zip is not that of the last commit",
              file=sys.stderr)
    return int(result.stdout)


def windows_text(path):
    return Path(path).read_text(encoding="utf-8").replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def pack(exe, out_dir, epoch):
    """Writes the zip into out_dir and returns its path."""
    timestamp, version, _ = exe_resources.read(exe)
    if version is None:
        sys.exit(f"make-dist: {exe} has no version resource")
    if timestamp != 0:
        sys.exit(f"make-dist: {exe} carries a link time; build it with 'make windows' (Release)")
    name = version[2]["ProductVersion"]
    readme = windows_text(REPO / "docs" / "windows-readme.txt").replace(b"@VERSION@", name.encode())
    entries = [
        ("inkwarden.exe", Path(exe).read_bytes()),
        ("LICENSE", windows_text(REPO / "LICENSE")),
        ("README.txt", readme),
    ]
    when = time.gmtime(max(epoch, DOS_EPOCH))[:6]
    out_dir = Path(out_dir)
    out_dir.mkdir(parents=True, exist_ok=True)
    zip_path = out_dir / f"inkwarden-{name}-windows-x64.zip"
    partial = zip_path.with_name(f".{zip_path.name}.{os.getpid()}")
    with zipfile.ZipFile(partial, "w") as archive:
        for entry_name, data in entries:
            info = zipfile.ZipInfo(entry_name, date_time=when)
            info.create_system = 0  # MS-DOS attributes: nothing of this machine's users or modes
            info.external_attr = 0
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data, compresslevel=9)
    os.replace(partial, zip_path)
    return zip_path


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: tools/make-dist.py path/to/inkwarden.exe out-dir")
    zip_path = pack(sys.argv[1], sys.argv[2], source_date_epoch())
    digest = hashlib.sha256(zip_path.read_bytes()).hexdigest()
    print(f"{digest}  {zip_path}")


if __name__ == "__main__":
    main()
