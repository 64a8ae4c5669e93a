"""Writes that fail or are cut short never leave a cut or lost file."""
import os
import select
import shutil
import stat
import subprocess
import sys
import time
import unittest

from harness import (GLOOMHOLD, MENU, PAUSE, PROMPT, RUNEWRIGHT, ProgramTest, checker_report, cp,
                     program_environment)
from test_data_files import limit_file_size

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fuzz"))
import write_kills  # noqa: E402

ENEMIES = write_kills.OLD_ENEMIES
ITEMS = write_kills.OLD_ITEMS
PLAYER = write_kills.OLD_PLAYER
OLD_SAVE = write_kills.OLD_SAVE
STARTER_FILES = ["editenemy", "editequipment", "editplayer"]
EDITOR_MENU = ("-" * 26 + "\nWelcome to Edit mode...\n1:ENEMY EDIT\n2:ITEM EDIT\n3:CHARACTER EDIT\n"
               "4:DISPLAY ENEMY STATUS\n5:DISPLAY ITEM STATUS\n6:DISPLAY CHARACTER STATUS\n"
               "7:EXIT EDIT MODE\n" + "-" * 26 + "\nChoose list number and enter... : ")
# One of the editor's dialogues, answered whole, and the file it writes.
DIALOGUES = [("1\n12\n34\n5\n6\ndragon\n2\n", "editenemy"),
             ("2\naxe\n7\n0\nshield\n0\n7\nring\n1\n1\n", "editequipment"),
             ("3\n40\n8\n9\n10\n", "editplayer")]


class EditorWritesThatFail(ProgramTest):
    def write_edit_data(self):
        self.write_file("editenemy", ENEMIES)
        self.write_file("editequipment", ITEMS)
        self.write_file("editplayer", PLAYER)

    def test_a_disk_that_fills_up_midway_keeps_the_old_file(self):
        for script, name in DIALOGUES:
            with self.subTest(file=name):
                self.write_edit_data()
                run = self.editor(script, preexec_fn=limit_file_size(3))
                self.assertEqual(run.status, 1)
                self.assertTrue(run.stdout.endswith(cp("Cannot write %s\n" % name + PAUSE)), run.text)
                self.assertNotIn(b"finish\n" + cp(PAUSE), run.stdout)
                self.assertEqual(self.read_file("editenemy"), ENEMIES)
                self.assertEqual(self.read_file("editequipment"), ITEMS)
                self.assertEqual(self.read_file("editplayer"), PLAYER)
                self.assertEqual(sorted(os.listdir(self.folder)), STARTER_FILES)

    def test_starter_files_on_a_full_disk_are_not_created_at_all(self):
        run = self.editor("7\n", preexec_fn=limit_file_size(3))
        self.assertEqual(run.status, 1)
        self.assertBytes(run.stdout, "Cannot write editenemy\n" + PAUSE)
        self.assertEqual(os.listdir(self.folder), [])

    def test_a_folder_that_takes_no_new_file(self):
        self.write_edit_data()
        os.remove(self.path("editplayer"))
        if os.geteuid() == 0:
            # Root writes in read-only folders; nothing is made in an immutable one.
            if subprocess.run(["chattr", "+i", self.folder], capture_output=True).returncode:
                self.skipTest("chattr +i is not available here")
            self.addCleanup(subprocess.run, ["chattr", "-i", self.folder])
        else:
            os.chmod(self.folder, 0o555)
            self.addCleanup(os.chmod, self.folder, 0o755)
        # The missing starter file cannot be made: the editor stops before its menu.
        run = self.editor("4\n7\n")
        self.assertEqual(run.status, 1)
        self.assertBytes(run.stdout, "Cannot open editplayer.\n" + PAUSE)
        self.assertEqual(sorted(os.listdir(self.folder)), ["editenemy", "editequipment"])
        self.assertEqual(self.read_file("editenemy"), ENEMIES)


class TwoWritersAtOnce(ProgramTest):
    """What one editor stores while another waits at its slot question is never lost."""
    SLOT_QUESTION = cp("6:NOT CHANGE(やっぱりやめる)\n" + "-" * 68 + "\n")
    NEW_ENEMY = "12\n34\n5\n6\ndragon\n"

    def editor_at_slot_question(self):
        """An editor in the enemy dialogue, stopped at the slot question."""
        editor = subprocess.Popen([RUNEWRIGHT], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                  stderr=subprocess.PIPE, cwd=self.folder, env=program_environment())
        self.addCleanup(editor.kill)
        editor.stdin.write(cp("1\n" + self.NEW_ENEMY))
        editor.stdin.flush()
        shown = b""
        deadline = time.monotonic() + 120
        while not shown.endswith(self.SLOT_QUESTION):
            ready, _, _ = select.select([editor.stdout], [], [], max(0.0, deadline - time.monotonic()))
            chunk = os.read(editor.stdout.fileno(), 65536) if ready else b""
            if not chunk:
                self.fail("the editor did not reach the slot question: %r" % shown[-300:])
            shown += chunk
        return editor

    def answer(self, editor, lines):
        out, err = editor.communicate(cp(lines), timeout=120)
        fault = checker_report(err, editor.returncode)
        if fault:
            self.fail(fault)
        return editor.returncode, out

    def test_the_file_is_read_again_right_before_it_is_written(self):
        wyvern = "10 5 3 2\nslime\n77 7 7 7\nwyvern\n30 7 5 4\norc\n40 8 6 5\ntroll\n50 9 7 6\ndragon\n\n"
        by_hand = wyvern.replace("troll", "ogre")
        both = by_hand.replace("30 7 5 4\norc", "12 34 5 6\ndragon")
        cases = [("6", None, wyvern),  # "NOT CHANGE" keeps what the other editor stored
                 ("3", by_hand, both)]  # the new enemy joins the file as it is now
        for slot, edit, expected in cases:
            with self.subTest(slot=slot):
                self.write_file("editenemy", ENEMIES)
                waiting = self.editor_at_slot_question()
                other = self.editor("1\n77\n7\n7\n7\nwyvern\n2\n7\n")
                self.assertEqual(other.status, 0, other.text)
                if edit:
                    self.write_file("editenemy", edit)
                status, out = self.answer(waiting, slot + "\n7\n")
                self.assertEqual(status, 0)
                # What the editor prints after the slot question.
                self.assertTrue(out.startswith(cp("finish\n" + PAUSE + "finish\n")), out[:200])
                self.assertEqual(self.read_file("editenemy"), cp(expected))
                # The folder itself is locked: no lock file stays.
                self.assertEqual(sorted(os.listdir(self.folder)), STARTER_FILES)

    def test_a_file_damaged_or_gone_meanwhile_stops_the_dialogue(self):
        damaged = ENEMIES.replace(b"30 7 5 4", b"30 7 5 4x")
        cases = [(damaged, "editenemy is damaged at line 5: entry 3, sp: not a number\n"),
                 (None, "Cannot open editenemy.\n")]
        for contents, message in cases:
            with self.subTest(message=message):
                self.write_file("editenemy", ENEMIES)
                waiting = self.editor_at_slot_question()
                if contents is None:
                    os.remove(self.path("editenemy"))
                else:
                    self.write_file("editenemy", contents)
                status, out = self.answer(waiting, "3\n7\n")
                self.assertEqual(status, 1)
                self.assertBytes(out, message + PAUSE)
                if contents is None:
                    self.assertFalse(os.path.exists(self.path("editenemy")))
                else:
                    self.assertEqual(self.read_file("editenemy"), contents)


NOBODY = 65534


class WriteProtection(ProgramTest):
    """A file that this user could not open for writing is not replaced either."""

    def as_unprivileged_user(self):
        """The command that runs a program as an unprivileged user in the test's folder."""
        if os.geteuid() != 0:
            return []
        if shutil.which("setpriv") is None:
            self.skipTest("setpriv is not available to drop root's privileges")
        os.chown(self.folder, NOBODY, NOBODY)
        command = ["setpriv", "--reuid=%d" % NOBODY, "--regid=%d" % NOBODY, "--clear-groups"]
        for program in (GLOOMHOLD, RUNEWRIGHT):
            probe = subprocess.run(command + [program, "--version"], capture_output=True,
                                   env=program_environment())
            if probe.returncode != 0:
                self.skipTest("user %d cannot run %s here: %r" % (NOBODY, program, probe.stderr[-300:]))
        return command

    def write_owned(self, name, data, mode):
        self.write_file(name, data)
        if os.geteuid() == 0:
            os.chown(self.path(name), NOBODY, NOBODY)
        os.chmod(self.path(name), mode)

    def run_as(self, command, program, args, script):
        line = command + [program] + args
        return self.run_program(line[0], line[1:], script)

    def test_read_only_files_are_not_replaced(self):
        command = self.as_unprivileged_user()
        self.write_owned("savedata", OLD_SAVE, 0o444)
        self.write_owned("editenemy", ENEMIES, 0o644)
        self.write_owned("editequipment", ITEMS, 0o644)
        self.write_owned("editplayer", PLAYER, 0o444)
        run = self.run_as(command, GLOOMHOLD, ["--seed", "1"], "1\nSAVE\n")
        self.assertEqual(run.status, 1)
        self.assertBytes(run.stdout, MENU + PROMPT + "Cannot open savedata\n" + PAUSE)
        run = self.run_as(command, RUNEWRIGHT, [], "3\n40\n8\n9\n10\n")
        self.assertEqual(run.status, 1)
        self.assertTrue(run.stdout.endswith(cp("Cannot open editplayer.\n" + PAUSE)), run.text)
        self.assertEqual(self.read_file("savedata"), OLD_SAVE)
        self.assertEqual(self.read_file("editplayer"), PLAYER)
        for name in ("savedata", "editplayer"):
            self.assertEqual(stat.S_IMODE(os.stat(self.path(name)).st_mode), 0o444, name)
        self.assertEqual(sorted(os.listdir(self.folder)), sorted(STARTER_FILES + ["savedata"]))

    def test_a_file_that_cannot_be_replaced_stops_its_dialogue_before_the_first_question(self):
        command = self.as_unprivileged_user()
        self.write_owned("editenemy", ENEMIES, 0o644)
        self.write_owned("editequipment", ITEMS, 0o444)
        self.write_owned("editplayer", PLAYER, 0o644)
        run = self.run_as(command, RUNEWRIGHT, [], "2\naxe\n7\n0\n")
        self.assertEqual(run.status, 1)
        self.assertBytes(run.stdout, EDITOR_MENU + "itemedit\nCannot open editequipment.\n" + PAUSE)
        # A folder that takes no new file: the player could not be replaced either.
        os.chmod(self.path("editequipment"), 0o644)
        os.chmod(self.folder, 0o555)
        self.addCleanup(os.chmod, self.folder, 0o755)
        run = self.run_as(command, RUNEWRIGHT, [], "3\n40\n")
        self.assertEqual(run.status, 1)
        self.assertBytes(run.stdout, EDITOR_MENU + "playeredit\nCannot open editplayer.\n" + PAUSE)
        self.assertEqual(self.read_file("editequipment"), ITEMS)
        self.assertEqual(self.read_file("editplayer"), PLAYER)
        self.assertEqual(sorted(os.listdir(self.folder)), STARTER_FILES)

    def test_another_users_file_in_the_users_own_folder(self):
        if os.geteuid() != 0:
            self.skipTest("needs root to give a file to another user")
        command = self.as_unprivileged_user()
        self.write_file("savedata", OLD_SAVE)  # root's, mode 0644
        os.chmod(self.path("savedata"), 0o644)
        run = self.run_as(command, GLOOMHOLD, ["--seed", "1"], "1\nSAVE\n")
        self.assertEqual(run.status, 1)
        self.assertBytes(run.stdout, MENU + PROMPT + "Cannot open savedata\n" + PAUSE)
        self.assertEqual(self.read_file("savedata"), OLD_SAVE)
        self.assertEqual(os.stat(self.path("savedata")).st_uid, 0)
        self.assertEqual(os.listdir(self.folder), ["savedata"])

    def test_the_new_file_keeps_mode_owner_and_group(self):
        if os.geteuid() != 0:
            self.skipTest("needs root to replace another user's file")
        self.write_owned("savedata", OLD_SAVE, 0o640)
        run = self.game("1\nSAVE\n")
        self.assertEqual(run.status, 0)
        info = os.stat(self.path("savedata"))
        self.assertEqual(self.read_file("savedata"), b"5 4 6 3\n")
        self.assertEqual((info.st_uid, info.st_gid, stat.S_IMODE(info.st_mode)), (NOBODY, NOBODY, 0o640))


@unittest.skipUnless(write_kills.strace_works(), "strace cannot trace here (apt-get install strace)")
@unittest.skipIf(os.environ.get("UNDER_VALGRIND"), "strace cannot pick the program out of valgrind")
class KillsDuringWrites(unittest.TestCase):
    """SIGKILL at random moments of every write; each file is its old or its new self."""

    def test_random_kills(self):
        kills = int(os.environ.get("WRITE_KILLS", "60"))
        programs = {"game": os.path.abspath(GLOOMHOLD), "editor": os.path.abspath(RUNEWRIGHT)}
        counts, by_scenario, cut_calls, problems = write_kills.run_kills(programs, kills, seed=7)
        self.assertEqual(problems, [])
        self.assertEqual(counts["kills"], kills)
        # Without kills inside the write sequence the test would show nothing.
        self.assertGreater(counts[write_kills.Phase.MIDWRITE], kills // 10, counts)
        print("\n%s; by scenario %s; cut calls %s" % (counts, by_scenario, cut_calls), file=sys.stderr)


if __name__ == "__main__":
    unittest.main()
