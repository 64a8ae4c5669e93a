"""Each Windows program is one file: it loads nothing but system libraries."""
import os
import shutil
import subprocess
import unittest

OBJDUMP = shutil.which("x86_64-w64-mingw32-objdump")
SYSTEM_LIBRARIES = {"kernel32.dll", "msvcrt.dll", "ucrtbase.dll", "user32.dll", "advapi32.dll"}


@unittest.skipUnless(OBJDUMP, "x86_64-w64-mingw32-objdump is not installed")
class SingleFiles(unittest.TestCase):
    def test_only_system_libraries_are_imported(self):
        for variable in ("GLOOMHOLD_EXE", "RUNEWRIGHT_EXE"):
            program = os.environ[variable]
            with self.subTest(program=os.path.basename(program)):
                headers = subprocess.run([OBJDUMP, "-p", program], capture_output=True, check=True,
                                         text=True).stdout
                imported = {line.split(":", 1)[1].strip().lower()
                            for line in headers.splitlines() if "DLL Name:" in line}
                self.assertIn("kernel32.dll", imported)
                others = {name for name in imported
                          if name not in SYSTEM_LIBRARIES and not name.startswith("api-ms-win-")}
                self.assertEqual(others, set())


if __name__ == "__main__":
    unittest.main()
