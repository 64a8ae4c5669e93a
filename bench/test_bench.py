"""The benchmark's own counts: the battles that a balance report fought,
checked against the report's own closing sentence on edit data of several
strengths, and the recorded writes that its floor replays."""
import os
import re
import shutil
import subprocess
import tempfile
import unittest

import bench

RUNEWRIGHT = os.environ.get("RUNEWRIGHT", "")
GLOOMHOLD = os.environ.get("GLOOMHOLD", "")
REPLAY_FLOOR = os.environ.get("REPLAY_FLOOR", "")
STRACE = shutil.which("strace")
BATTLES = 300
NO_LEAK_CHECK = "detect_leaks=0"


class ReportBattles(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="gloomhold-bench-test-")
        self.addCleanup(shutil.rmtree, self.folder, True)
        subprocess.run([RUNEWRIGHT], input=b"7\n", cwd=self.folder, stdout=subprocess.DEVNULL,
                       env={"LC_ALL": "C"}, check=True, timeout=30)

    def write(self, name, text):
        with open(os.path.join(self.folder, name), "w", encoding="ascii") as f:
            f.write(text)

    def report(self):
        return subprocess.run([RUNEWRIGHT, "--report", "--battles", str(BATTLES), "--games", "1"], cwd=self.folder,
                              capture_output=True, env={"LC_ALL": "C"}, check=True, timeout=60).stdout

    def rows_from_sentence(self, output):
        """Level-up rows as the closing sentence tells them: 0 to k level-ups,
        or all of 0 to 20."""
        output = bench.battle_section(output)
        beaten = re.search(rb"after (\d+) level-ups?\.\n$", output)
        if beaten:
            return int(beaten.group(1)) + 1
        self.assertRegex(output, rb"within 20 level-ups\.\n$")
        return 21

    def check(self):
        output = self.report()
        battles, enemy_rows, level_up_rows = bench.report_battles(output, BATTLES)
        self.assertEqual(enemy_rows, 5)
        self.assertEqual(level_up_rows, self.rows_from_sentence(output))
        # The row of no level-up is the boss's row of the table, not fought again.
        self.assertEqual(battles, BATTLES * (5 + level_up_rows - 1))
        return level_up_rows

    def test_starter_data(self):
        self.assertGreater(self.check(), 1)

    def test_a_player_who_beats_the_boss_at_once(self):
        self.write("editplayer", "999 999 999 999\n")
        self.assertEqual(self.check(), 1)

    def test_a_boss_that_no_level_up_brings_down(self):
        enemies = "".join("%d 5 1 1\nenemy%d\n" % (5 + k, k) for k in range(4)) + "9999 999 999 999\nboss\n"
        self.write("editenemy", enemies)
        self.assertEqual(self.check(), 21)

    def test_the_reference_roster_as_the_editor_reads_it(self):
        bench.write_file(os.path.join(self.folder, "editenemy"), bench.reference_editenemy())
        output = bench.battle_section(self.report())
        for slot, (hp, ap, dp, sp, name) in enumerate(bench.REFERENCE_ROSTER, 1):
            row = re.compile(rb"^%d +%s.* %d +%d +%d +%d +[0-9.]+ " % (slot, re.escape(name.encode("cp932")), hp, ap, dp, sp),
                             re.M)
            self.assertRegex(output, row)
        self.check()

    def test_a_report_of_another_size_is_refused(self):
        with self.assertRaises(SystemExit):
            bench.report_battles(self.report(), BATTLES + 1)


class RecordedWrites(unittest.TestCase):
    """The floor writes what the game wrote, in writes of the same sizes, in
    both locales: a write that the trace's parsing missed or misread would
    make the floor do less work than the game."""

    def setUp(self):
        if STRACE is None or not os.access(REPLAY_FLOOR, os.X_OK):
            self.skipTest("needs strace and the replay floor")
        self.folder = tempfile.mkdtemp(prefix="gloomhold-bench-test-")
        self.addCleanup(shutil.rmtree, self.folder, True)
        self.here = os.getcwd()
        self.addCleanup(os.chdir, self.here)
        os.chdir(self.folder)
        # The leak checker of a sanitizer build cannot work under a tracer;
        # the sizes of the writes are what is checked here.
        self.addCleanup(os.environ.__setitem__, "ASAN_OPTIONS", os.environ.get("ASAN_OPTIONS", ""))
        os.environ["ASAN_OPTIONS"] = NO_LEAK_CHECK
        subprocess.run([RUNEWRIGHT], input=b"7\n", stdout=subprocess.DEVNULL, env={"LC_ALL": "C"}, check=True,
                       timeout=30)
        # A session long enough for writes of a full buffer and a short last one.
        bench.write_file("editplayer", bench.STURDY_PLAYER)
        bench.write_file("script", bench.session_script(3000))

    def test_the_floor_replays_the_session(self):
        for locale, env in bench.LOCALES.items():
            with self.subTest(locale=locale):
                name = "session-" + locale
                env = dict(env, ASAN_OPTIONS=NO_LEAK_CHECK)
                sizes = bench.record(STRACE, [GLOOMHOLD, "--seed", "1"], "script", name, env)
                output = bench.read_file(name + ".out")
                self.assertGreater(len(sizes), 2)
                self.assertEqual(sum(sizes), len(output))
                replayed = subprocess.run([REPLAY_FLOOR, name + ".sizes", name + ".out"], capture_output=True,
                                          check=True, timeout=30)
                self.assertEqual(replayed.stdout, output)
                self.assertRegex(replayed.stderr, rb"^load \d+\nfreed \d+\n$")
                copied = subprocess.run([REPLAY_FLOOR, "--copy", name + ".sizes", name + ".out"], capture_output=True,
                                        check=True, timeout=30)
                self.assertEqual(copied.stdout, output)
                traced = subprocess.run([STRACE, "-qq", "-e", "trace=write", "-o", "replay.trace", REPLAY_FLOOR,
                                         name + ".sizes", name + ".out"], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL, check=True, timeout=30)
                self.assertEqual(traced.returncode, 0)
                self.assertEqual(bench.write_sizes(bench.read_file("replay.trace").decode()), sizes)


if __name__ == "__main__":
    unittest.main()
