"""The save file and the edit data files as the game uses them."""
import os
import resource
import shutil
import signal
import subprocess
import unittest

from harness import CLOSING, GLOOMHOLD, MENU, PAUSE, PROMPT, RULE38, ProgramTest, cp

# The blanks inside "闇の　騎士" and "聖なる　槍" are full-width spaces (cp932 0x81 0x40).
ENEMIES = ("12 5 3 2\nスライム\n-1 0 2147483647 -2147483648\n闇の　騎士\n1 1 1 1\nbat\n"
           "999 999 999 999\nドラゴン\n7 8 9 10\n魔王\n\n")
ITEMS = "聖なる　槍 5 1 盾\t0 4\r\n\r\n指輪\n1\n1"
PLAYER = "30 7 8 9\n"
LOADING = RULE38 + "\nNOW LOADING...\n" + RULE38 + "\n"
STARTED = MENU + LOADING + "finish\n>>> \n"
SUMMARY = ("持ち物は1:聖なる　槍 2:盾 3:指輪\n"
           "PLAYERのステータスはAP:{ap} DP:{dp}\n"
           "PLAYERは持ち物を装備した。\n"
           "PLAYERの装備品は合計でAP:+6 DP:+6\n"
           "PLAYERは以下のステータスを得たAP:{at} DP:{dt}\n")


def status_line(hp, ap, dp, sp):
    return "PLAYERのステータスはHP:%d AP:%d DP:%d SP:%d\n" % (hp, ap, dp, sp)


def limit_file_size(limit):
    """A child set-up that makes every write beyond `limit` bytes fail as on a full disk.

    SIGXFSZ keeps its default action, which ends a process that goes beyond
    the limit, as in a plain shell after `ulimit -f`: the programs ignore it
    themselves, so that the write fails and is reported. Valgrind writes
    files of its own before the program starts, so under it the signal is
    ignored from the start.
    """
    action = signal.SIG_IGN if os.environ.get("UNDER_VALGRIND") else signal.SIG_DFL

    def apply():
        signal.signal(signal.SIGXFSZ, action)
        resource.setrlimit(resource.RLIMIT_FSIZE, (limit, resource.RLIM_INFINITY))
    return apply


class EditPlaySaveAndLoad(ProgramTest):
    def write_edit_data(self):
        self.write_file("editenemy", ENEMIES)
        self.write_file("editequipment", ITEMS)
        self.write_file("editplayer", PLAYER)

    def test_edit_data_reloads_save_and_a_later_load(self):
        self.write_edit_data()
        run = self.game("2\nSTATUS\nEDITLOAD\nEDITITEMLOAD\nSAVE\n", seed=5)
        self.assertEqual(run.status, 0)
        # The start-up loads all three files without a word between banner and "finish".
        self.assertBytes(run.stdout,
                         STARTED + PROMPT + status_line(30, 7, 8, 9)
                         + PROMPT + status_line(30, 7, 8, 9)
                         + SUMMARY.format(ap=7, dp=8, at=13, dt=14) + "EDITPLAYERのLOADが完了しました。\n"
                         + PROMPT + SUMMARY.format(ap=7, dp=8, at=13, dt=14)
                         + "EDITITEMのLOADが完了しました。\n"
                         + PROMPT + "Saveが完了しました。\n" + CLOSING)
        self.assertEqual(sorted(os.listdir(self.folder)),
                         ["editenemy", "editequipment", "editplayer", "savedata"])
        self.assertEqual(self.read_file("savedata"), b"30 7 8 9\n")
        for name, text in (("editenemy", ENEMIES), ("editequipment", ITEMS), ("editplayer", PLAYER)):
            self.assertEqual(self.read_file(name), cp(text), name)

        # A later run starts from other player data; the load brings the saved maxima back.
        self.write_file("editplayer", "1 2 3 -4\n")
        run = self.game("2\nSTATUS\nLOAD\nSTATUS\nESC\n", seed=6)
        self.assertEqual(run.status, 0)
        self.assertBytes(run.stdout,
                         STARTED + PROMPT + status_line(1, 2, 3, -4)
                         + PROMPT + "読み込み完了致しました。\n" + status_line(30, 7, 8, 9)
                         + SUMMARY.format(ap=7, dp=8, at=13, dt=14)
                         + PROMPT + status_line(30, 7, 8, 9) + PROMPT + CLOSING)
        self.assertEqual(self.read_file("savedata"), b"30 7 8 9\n")

    def test_each_missing_or_damaged_file_ends_the_start_up(self):
        cases = [("editenemy", None, "Cannot open editenemy.\n"),
                 ("editequipment", None, "Cannot open editequipment.\n"),
                 ("editplayer", None, "Cannot open editplayer\n"),
                 ("editenemy", "1 1 1 1\na\n2 2 2 2\nb\n3 3 3 x\nc\n",
                  "editenemy is damaged at line 5: entry 3, sp: not a number\n"),
                 ("editplayer", "1 2 3\n", "editplayer is damaged at line 1: entry 1, sp: missing\n")]
        for name, contents, message in cases:
            with self.subTest(name=name, contents=contents):
                self.write_edit_data()
                if contents is None:
                    os.remove(self.path(name))
                else:
                    self.write_file(name, contents)
                run = self.game("2\nSTATUS\nESC\n")
                self.assertEqual(run.status, 1)
                self.assertBytes(run.stdout, MENU + LOADING + message + PAUSE)

    def test_the_commands_end_the_game_when_their_file_is_gone(self):
        self.write_edit_data()
        os.remove(self.path("editequipment"))
        os.remove(self.path("editplayer"))
        self.write_file("savedata", "1 1 1 1\n")
        for command, message in (("EDITLOAD", "Cannot open editplayer\n"),
                                 ("EDITITEMLOAD", "Cannot open editequipment.\n"),
                                 ("LOAD", "Cannot open savedata\n")):
            with self.subTest(command=command):
                if command == "LOAD":
                    os.remove(self.path("savedata"))
                run = self.game("1\n" + command + "\nSTATUS\nESC\n")
                self.assertEqual(run.status, 1)
                self.assertBytes(run.stdout, MENU + PROMPT + message + PAUSE)


class HugeFiles(ProgramTest):
    """A reader looks at a file only as far as its entries, in a small amount of memory."""

    def huge(self, name, head):
        """`head` and then a hole of NUL bytes up to 2 GiB, which takes no room on the disk."""
        with open(self.path(name), "wb") as f:
            f.write(head)
            f.truncate(2 << 30)

    def test_a_file_of_gigabytes_is_read_only_as_far_as_its_entries(self):
        checked = os.environ.get("ASAN_OPTIONS") or os.environ.get("UNDER_VALGRIND")

        def small_memory():
            # Far too little to hold the file; the checkers need much more address space.
            if not checked:
                resource.setrlimit(resource.RLIMIT_AS, (512 << 20, resource.RLIM_INFINITY))

        self.write_file("editenemy", ENEMIES)
        self.write_file("editequipment", ITEMS)
        self.huge("editplayer", b"30 7 8 9\n")
        self.huge("savedata", b"1 2 3 4")
        run = self.game("2\nSTATUS\nLOAD\nESC\n", preexec_fn=small_memory)
        self.assertEqual(run.status, 0)
        self.assertBytes(run.stdout,
                         STARTED + PROMPT + status_line(30, 7, 8, 9)
                         + PROMPT + "読み込み完了致しました。\n" + status_line(1, 2, 3, 4)
                         + SUMMARY.format(ap=2, dp=3, at=8, dt=9) + PROMPT + CLOSING)
        run = self.editor("6\n7\n", preexec_fn=small_memory)
        self.assertEqual(run.status, 0)
        self.assertIn(cp("HP:30 AP:7 DP:8 SP:9\n"), run.stdout)
        run = self.editor("", args=["--report", "--battles", "10"], preexec_fn=small_memory)
        self.assertEqual(run.status, 0)
        self.assertIn(b"Player: HP 30 AP 7 DP 8 SP 9,", run.stdout)

        # Nothing but the hole: the first byte is the damage.
        self.huge("editplayer", b"")
        run = self.editor("6\n7\n", preexec_fn=small_memory)
        self.assertEqual(run.status, 1)
        self.assertTrue(run.stdout.endswith(
            cp("editplayer is damaged at line 1: entry 1, hp: not a number\n" + PAUSE)), run.text)


class SaveFileContents(ProgramTest):
    def test_an_empty_file_loads_zeros_and_the_game_is_over(self):
        self.write_file("savedata", "")
        run = self.game("1\nLOAD\nSTATUS\nESC\n")
        self.assertEqual(run.status, 0)
        # No further prompt: hit points of 0 end the game at the end of the turn.
        self.assertBytes(run.stdout, MENU + PROMPT + "読み込み完了致しました。\n" + status_line(0, 0, 0, 0)
                         + "持ち物は1:pike 2:sword 3:armor\nPLAYERのステータスはAP:0 DP:0\n"
                         + "PLAYERは持ち物を装備した。\nPLAYERの装備品は合計でAP:+4 DP:+3\n"
                         + "PLAYERは以下のステータスを得たAP:4 DP:3\n" + CLOSING)


class FailedSaves(ProgramTest):
    """A save that does not reach the disk is reported and keeps the old save whole."""
    OLD = b"9 9 9 9\n"
    CANNOT_WRITE = MENU + PROMPT + "Cannot write savedata\n" + PAUSE

    def test_a_write_that_fails_midway(self):
        self.write_file("savedata", self.OLD)
        run = self.game("1\nSAVE\n", preexec_fn=limit_file_size(3))
        self.assertEqual(run.status, 1)
        self.assertBytes(run.stdout, self.CANNOT_WRITE)
        self.assertEqual(self.read_file("savedata"), self.OLD)
        self.assertEqual(os.listdir(self.folder), ["savedata"])

    def test_a_full_disk(self):
        if os.geteuid() != 0 or shutil.which("unshare") is None:
            self.skipTest("needs root to mount a small file system")
        disk = self.path("disk")
        os.mkdir(disk)
        script = ('mount -t tmpfs -o size=16k tmpfs disk || exit 99\n'
                  'printf "9 9 9 9\\n" > disk/savedata\n'
                  'head -c 1000000 /dev/zero > disk/filler 2>/dev/null\n'
                  '(cd disk && printf "1\\nSAVE\\n" | "$GAME" --seed 1 > ../out; echo $? > ../status)\n'
                  'rm disk/filler; cp -p disk/* kept/ 2>/dev/null; ls -A disk > names\n')
        os.mkdir(self.path("kept"))
        done = subprocess.run(["unshare", "--mount", "--propagation", "private", "sh", "-c", script],
                              cwd=self.folder, capture_output=True, timeout=60,
                              env={"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "LC_ALL": "C",
                                   "GAME": GLOOMHOLD})
        if done.returncode == 99 or not os.path.exists(self.path("status")):
            self.skipTest("cannot mount a small file system here: %r" % done.stderr)
        self.assertEqual(self.read_file("status"), b"1\n")
        self.assertBytes(self.read_file("out"), self.CANNOT_WRITE)
        self.assertEqual(self.read_file("kept/savedata"), self.OLD)
        self.assertEqual(self.read_file("names"), b"savedata\n")

    def test_a_save_that_cannot_replace_the_old_one(self):
        # Neither an immutable file nor a file in a read-only folder is replaced:
        # the save cannot even be opened.
        self.write_file("savedata", self.OLD)
        if os.geteuid() == 0:
            # Root writes in read-only folders, but not into an immutable file.
            if subprocess.run(["chattr", "+i", self.path("savedata")], capture_output=True).returncode:
                self.skipTest("chattr +i is not available here")
            self.addCleanup(subprocess.run, ["chattr", "-i", self.path("savedata")])
        else:
            os.chmod(self.folder, 0o555)
            self.addCleanup(os.chmod, self.folder, 0o755)
        run = self.game("1\nSAVE\n")
        self.assertEqual(run.status, 1)
        self.assertBytes(run.stdout, MENU + PROMPT + "Cannot open savedata\n" + PAUSE)
        self.assertEqual(self.read_file("savedata"), self.OLD)
        self.assertEqual(os.listdir(self.folder), ["savedata"])


if __name__ == "__main__":
    unittest.main()
