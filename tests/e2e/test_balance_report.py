"""runewright --report: silent battles of the edit player against the edit enemies."""
import os
import re
import unicodedata
import unittest

import json

import explorer
from harness import GLOOMHOLD, RUNEWRIGHT, ProgramTest

ITEMS = "pike 2 0 sword 2 0 armor 0 3\n"
PLAYER = "5 4 6 3\n"


def shown_width(text):
    """The columns a UTF-8 terminal gives a text: two for wide characters, one for the rest."""
    return sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in text)


def rows(stdout):
    """slot -> (win %, mean blows, mean HP left) from the report's table."""
    table = {}
    for line in stdout.decode("cp932").splitlines():
        m = re.match(r"^([1-5]) .* (\d+\.\d) +(\d+\.\d\d) +(\d+\.\d\d)$", line)
        if m:
            table[int(m.group(1))] = (float(m.group(2)), float(m.group(3)), float(m.group(4)))
    return table


class Report(ProgramTest):
    def report(self, *args):
        return self.run_program(RUNEWRIGHT, ["--report"] + list(args), "")

    def test_certain_outcomes_give_100_and_0_percent(self):
        # Slots 1 and 3 fall to the first blow of the faster player; slots 2,
        # 4 and 5 are faster and strike far beyond the player's 5 HP.
        self.write_file("editenemy", "1 0 0 0 やさしい 1000 1000 0 9 こわい 1 1 1 1 a "
                                     "999 999 999 999 b 999 999 999 999 c\n")
        self.write_file("editequipment", ITEMS)
        self.write_file("editplayer", PLAYER)
        run = self.report("--battles", "2000", "--seed", "9")
        self.assertEqual(run.status, 0)
        table = rows(run.stdout)
        self.assertEqual(table[1], (100.0, 1.0, 5.0))
        self.assertEqual(table[2], (0.0, 1.0, 0.0))
        self.assertEqual(table[3], (100.0, 1.0, 5.0))
        self.assertEqual(table[5][0], 0.0)
        self.assertIn(b"attack total 8, defence total 9", run.stdout)
        self.assertIn(b"does not beat the boss more often than not within 20 level-ups", run.stdout)
        self.assertEqual(sorted(os.listdir(self.folder)), ["editenemy", "editequipment", "editplayer"])

    def test_eleven_character_numbers_keep_the_columns_apart(self):
        # Enemies at the bottom of the 32-bit range fall to the first blow.
        self.write_file("editenemy", "-2147483648 -2147483648 -2147483648 -2147483648 min\n" * 5)
        self.write_file("editequipment", ITEMS)
        self.write_file("editplayer", PLAYER)
        run = self.report("--battles", "3")
        self.assertEqual(run.status, 0)
        lines = [l for l in run.stdout.decode("cp932").splitlines() if re.match(r"^[1-5] ", l)]
        self.assertEqual(len(lines), 5)
        for line in lines:
            fields = line.replace(" (boss)", "").split()
            self.assertEqual(fields[1:], ["min"] + ["-2147483648"] * 4 + ["100.0", "1.00", "5.00"], line)

    def test_the_boss_row_and_the_rate_without_level_ups_agree(self):
        # A boss that the player beats about four times in five: the line
        # "0:" is the boss row's figure, not one of other battles.
        self.write_file("editenemy", "7 7 2 2 a\n" * 5)
        self.write_file("editequipment", ITEMS)
        self.write_file("editplayer", PLAYER)
        for seed in ("1", "2", "3"):
            with self.subTest(seed=seed):
                run = self.report("--battles", "25", "--seed", seed)
                self.assertEqual(run.status, 0)
                levels = re.findall(rb"^ +(\d+): +(\d+\.\d) %$", run.stdout, re.M)
                self.assertEqual(levels, [(b"0", b"%.1f" % rows(run.stdout)[5][0])])
                self.assertIn(b"more often than not after 0 level-ups.\n", run.stdout)

    def test_starter_data_meets_the_balance_targets_and_is_reproducible(self):
        self.editor("7\n")  # writes the starter files
        first = self.report("--seed", "4", "--games", "2000")
        self.assertEqual(first.status, 0)
        self.assertEqual(first.stdout, self.report("--seed", "4", "--games", "2000").stdout)
        self.assertNotEqual(first.stdout, self.report("--seed", "5", "--games", "2000").stdout)
        # The boss is beyond a fresh player and beyond level-ups alone: it
        # takes found items and many level-ups on the way.
        table = rows(first.stdout)
        self.assertEqual(table[5][0], 0.0)
        levels = [float(rate) for rate in re.findall(rb"^ +\d+: +(\d+\.\d) %$", first.stdout, re.M)]
        self.assertEqual(len(levels), 21)
        self.assertIn(b"does not beat the boss more often than not within 20 level-ups", first.stdout)
        # Whole games: the explorer clears between 30 and 60 % of them, half
        # of them last 60 steps or more, and the boss beats at least one in
        # ten of those who reach it.
        cleared = float(re.search(rb"^  cleared +(\d+\.\d) %", first.stdout, re.M).group(1))
        median = int(re.search(rb"^Steps to the end: median (\d+),", first.stdout, re.M).group(1))
        boss_beats = float(re.search(rb"^  the boss beats (\d+\.\d) % of those who reach it$",
                                     first.stdout, re.M).group(1))
        self.assertTrue(30.0 <= cleared <= 60.0, cleared)
        self.assertGreaterEqual(median, 60)
        self.assertGreaterEqual(boss_beats, 10.0)

    def test_missing_or_damaged_files_fail_on_standard_error_without_a_pause(self):
        cases = [(None, b"runewright: Cannot open editenemy.\n"),
                 ("1 2 3 x name\n", b"runewright: editenemy is damaged at line 1: entry 1, sp: not a number\n")]
        for enemies, message in cases:
            with self.subTest(message=message):
                if enemies is not None:
                    self.write_file("editenemy", enemies)
                run = self.report()
                self.assertEqual(run.status, 1)
                self.assertEqual(run.stdout, b"")
                self.assertEqual(run.stderr, message)
        self.assertEqual(os.listdir(self.folder), ["editenemy"])

    def test_names_line_up_by_the_columns_the_console_shows(self):
        # Circled digits and roman numerals take two bytes but one column of
        # a UTF-8 terminal; half-width katakana one byte and one column.
        names = ["①②", "ｽﾗｲﾑ", "Ⅳ号", "闇の王", "abc"]
        self.write_file("editenemy", "".join("1 0 0 0 %s\n" % name for name in names))
        self.write_file("editequipment", ITEMS)
        self.write_file("editplayer", PLAYER)
        utf8 = {"LC_ALL": "", "LANG": "C.UTF-8"}
        for env, encoding, width in ((None, "cp932", lambda text: len(text.encode("cp932"))),
                                     (utf8, "utf-8", shown_width)):
            with self.subTest(encoding=encoding):
                run = self.run_program(RUNEWRIGHT, ["--report", "--battles", "1"], "", env=env)
                self.assertEqual(run.status, 0)
                text = run.stdout.decode(encoding)
                self.assertTrue(text.startswith("Balance report: 1 battle per enemy, seed 1\n"), text)
                table = [line for line in text.splitlines() if re.match(r"^(slot|[1-5]) ", line)]
                self.assertEqual(len(table), 6)
                # Where the HP column starts, and where the last one ends.
                starts = {width(re.match(r"^\S+ +\S+( \(boss\))? +", line).group(0)) for line in table[1:]}
                self.assertEqual(len(starts), 1, table)
                self.assertEqual({width(line) for line in table}, {width(table[0])}, table)

    def test_report_options_need_report_and_valid_values(self):
        for args in (["--battles", "10"], ["--report", "--battles", "0"], ["--report", "--battles"],
                     ["--report", "--seed", "4294967296"], ["--seed", "1"]):
            with self.subTest(args=args):
                run = self.run_program(RUNEWRIGHT, args, "")
                self.assertEqual(run.status, 2)
                self.assertEqual(run.stdout, b"")


OUTCOMES = {"cleared": explorer.CLEARED, "fellBeforeBoss": explorer.FELL, "lostToBoss": explorer.LOST_TO_BOSS}


class WholeGames(ProgramTest):
    def whole_games(self, *args):
        run = self.run_program(RUNEWRIGHT, ["--report", "--battles", "1", "--format", "json"] + list(args), "")
        self.assertEqual(run.status, 0)
        return json.loads(run.stdout.decode("cp932"))["wholeGames"]

    def test_game_k_is_the_real_game_answered_by_the_explorer(self):
        self.editor("7\n")  # the starter files
        games = self.whole_games("--games", "12", "--seed", "3")
        real = explorer.play(GLOOMHOLD, self.folder, range(3, 15))
        told = [(r["seed"], OUTCOMES[r["outcome"]], r["steps"], r["levelUps"], r["slot"])
                for r in games["records"]]
        self.assertEqual(told, [(r["seed"], r["outcome"], r["steps"], r["levelUps"], r["slot"]) for r in real])
        # The totals add up.
        self.assertEqual([r["game"] for r in games["records"]], list(range(1, 13)))
        counts = [games[key]["games"] for key in ("cleared", "fellBeforeBoss", "lostToBoss")]
        self.assertEqual(sum(counts), 12)
        self.assertEqual(sum(b["games"] for b in games["steps"]["histogram"]), 12)
        self.assertEqual(sum(f["games"] for f in games["fallsBeforeBoss"]), counts[1])
        self.assertEqual(games["atBoss"]["games"], counts[0] + counts[2])

    def test_constructed_content_gives_exactly_all_or_no_clears(self):
        harmless = "-2147483648 1 1 1 a\n" * 4
        self.write_file("editequipment", ITEMS)
        self.write_file("editplayer", PLAYER)
        self.write_file("editenemy", harmless + "-2147483648 1 1 1 boss\n")
        games = self.whole_games("--games", "300")
        self.assertEqual((games["cleared"]["games"], games["cleared"]["percent"]), (300, 100.0))
        self.write_file("editenemy", harmless + "999 999 999 999 boss\n")
        games = self.whole_games("--games", "300")
        self.assertEqual((games["cleared"]["games"], games["lostToBoss"]["games"]), (0, 300))
        self.assertEqual(games["bossBeatsPercentOfThoseWhoReachIt"], 100.0)

    def test_bad_game_counts_and_formats_are_usage_errors(self):
        for args in (["--games", "0"], ["--games", "4294967296"], ["--format", "xml"], ["--format"]):
            with self.subTest(args=args):
                run = self.run_program(RUNEWRIGHT, ["--report"] + args, "")
                self.assertEqual((run.status, run.stdout), (2, b""))


if __name__ == "__main__":
    unittest.main()
