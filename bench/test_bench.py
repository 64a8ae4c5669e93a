"""The benchmark's count of the battles that a balance report fought, checked
against the report's own closing sentence on edit data of several strengths."""
import os
import re
import shutil
import subprocess
import tempfile
import unittest

import bench

RUNEWRIGHT = os.environ.get("RUNEWRIGHT", "")
BATTLES = 300


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
        self.assertEqual(battles, BATTLES * (5 + level_up_rows))
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

    def test_a_report_of_another_size_is_refused(self):
        with self.assertRaises(SystemExit):
            bench.report_battles(self.report(), BATTLES + 1)


if __name__ == "__main__":
    unittest.main()
