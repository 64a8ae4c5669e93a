"""Saves over what stands where the save file goes: the Windows game must do
what the Linux game does (each run here is made by both and compared)."""
import os
import unittest

import harness
from compare import replayed_run_program
from harness import MENU, PAUSE, PROMPT, ProgramTest

OLD = b"1 2 3 4\n"
SAVED = harness.cp(MENU + PROMPT + "Saveが完了しました。\n" + harness.CLOSING)


class SaveOverLinksAndFolders(ProgramTest):
    def save(self):
        return replayed_run_program(self, harness.GLOOMHOLD, ["--seed", "1"], "1\nSAVE\n")

    def test_a_link_stays_a_link_and_its_file_gets_the_save(self):
        os.mkdir(self.path("real"))
        for target in ("real/save", self.path("real/other")):  # relative, then absolute
            with self.subTest(target=target):
                self.write_file("real/save", OLD)
                self.write_file("real/other", OLD)
                if os.path.lexists(self.path("savedata")):
                    os.remove(self.path("savedata"))
                os.symlink(target, self.path("savedata"))
                run = self.save()
                self.assertEqual((run.status, run.stdout), (0, SAVED))
                self.assertEqual(os.readlink(self.path("savedata")), target)
                self.assertEqual(self.read_file("savedata"), b"5 4 6 3\n")
                self.assertEqual(sorted(os.listdir(self.path("real"))), ["other", "save"])

    def test_a_folder_in_place_of_the_save_file(self):
        os.mkdir(self.path("savedata"))
        run = self.save()
        self.assertEqual(run.status, 1)
        self.assertEqual(run.stdout, harness.cp(MENU + PROMPT + "Cannot open savedata\n" + PAUSE))
        self.assertEqual(os.listdir(self.folder), ["savedata"])


if __name__ == "__main__":
    unittest.main()
