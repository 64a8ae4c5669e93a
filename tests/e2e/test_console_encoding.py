"""The console in the locale's character set: cp932 text out in it, its lines in as cp932."""
import os
import shutil
import subprocess
import tempfile
import unittest

from harness import CLOSING, MENU, PROMPT, ProgramTest

STATUS_LINE = "PLAYERのステータスはHP:5 AP:4 DP:6 SP:3\n"
SCRIPT = "3\n1\nSTATUS\nup\nright\nESC\n"

UTF8_LOCALES = {
    # Only PATH: today's terminals speak UTF-8.
    "no locale variable at all": {"LC_ALL": None},
    "LANG alone": {"LC_ALL": None, "LANG": "C.UTF-8"},
    "LC_ALL": {"LC_ALL": "C.UTF-8"},
    "LC_CTYPE": {"LC_ALL": "", "LC_CTYPE": "C.UTF-8", "LANG": "C"},
    "LANG": {"LC_ALL": "", "LANG": "C.utf8"},
}
BYTE_LOCALES = {
    "C": {"LC_ALL": "C"},
    "C over a UTF-8 LANG": {"LC_ALL": "C", "LANG": "C.UTF-8"},
    "POSIX": {"LC_ALL": "POSIX"},
    "LC_ALL set but empty": {"LC_ALL": ""},
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


EUC_JP_LOCALE = "ja_JP.EUC-JP"


def euc(text):
    return text.encode("euc_jp")


class EucJpLocale(ProgramTest):
    """A locale whose set is neither cp932 nor UTF-8, made for the test with localedef."""

    @classmethod
    def setUpClass(cls):
        if shutil.which("localedef") is None:
            raise unittest.SkipTest("localedef is missing (package locales)")
        cls.locales = tempfile.mkdtemp(prefix="gloomhold-locales-")
        made = subprocess.run(["localedef", "-i", "ja_JP", "-f", "EUC-JP",
                               os.path.join(cls.locales, EUC_JP_LOCALE)], capture_output=True)
        if not os.path.isdir(os.path.join(cls.locales, EUC_JP_LOCALE)):
            shutil.rmtree(cls.locales, True)
            raise unittest.SkipTest("localedef could not make %s: %s"
                                    % (EUC_JP_LOCALE, made.stderr.decode(errors="replace")))
        cls.env = {"LOCPATH": cls.locales, "LC_ALL": EUC_JP_LOCALE}

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.locales, True)

    def test_output_is_the_cp932_output_in_euc_jp(self):
        cp932_run = self.game(SCRIPT, seed=1)
        run = self.game(SCRIPT, seed=1, env=self.env)
        self.assertEqual(run.status, 0)
        self.assertEqual(run.stderr, b"")
        self.assertEqual(run.stdout, cp932_run.stdout.decode("cp932").encode("euc_jp"))

    def test_names_typed_in_euc_jp_are_stored_as_cp932(self):
        self.editor("7\n")  # the starter files
        name = "影の魔王"
        run = self.editor(euc("1\n5\n5\n5\n5\n" + name + "\n1\n4\n7\n"), env=self.env)
        self.assertEqual(run.status, 0)
        self.assertIn(euc("name:%s hp:5 ap:5 dp:5 sp:5\n" % name), run.stdout)
        self.assertEqual(self.read_file("editenemy").split(b"\n")[1], name.encode("cp932"))

    def test_what_cp932_or_euc_jp_lacks_is_a_question_mark(self):
        # 丂 is EUC-JP (three bytes) but no cp932: the name would not be the one typed.
        self.editor("7\n")
        run = self.editor(euc("1\n5\n5\n5\n5\n竜丂王\n竜王\n1\n4\n7\n"), env=self.env)
        self.assertEqual(run.status, 0)
        self.assertIn(euc("名前を入力せよ\n使えない文字が含まれています。:\n入力可能文字数内です。\n"),
                      run.stdout)
        self.assertEqual(self.read_file("editenemy").split(b"\n")[1], "竜王".encode("cp932"))
        # A broken cp932 name in a file, and ① that EUC-JP lacks, show as "?".
        self.write_file("editenemy", b"1 2 3 4 ab\x81\n5 6 7 8 \x87\x40x\n" + b"1 1 1 1 x\n" * 3)
        run = self.editor("4\n7\n", env=self.env)
        self.assertEqual(run.status, 0)
        self.assertIn(b"name:ab? hp:1", run.stdout)
        self.assertIn(b"ENEMY INDEX2\nname:?x hp:5", run.stdout)


if __name__ == "__main__":
    unittest.main()
