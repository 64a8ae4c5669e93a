"""The game's start-up, menu, command loop, movement and command line."""
import unittest

from harness import CLOSING, MENU, PROMPT, ProgramTest


class MenuAndCommandLoop(ProgramTest):
    def test_menu_refusal_status_and_escape(self):
        run = self.game("3\n1\nSTATUS\nstatus\nESC\n", seed=1)
        self.assertEqual(run.status, 0)
        self.assertBytes(run.stdout,
                         MENU + "PLEASE inputs 1 or 2\n>>> \n" + MENU + PROMPT
                         + "PLAYERのステータスはHP:5 AP:4 DP:6 SP:3\n"
                         + PROMPT + PROMPT + CLOSING)
        self.assertNotIn(b"\x1b", run.stdout)
        self.assertEqual(run.stderr, b"")

    def test_near_miss_menu_answers_are_refused(self):
        for answer in (" 1", "1 ", "12", "", "3"):
            with self.subTest(answer=answer):
                run = self.game(answer + "\n1\nESC\n")
                self.assertBytes(run.stdout, MENU + "PLEASE inputs 1 or 2\n>>> \n" + MENU
                                 + PROMPT + CLOSING)

    def test_end_of_input_ends_the_game_cleanly(self):
        # The closing text follows the prompt that the input left unanswered.
        cases = {"": MENU, "1": MENU + PROMPT, "1\n": MENU + PROMPT,
                 "1\nSTATUS\n": MENU + PROMPT + "PLAYERのステータスはHP:5 AP:4 DP:6 SP:3\n" + PROMPT,
                 "3\n": MENU + "PLEASE inputs 1 or 2\n>>> \n" + MENU}
        for script, before in cases.items():
            with self.subTest(script=script):
                run = self.game(script)
                self.assertEqual(run.status, 0)
                self.assertBytes(run.stdout, before + CLOSING)

    def test_words_in_other_case_or_with_blanks_are_no_commands(self):
        run = self.game("1\nsave\nSAVE \nEsc\n\nESC\n")
        self.assertBytes(run.stdout, MENU + PROMPT * 5 + CLOSING)

    def test_crlf_lines_read_as_plain_lines(self):
        run = self.game("1\r\nSTATUS\r\nESC\r\n")
        self.assertBytes(run.stdout, MENU + PROMPT + "PLAYERのステータスはHP:5 AP:4 DP:6 SP:3\n"
                         + PROMPT + CLOSING)


class Movement(ProgramTest):
    def test_down_from_start_is_refused_and_position_shown(self):
        # Seed 7's draws bring neither event nor encounter on this move.
        run = self.game("1\ndown\nESC\n", seed=7)
        self.assertIn("key: down\nそれより下にはいけない。\n現在の座標は(13,1)です。\n".encode("cp932"),
                      run.stdout)


class CommandLine(ProgramTest):
    def test_help_and_version(self):
        for flag in ("--help", "--version"):
            run = self.run_program(__import__("harness").GLOOMHOLD, [flag], "")
            self.assertEqual(run.status, 0)
            self.assertTrue(run.stdout)
            self.assertEqual(run.stderr, b"")

    def test_bad_arguments_give_usage_and_status_2(self):
        for args in (["--seed"], ["--seed", "4294967296"], ["--seed", "-1"], ["--bogus"], ["x"]):
            with self.subTest(args=args):
                run = self.run_program(__import__("harness").GLOOMHOLD, args, "1\nESC\n")
                self.assertEqual(run.status, 2)
                self.assertEqual(run.stdout, b"")
                self.assertIn(b"Usage", run.stderr)

    def test_same_seed_same_game(self):
        script = "1\n" + "up\nright\n" * 10 + "ESC\n"
        self.assertEqual(self.game(script, seed=99).stdout, self.game(script, seed=99).stdout)


if __name__ == "__main__":
    unittest.main()
