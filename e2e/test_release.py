"""The release zip (tools/make-dist.py, make dist): packed twice it is the
same bytes, it holds what a Windows user needs, its exe carries the version
Explorer shows and starts under Wine; and the font pin users import.

The exe is compiled once and packed twice, from two places with different
file times: what the exe itself could add from one build to the next (a
link time, symbols with build paths) is checked in the exe instead.
"""

import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree
import zipfile
from pathlib import Path

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import editor  # noqa: E402
import winelib  # noqa: E402

sys.path.insert(0, str(winelib.REPO / "tools"))
import exe_resources  # noqa: E402

MAKE_DIST = winelib.REPO / "tools" / "make-dist.py"
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comdlg32.dll", "winspool.drv", "msvcrt.dll",
               "imm32.dll", "oleaut32.dll"}
ASM = "{urn:schemas-microsoft-com:asm.v1}"


def cmake_version():
    text = (winelib.REPO / "CMakeLists.txt").read_text()
    return re.search(r"project\(Inkwarden VERSION (\d+)\.(\d+)\.(\d+)", text).groups()


def pack(exe, out_dir):
    """Runs make-dist.py as make dist does; returns (zip path, printed SHA-256)."""
    env = {k: v for k, v in os.environ.items() if k != "SOURCE_DATE_EPOCH"}  # from git, as make dist
    result = subprocess.run([sys.executable, str(MAKE_DIST), str(exe), str(out_dir)], env=env,
                            capture_output=True, text=True, timeout=60)
    if result.returncode != 0:
        raise AssertionError(f"make-dist.py failed: {result.stderr.strip()}")
    digest, path = result.stdout.split()
    return Path(path), digest


class ReleaseZip(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = Path(tempfile.mkdtemp(prefix="inkwarden-dist-"))
        cls.addClassCleanup(shutil.rmtree, cls.scratch, ignore_errors=True)
        cls.version = ".".join(cmake_version())
        cls.zip, cls.digest = pack(editor.EXE, cls.scratch / "first")
        elsewhere = cls.scratch / "elsewhere" / "inkwarden.exe"
        elsewhere.parent.mkdir()
        shutil.copyfile(editor.EXE, elsewhere)
        os.utime(elsewhere, (1, 1))
        cls.again, cls.again_digest = pack(elsewhere, cls.scratch / "second")

    def test_packing_twice_gives_the_same_bytes(self):
        self.assertEqual(self.zip.name, f"inkwarden-{self.version}-windows-x64.zip")
        self.assertEqual(self.digest, hashlib.sha256(self.zip.read_bytes()).hexdigest(), "printed SHA-256")
        self.assertEqual(self.again.name, self.zip.name)
        self.assertEqual(self.again_digest, self.digest, "the second packing differs from the first")

    def test_zip_holds_the_exe_licence_and_readme(self):
        with zipfile.ZipFile(self.zip) as archive:
            self.assertEqual(archive.namelist(), ["inkwarden.exe", "LICENSE", "README.txt"])
            self.assertEqual(archive.read("inkwarden.exe"), editor.EXE.read_bytes())
            licence = archive.read("LICENSE").decode()
            readme = archive.read("README.txt").decode()
        self.assertIn("Copyright (c) 2026 the Inkwarden authors", licence)
        self.assertIn(f"Version {self.version}.", readme)
        for name, text in (("LICENSE", licence), ("README.txt", readme)):
            self.assertNotIn("\n", text.replace("\r\n", ""), f"{name} has a line not ended by CR LF")

    def test_exe_shows_its_version_and_asks_for_common_controls_6(self):
        timestamp, (file_version, product_version, strings), manifest = exe_resources.read(editor.EXE)
        self.assertEqual(timestamp, 0, "link time in the PE header")
        self.assertEqual(exe_resources.Executable(editor.EXE.read_bytes()).symbols, 0, "symbols left in")
        four = tuple(map(int, cmake_version())) + (0,)
        self.assertEqual((file_version, product_version), (four, four))
        self.assertEqual(strings, {
            "FileDescription": "Inkwarden text editor", "FileVersion": self.version,
            "InternalName": "inkwarden", "LegalCopyright": "Copyright (c) 2026 the Inkwarden authors",
            "OriginalFilename": "inkwarden.exe", "ProductName": "Inkwarden", "ProductVersion": self.version})

        root = ElementTree.fromstring(manifest)
        self.assertEqual(root.find(ASM + "assemblyIdentity").get("version"), ".".join(map(str, four)))
        controls = root.find(f"{ASM}dependency/{ASM}dependentAssembly/{ASM}assemblyIdentity")
        self.assertIsNotNone(controls, "no dependent assembly")
        self.assertEqual({k: controls.get(k) for k in ("name", "version", "processorArchitecture",
                                                        "publicKeyToken")},
                         {"name": "Microsoft.Windows.Common-Controls", "version": "6.0.0.0",
                          "processorArchitecture": "*", "publicKeyToken": "6595b64144ccf1df"})
        self.assertIn("<dpiAwareness", manifest)
        self.assertEqual(manifest.count("<supportedOS "), 4)

    def test_exe_needs_only_system_libraries(self):
        dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", str(editor.EXE)], capture_output=True,
                              text=True, check=True, timeout=60).stdout
        dlls = {name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)}
        self.assertTrue(dlls, "objdump listed no imports")
        self.assertLessEqual(dlls, SYSTEM_DLLS, "a library a Windows user would not have")

    def test_zipped_exe_starts_and_the_font_pin_imports(self):
        unpacked = self.scratch / "unpacked"
        with zipfile.ZipFile(self.zip) as archive:
            archive.extractall(unpacked)
        session = editor.open_session("1280x1024x24")
        self.addCleanup(session.kill_wine)
        process = session.start_program(unpacked / "inkwarden.exe", log=editor.OUT / "release-zip.log")
        session.wait_for_window(editor.TITLE, timeout=20, program=process)
        self.assertEqual(len(session.wait_win32_window("Inkwarden")), 1)
        session.kill_wine()

        # What the README tells users to run, in place of the harness's own pin.
        hive, key, line = winelib.FONT_PIN_SETTING
        key = hive + "\\" + key
        name, data = re.fullmatch(r'"(.*)"="(.*)"', line).groups()
        run = dict(env=session.env, timeout=60)
        winelib.run_checked([winelib.WINE, "reg", "delete", key, "/v", name, "/f"], **run)
        winelib.run_checked([winelib.WINE, "regedit", winelib.FONT_PIN], **run)
        query = winelib.run_checked([winelib.WINE, "reg", "query", key, "/v", name], **run).stdout.decode()
        self.assertIn(data, query, "the value after wine regedit")
        self.assertEqual(editor.document_font(session).font, winelib.TEXT_FONT)


if __name__ == "__main__":
    unittest.main()
