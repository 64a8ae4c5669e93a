"""The game in a real UTF-8 terminal, driven through tmux.

Each test starts a detached tmux server of its own with an interactive shell
in a 100 x 40 pane, types into it and reads the screen back. The terminal's
modes are read with stty from outside the pane, so that a key wait can be
told from a line read (whose line editor turns the terminal's extensions off
too) and every way out of either seen to give the shell its modes again.
"""
import os
import shlex
import shutil
import signal
import subprocess
import time
import unittest

from harness import GLOOMHOLD, RUNEWRIGHT, ProgramTest

TMUX = shutil.which("tmux")
SHELL = shutil.which("dash") or shutil.which("sh")
TIMEOUT = 15.0

MENU_LINES = ["Gloomhold", "プレイモードを選択してください。", "1:通常プレイはこちら。",
              "2:エディットプレイはこちら。"]
REFUSAL = "PLEASE inputs 1 or 2"
PAUSE = "続行するには何かキーを押してください . . ."
STATUS_LINE = "PLAYERのステータスはHP:5 AP:4 DP:6 SP:3"
PROMPT = "command："

# The terminal's modes: as the shell has them, at a key wait, at a line read.
SHELL_MODES = {"icanon": True, "echo": True, "iexten": True}
KEY_WAIT_MODES = {"icanon": False, "echo": False, "iexten": True}
LINE_READ_MODES = {"icanon": False, "echo": False, "iexten": False}


@unittest.skipUnless(TMUX, "tmux is not installed, so the game cannot be tried in a real "
                           "terminal here (apt-get install tmux)")
class Terminal(ProgramTest):
    def setUp(self):
        super().setUp()
        self.socket = "gloomhold-test-%d-%d" % (os.getpid(), id(self))
        self.environment = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "LANG": "C.UTF-8",
                            "HOME": self.folder, "ENV": "", "PS1": "$ ", "TERM": "xterm"}
        self.tmux("new-session", "-d", "-s", "play", "-x", "100", "-y", "40", "-c", self.folder,
                  SHELL + " -i")
        self.addCleanup(self.stop_tmux)
        self.tty = self.tmux("display-message", "-p", "-t", "play", "#{pane_tty}").strip()
        self.shell_name = os.path.basename(SHELL)
        self.markers = 0
        self.wait_for_shell()

    # --- driving tmux -------------------------------------------------------

    def tmux(self, *args):
        completed = subprocess.run([TMUX, "-u", "-L", self.socket, "-f", "/dev/null"] + list(args),
                                   env=self.environment, capture_output=True, timeout=10)
        if completed.returncode != 0:
            self.fail("tmux %s failed: %s" % (args[0], completed.stderr.decode(errors="replace")))
        return completed.stdout.decode("utf-8", errors="replace")

    def stop_tmux(self):
        subprocess.run([TMUX, "-L", self.socket, "-f", "/dev/null", "kill-server"],
                       env=self.environment, capture_output=True, timeout=10)

    def type(self, text):
        """Types text literally (tmux would read "up" as the arrow key otherwise)."""
        self.tmux("send-keys", "-t", "play", "-l", text)

    def press(self, key):
        self.tmux("send-keys", "-t", "play", key)

    def enter(self, line):
        self.type(line)
        self.press("Enter")

    def screen(self, history=False):
        """The pane's lines without trailing blanks; with the history above it if asked."""
        args = ["capture-pane", "-p", "-t", "play"] + (["-S", "-"] if history else [])
        lines = [line.rstrip() for line in self.tmux(*args).split("\n")]
        while lines and not lines[-1]:
            lines.pop()
        return lines

    def wait_for(self, condition, what):
        deadline = time.monotonic() + TIMEOUT
        while True:
            lines = self.screen(history=True)
            if condition(lines):
                return lines
            if time.monotonic() > deadline:
                self.fail("waited %.0f s for %s; the pane shows:\n%s"
                          % (TIMEOUT, what, "\n".join(lines)))
            time.sleep(0.05)

    def wait_for_count(self, line, count):
        return self.wait_for(lambda lines: lines.count(line) >= count,
                             "%d lines %r" % (count, line))

    def modes(self):
        """The terminal's local modes as stty spells them: {"icanon": True, "echo": False, ...}."""
        out = subprocess.run(["stty", "-F", self.tty, "-a"], capture_output=True, timeout=10,
                             check=True).stdout.decode()
        words = out.split()
        return {flag: flag in words for flag in SHELL_MODES if flag in words or "-" + flag in words}

    def wait_for_modes(self, wanted):
        deadline = time.monotonic() + TIMEOUT
        while self.modes() != wanted:
            if time.monotonic() > deadline:
                self.fail("the terminal's modes stayed %r, not %r" % (self.modes(), wanted))
            time.sleep(0.02)

    def wait_for_key_wait(self):
        """The game waits for one key: echo and the terminal's line editing are off."""
        self.wait_for_modes(KEY_WAIT_MODES)

    def wait_for_line_read(self):
        """The program reads a line through its line editor."""
        self.wait_for_modes(LINE_READ_MODES)

    def foreground(self):
        return self.tmux("display-message", "-p", "-t", "play", "#{pane_current_command}").strip()

    def wait_for_shell(self):
        """The shell has the terminal again and runs what it is given."""
        self.markers += 1
        # The quotes keep the typed line from matching: only the output can.
        # (Typed text may show before the prompt, so the output may share
        # its line with it.)
        self.enter("echo rea''dy-%d" % self.markers)
        marker = "ready-%d" % self.markers
        self.wait_for(lambda lines: any(marker in line for line in lines), "the shell to answer")

    def start_game(self, seed=1):
        self.tmux("clear-history", "-t", "play")
        self.enter("%s --seed %d" % (shlex.quote(GLOOMHOLD), seed))
        self.wait_for(lambda lines: lines[-5:-1] == MENU_LINES and lines[-1] == ">",
                      "the play-mode menu")

    def game_pid(self):
        shell_pid = self.tmux("display-message", "-p", "-t", "play", "#{pane_pid}").strip()
        with open("/proc/%s/task/%s/children" % (shell_pid, shell_pid)) as f:
            children = f.read().split()
        self.assertEqual(len(children), 1, "the shell should run just the game")
        return int(children[0])

    def assertTerminalRestored(self):
        self.wait_for(lambda lines: self.foreground() == self.shell_name, "the game to end")
        self.assertEqual(self.modes(), SHELL_MODES)
        # What is typed now shows, and the shell reads it as a whole line.
        self.enter("echo typed-'back'")
        self.wait_for(lambda lines: any("echo typed-'back'" in line for line in lines)
                      and any(line.endswith("typed-back") for line in lines),
                      "the typed line and its output")

    # --- the tests ----------------------------------------------------------

    def test_menu_key_waits_and_screen_clearing(self):
        # Seed 2's first move brings neither a dungeon event nor an encounter.
        self.start_game(seed=2)
        self.wait_for_line_read()

        # After a refused answer, any single key brings the menu back, no
        # Enter needed, nothing echoed. An arrow key and a Japanese character
        # each count as one key: nothing of them is left for the next answer.
        keys = [("x", False), ("Up", True), ("あ", False), ("F5", True)]
        for number, (key, named) in enumerate(keys, start=1):
            self.enter("3")
            self.wait_for_count(REFUSAL, number)
            self.wait_for_key_wait()
            if named:
                self.press(key)
            else:
                self.type(key)
            lines = self.wait_for_count(MENU_LINES[1], number + 1)
            last_refusal = len(lines) - 1 - lines[::-1].index(REFUSAL)
            self.assertEqual(lines[last_refusal + 1], ">>>", "the key %r was echoed" % key)
            self.wait_for_line_read()
        self.enter("1")
        self.wait_for(lambda lines: lines[-1:] == [PROMPT], "the command prompt")

        # Each command clears the screen.
        self.enter("STATUS")
        self.wait_for(lambda lines: lines == [STATUS_LINE, "コマンドを入力してください。", "command："],
                      "the status line alone on a cleared screen")
        self.enter("right")
        self.wait_for(lambda lines: lines[:2] == ["key: right", "現在の座標は(14,1)です。"]
                      and lines[-1:] == [PROMPT], "the move alone on a cleared screen")

        # The closing pause takes one key, then the shell has a sane terminal.
        self.enter("ESC")
        self.wait_for(lambda lines: PAUSE in lines, "the pause")
        self.wait_for_key_wait()
        self.type("q")
        self.assertTerminalRestored()

    def test_ctrl_c_at_a_key_wait_ends_the_game_and_restores_the_terminal(self):
        self.start_game()
        self.enter("3")
        self.wait_for_key_wait()
        self.press("C-c")
        self.assertTerminalRestored()

    def test_ending_signals_at_a_key_wait_restore_the_terminal(self):
        # Termination and hangup, and signals that nobody expects a game to get.
        for signal_name in ("TERM", "HUP", "USR1", "ALRM"):
            with self.subTest(signal=signal_name):
                self.start_game()
                self.enter("3")
                self.wait_for_key_wait()
                os.kill(self.game_pid(), getattr(signal, "SIG" + signal_name))
                self.assertTerminalRestored()

    @unittest.skipIf(os.environ.get("UNDER_VALGRIND"),
                     "valgrind does not stop a program that stops itself with SIGTSTP")
    def test_stopped_and_continued_key_wait(self):
        self.start_game()
        self.enter("3")
        self.wait_for_key_wait()
        self.press("C-z")
        self.wait_for(lambda lines: self.foreground() == self.shell_name, "the game to stop")
        self.wait_for_modes(SHELL_MODES)
        self.wait_for_shell()
        self.enter("fg")
        # Back in the foreground, the key wait goes on with echo off again.
        self.wait_for_key_wait()
        self.type("k")
        self.wait_for_count(MENU_LINES[1], 2)
        self.wait_for_line_read()
        self.enter("1")
        self.wait_for(lambda lines: lines[-1:] == [PROMPT], "the command prompt")
        self.enter("ESC")
        self.wait_for_key_wait()
        self.type(" ")
        self.assertTerminalRestored()

    def test_the_game_plays_on_the_alternate_screen(self):
        raw = os.path.join(self.folder, "raw-output")
        self.tmux("pipe-pane", "-t", "play", "-o", "cat >> " + shlex.quote(raw))
        # A normal end, then a failure: edit play without edit data.
        for answer, last_words in (("1", None), ("2", "Cannot open editenemy.")):
            with self.subTest(answer=answer):
                self.tmux("clear-history", "-t", "play")
                self.enter("echo MA''RK-%s; %s --seed 1" % (answer, shlex.quote(GLOOMHOLD)))
                self.wait_for(lambda lines: lines[-1:] == [">"], "the play-mode menu")
                self.enter(answer)
                if answer == "1":
                    self.wait_for(lambda lines: lines[-1:] == [PROMPT], "the command prompt")
                    self.enter("ESC")
                self.wait_for(lambda lines: PAUSE in lines, "the pause")
                self.wait_for_key_wait()
                self.type("q")
                self.assertTerminalRestored()
                # The shell's screen is back with its history: the line before
                # the game, and none of the game's screen.
                lines = self.screen(history=True)
                self.assertIn("MARK-" + answer, lines)
                self.assertNotIn(PAUSE, lines)
                if last_words:
                    # The reason for the end is told again where it stays in sight.
                    after_mark = lines[lines.index("MARK-" + answer):]
                    self.assertIn(last_words, after_mark)
        self.tmux("pipe-pane", "-t", "play")
        with open(raw, "rb") as f:
            output = f.read()
        self.assertEqual(output.count(b"\x1b[?1049h"), 2)
        self.assertEqual(output.count(b"\x1b[?1049l"), 2)
        self.assertIn(b"\x1b[H\x1b[2J", output)
        self.assertNotIn(b"\x1b[3J", output, "the shell's scrollback would be wiped")

    def test_typed_lines_are_edited_and_recalled(self):
        # Seed 2's first two moves bring no key wait.
        self.start_game(seed=2)
        self.enter("1")
        self.wait_for(lambda lines: lines[-1:] == [PROMPT], "the command prompt")
        # "p", the cursor left over it, "u": the game gets "up".
        self.type("p")
        self.press("Left")
        self.type("u")
        self.press("Enter")
        self.wait_for(lambda lines: "現在の座標は(13,2)です。" in lines and lines[-1:] == [PROMPT],
                      "the first move")
        # Up brings back the line before, Enter sends it again.
        self.press("Up")
        self.press("Enter")
        self.wait_for(lambda lines: "現在の座標は(13,3)です。" in lines and lines[-1:] == [PROMPT],
                      "the second move")
        self.enter("ESC")
        self.wait_for_key_wait()
        self.type("q")
        self.assertTerminalRestored()

    def test_a_cp932_terminal_gets_its_bytes_back_exactly(self):
        # In the C locale bytes pass: a name typed at a cp932 terminal, edited
        # with Left in the middle, reaches the file byte for byte, including
        # two characters that cp932 holds twice (whose Unicode would come back
        # as other bytes).
        self.enter("LC_ALL=C %s" % shlex.quote(RUNEWRIGHT))
        menu = "Choose list number and enter... :"
        self.wait_for(lambda lines: lines[-1:] == [menu], "the editor's menu")
        self.enter("1")
        for count in range(1, 5):
            self.wait_for(lambda lines: sum(line.endswith("(1-999)") for line in lines) >= count,
                          "question %d" % count)
            self.enter("10")
        name = "ドン".encode("cp932"), "ラゴ".encode("cp932") + b"\x87\x90\xed\x40"
        self.press_bytes(name[0])
        self.press("Left")
        self.press_bytes(name[1])
        self.press("Enter")
        self.wait_for(lambda lines: any(line.startswith("NAME:") for line in lines), "the new enemy")
        self.enter("1")
        self.wait_for_key_wait()
        self.type("q")
        self.wait_for_line_read()
        self.enter("7")
        self.assertTerminalRestored()
        stored = self.read_file("editenemy")
        self.assertEqual(stored.split()[4], "ドラゴ".encode("cp932") + b"\x87\x90\xed\x40"
                         + "ン".encode("cp932"))

    def press_bytes(self, data):
        """Sends bytes as a terminal that speaks them would."""
        self.tmux("send-keys", "-t", "play", "-H", *("%02x" % byte for byte in data))


if __name__ == "__main__":
    unittest.main()
