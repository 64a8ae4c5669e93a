"""The Windows game at a console: Wine gives a program started in a terminal
a Windows console, so tmux can type into it and read its screen back.

The game runs inside the command processor, which shows the console's code
page before and after it: the game switches the console to code page 932 for
its own text and gives the old code page back when it ends.
"""
import os
import shutil
import subprocess
import time
import unittest

from harness import ProgramTest
from wine import wine_environment

TMUX = shutil.which("tmux")
TIMEOUT = 30.0
MENU = ["Gloomhold", "プレイモードを選択してください。", "1:通常プレイはこちら。",
        "2:エディットプレイはこちら。"]
PAUSE = "続行するには何かキーを押してください . . ."
STATUS_LINE = "PLAYERのステータスはHP:5 AP:4 DP:6 SP:3"
CODE_PAGE = "Active code page:"


@unittest.skipUnless(TMUX, "tmux is not installed (apt-get install tmux)")
class WindowsConsole(ProgramTest):
    def setUp(self):
        super().setUp()
        self.socket = "gloomhold-wine-%d-%d" % (os.getpid(), id(self))
        # The console shows the game's cp932 text in the terminal's UTF-8.
        self.environment = wine_environment({"PATH": os.environ.get("PATH", "/usr/bin:/bin"),
                                             "LC_ALL": "C.UTF-8", "TERM": "xterm"})
        game = "Z:" + os.path.abspath(os.environ["GLOOMHOLD_EXE"]).replace("/", "\\")
        command = 'wine cmd /c "chcp & %s --seed 1 & chcp"; echo finished; sleep 600' % game
        self.tmux("new-session", "-d", "-s", "play", "-x", "100", "-y", "40", "-c", self.folder,
                  "sh", "-c", command)
        self.addCleanup(self.tmux, "kill-server")

    def tmux(self, *args):
        completed = subprocess.run([TMUX, "-u", "-L", self.socket, "-f", "/dev/null"] + list(args),
                                   env=self.environment, capture_output=True, timeout=30)
        return completed.stdout.decode("utf-8", errors="replace")

    def screen(self):
        lines = [line.rstrip() for line in self.tmux("capture-pane", "-p", "-t", "play").split("\n")]
        while lines and not lines[-1]:
            lines.pop()
        return lines

    def wait_for(self, condition, what):
        deadline = time.monotonic() + TIMEOUT
        while True:
            lines = self.screen()
            # A screen caught just after it was cleared shows nothing yet.
            if lines and condition(lines):
                return lines
            if time.monotonic() > deadline:
                self.fail("waited for %s; the console shows:\n%s" % (what, "\n".join(lines)))
            time.sleep(0.1)

    def type(self, text):
        self.tmux("send-keys", "-t", "play", "-l", text)

    def enter(self, line):
        self.type(line)
        self.tmux("send-keys", "-t", "play", "Enter")

    def test_code_page_key_waits_and_screen_clearing(self):
        lines = self.wait_for(lambda lines: lines[-5:-1] == MENU, "the play-mode menu")
        code_page_before = lines[0]
        self.assertTrue(code_page_before.startswith(CODE_PAGE), lines)

        # The key wait after a refused answer holds the menu back until one
        # key is pressed. An arrow key sends two codes, and that is one key
        # which leaves nothing behind to pass the next key wait. (Wine's
        # console runtime hands a double-byte character over as one code,
        # so its two codes are not seen here.)
        for menus, key in enumerate(("Up", "漢", "x"), start=1):
            self.enter("3")
            self.wait_for(lambda lines: lines[-1] == ">>>", "key wait %d" % menus)
            time.sleep(1.0)
            self.assertEqual(self.screen().count(MENU[1]), menus, "key wait %d passed by itself" % menus)
            self.tmux("send-keys", "-t", "play", key)
            self.wait_for(lambda lines: lines.count(MENU[1]) == menus + 1, "menu %d" % (menus + 1))
        self.enter("1")
        self.wait_for(lambda lines: lines[-1].startswith("command："), "the command prompt")

        # A command clears the screen before its answer.
        self.enter("STATUS")
        lines = self.wait_for(lambda lines: lines[0] == STATUS_LINE, "a cleared screen")
        self.assertNotIn(MENU[1], lines)

        # "PAUSE" ends on one double-byte character; then the console has its
        # own code page again.
        self.enter("ESC")
        self.wait_for(lambda lines: lines[-1] == PAUSE, "the pause")
        self.type("漢")
        lines = self.wait_for(lambda lines: lines[-1] == "finished", "the end of the game")
        self.assertEqual(lines[-2], code_page_before)
        self.assertEqual(lines[0], "gameover... thank you playing !")


if __name__ == "__main__":
    unittest.main()
