"""The console in a UTF-8 locale: cp932 text out as UTF-8, UTF-8 lines in as cp932."""
import unittest

from harness import CLOSING, MENU, PROMPT, ProgramTest

STATUS_LINE = "PLAYERのステータスはHP:5 AP:4 DP:6 SP:3\n"
SCRIPT = "3\n1\nSTATUS\nup\nright\nESC\n"

UTF8_LOCALES = {
    "LC_ALL": {"LC_ALL": "C.UTF-8"},
    "LC_CTYPE": {"LC_ALL": "", "LC_CTYPE": "C.UTF-8", "LANG": "C"},
    "LANG": {"LC_ALL": "", "LANG": "C.utf8"},
}
BYTE_LOCALES = {
    "C": {"LC_ALL": "C"},
    "C over a UTF-8 LANG": {"LC_ALL": "C", "LANG": "C.UTF-8"},
    "POSIX": {"LC_ALL": "POSIX"},
    "none": {"LC_ALL": ""},
}


def utf8(text):
    return text.encode("utf-8")


class Utf8Locale(ProgramTest):
    def test_output_is_the_cp932_output_converted(self):
        cp932_run = self.game(SCRIPT, seed=1)
        self.assertTrue(cp932_run.stdout.startswith(MENU.encode("cp932")))
        expected = cp932_run.stdout.decode("cp932").encode("utf-8")
        for name, env in UTF8_LOCALES.items():
            with self.subTest(locale=name):
                run = self.game(SCRIPT, seed=1, env=env)
                self.assertEqual(run.status, 0)
                self.assertEqual(run.stdout, expected)
                self.assertEqual(run.stderr, b"")

    def test_other_locales_pass_the_bytes_unchanged(self):
        expected = self.game(SCRIPT, seed=1).stdout
        self.assertIn(STATUS_LINE.encode("cp932"), expected)
        for name, env in BYTE_LOCALES.items():
            with self.subTest(locale=name):
                self.assertEqual(self.game(SCRIPT, seed=1, env=env).stdout, expected)

    def test_answers_typed_in_utf8_are_read_as_cp932(self):
        # A full-width "１" is no "1"; a broken line is refused like any other;
        # plain words and CR LF lines still work.
        script = utf8("１\n") + b"\xff\xe3\x81\n" + utf8("1\r\nSTATUS\r\nESC\n")
        run = self.game(script, seed=1, env={"LC_ALL": "C.UTF-8"})
        refusal = "PLEASE inputs 1 or 2\n>>> \n"
        self.assertEqual(run.stdout, utf8(MENU + refusal + MENU + refusal + MENU + PROMPT
                                          + STATUS_LINE + PROMPT + CLOSING))

    def test_long_output_stays_whole(self):
        # Far more than the console's 64 KiB buffer, read through a pipe.
        count = 3000
        script = "1\n" + "STATUS\n" * count + "ESC\n"
        run = self.game(script, seed=1, env={"LANG": "C.UTF-8", "LC_ALL": ""})
        expected = utf8(MENU + (PROMPT + STATUS_LINE) * count + PROMPT + CLOSING)
        self.assertGreater(len(expected), 4 * 65536)
        self.assertEqual(run.stdout, expected)


if __name__ == "__main__":
    unittest.main()
