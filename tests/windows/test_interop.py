"""Files that the Windows programs write, with CR LF line ends, serve the
Linux programs as well as their own files do (and the other way round every
replayed run shows already)."""
import os
import unittest

import harness
from harness import ProgramTest
from wine import windows_run


class WindowsFiles(ProgramTest):
    def setUp(self):
        super().setUp()
        self.linux_folder = self.folder
        self.folder = os.path.join(self.linux_folder, "written-on-windows")
        os.mkdir(self.folder)

    def on_windows(self, program, args, script):
        environment = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "LC_ALL": "C"}
        run = windows_run(program, args, harness.cp(script), self.folder, environment, 120)
        self.assertEqual(run["status"], 0, run["stdout"])
        return run

    def in_both(self, action):
        """Runs `action` in the Windows-written folder and in a Linux-written one."""
        windows_folder = self.folder
        results = [action()]
        self.folder = os.path.join(self.linux_folder, "written-on-linux")
        os.mkdir(self.folder)
        try:
            self.editor("7\n")
            self.game("1\nSAVE\n", seed=8)
            results.append(action())
        finally:
            self.folder = windows_folder
        return results

    def test_edit_data_and_save_written_on_windows(self):
        self.on_windows(harness.RUNEWRIGHT, [], "7\n")
        self.on_windows(harness.GLOOMHOLD, ["--seed", "8"], "1\nSAVE\n")
        for name in ("editenemy", "editequipment", "editplayer", "savedata"):
            data = self.read_file(name)
            self.assertIn(b"\r\n", data, name)
            self.assertNotIn(b"\n", data.replace(b"\r\n", b""), name)

        def play():
            return self.game("2\nLOAD\nSTATUS\nEDITLOAD\nEDITITEMLOAD\nup\nup\nESC\n", seed=4).stdout
        on_windows_files, on_linux_files = self.in_both(play)
        self.assertIn(harness.cp("読み込み完了致しました。"), on_windows_files)
        self.assertEqual(on_windows_files, on_linux_files)

    def test_the_linux_editor_changes_a_file_written_on_windows(self):
        self.on_windows(harness.RUNEWRIGHT, [], "7\n")
        script = "1\n40\n9\n8\n7\nオーガ\n3\n4\n7\n"

        def edit():
            run = self.editor(script)
            self.assertEqual(run.status, 0)
            return run.stdout, self.read_file("editenemy")
        on_windows_files, on_linux_files = self.in_both(edit)
        self.assertIn(harness.cp("オーガ"), on_windows_files[1])
        self.assertEqual(on_windows_files, on_linux_files)


if __name__ == "__main__":
    unittest.main()
