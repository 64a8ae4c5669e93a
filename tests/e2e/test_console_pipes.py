"""The console over real pipes: prompts that are there before the programs
wait, input that comes in pieces of any size, and output written in large
blocks rather than a system call per line."""
import os
import re
import select
import shutil
import subprocess
import time
import unittest

import harness
from harness import CLOSING, MENU, PROMPT, ProgramTest, cp

STATUS = "PLAYERのステータスはHP:5 AP:4 DP:6 SP:3\n"
EDITOR_PROMPT = "Choose list number and enter... : "
WAIT = 10.0


class Dialogue:
    """A program on both ends of pipes, driven one answer at a time."""

    def __init__(self, test, argv):
        self.test = test
        self.process = subprocess.Popen(argv, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        cwd=test.folder, env={"LC_ALL": "C", "PATH": "/usr/bin:/bin"})
        test.addCleanup(self.close)
        self.seen = b""

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()
        self.process.stdin.close()
        self.process.stdout.close()

    def read_while(self, going_on):
        """Takes output while `going_on()` holds, until the end or WAIT seconds."""
        deadline = time.monotonic() + WAIT
        while going_on():
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.process.stdout], [], [], left)[0]:
                return
            piece = os.read(self.process.stdout.fileno(), 65536)
            if not piece:
                return
            self.seen += piece

    def expect(self, text):
        """Waits until the output so far is `text`; the program is then waiting."""
        wanted = cp(text)
        self.read_while(lambda: len(self.seen) < len(wanted) and wanted.startswith(self.seen))
        self.test.assertEqual(self.seen.decode("cp932", errors="replace"), text)

    def send(self, text):
        self.process.stdin.write(cp(text))
        self.process.stdin.flush()

    def finish(self, text):
        """Ends the input and takes the rest of the output and the status."""
        self.process.stdin.close()
        self.read_while(lambda: True)
        self.test.assertBytes(self.seen, text)
        return self.process.wait(timeout=WAIT)


class PromptsBeforeWaits(ProgramTest):
    def test_each_game_prompt_is_shown_before_the_game_waits_for_its_answer(self):
        game = Dialogue(self, [harness.GLOOMHOLD, "--seed", "1"])
        game.expect(MENU)
        game.send("1\n")
        game.expect(MENU + PROMPT)
        game.send("STATUS\n")
        game.expect(MENU + PROMPT + STATUS + PROMPT)
        game.send("ESC\n")
        self.assertEqual(game.finish(MENU + PROMPT + STATUS + PROMPT + CLOSING), 0)

    def test_a_line_that_comes_in_pieces_is_one_line(self):
        game = Dialogue(self, [harness.GLOOMHOLD, "--seed", "1"])
        game.expect(MENU)
        game.send("1\nSTA")
        # The game has the start of a line and waits for the rest.
        game.expect(MENU + PROMPT)
        game.send("TUS\r")
        time.sleep(0.05)
        game.send("\nESC")
        # A last line without its line feed is still to come.
        game.expect(MENU + PROMPT + STATUS + PROMPT)
        self.assertEqual(game.finish(MENU + PROMPT + STATUS + PROMPT + CLOSING), 0)

    def test_the_editor_menu_is_shown_before_the_editor_waits(self):
        editor = Dialogue(self, [harness.RUNEWRIGHT])
        editor.expect(EDITOR_START)
        editor.send("7\n")
        self.assertEqual(editor.finish(EDITOR_START), 0)


# What the editor prints up to its first wait, in a folder without edit data.
EDITOR_START = ("".join("%sを初期データで作成しました。\n" % name
                        for name in ("editenemy", "editequipment", "editplayer"))
                + "-" * 26 + "\nWelcome to Edit mode...\n1:ENEMY EDIT\n2:ITEM EDIT\n"
                "3:CHARACTER EDIT\n4:DISPLAY ENEMY STATUS\n5:DISPLAY ITEM STATUS\n"
                "6:DISPLAY CHARACTER STATUS\n7:EXIT EDIT MODE\n" + "-" * 26 + "\n" + EDITOR_PROMPT)


def long_session(lines):
    """A script of status requests and non-commands whose lines, of many lengths
    and with both line ends, fall across every kind of read boundary; and the
    output it must bring."""
    script, output = ["1\n"], MENU + PROMPT
    for i in range(lines):
        if i % 3 == 0:
            script.append("STATUS\n")
            output += STATUS + PROMPT
        elif i % 3 == 1:
            script.append("STATUS\r\n")
            output += STATUS + PROMPT
        else:
            script.append("x" * (i % 53) + "\n")
            output += PROMPT
    script.append("ESC\n")
    return "".join(script), output + CLOSING


class LongInput(ProgramTest):
    def test_input_far_longer_than_one_read_through_a_pipe(self):
        script, expected = long_session(30000)
        self.assertGreater(len(script), 3 * 65536)
        run = self.game(script)
        self.assertEqual(run.status, 0)
        self.assertBytes(run.stdout, expected)

    def test_input_far_longer_than_one_read_from_a_file(self):
        script, expected = long_session(30000)
        self.write_file("script", script)
        with open(self.path("script"), "rb") as stdin:
            completed = subprocess.run([harness.GLOOMHOLD, "--seed", "1"], stdin=stdin,
                                       capture_output=True, cwd=self.folder, env={"LC_ALL": "C"},
                                       timeout=60)
        self.assertEqual(completed.returncode, 0)
        self.assertBytes(completed.stdout, expected)


STRACE = shutil.which("strace")


@unittest.skipUnless(STRACE, "strace is not installed (apt-get install strace)")
class SystemCalls(ProgramTest):
    def trace(self, script):
        """The system calls of a piped game, one per line, and its output."""
        self.write_file("script", script)
        with open(self.path("script"), "rb") as stdin, open(self.path("output"), "wb") as stdout:
            subprocess.run([STRACE, "-qq", "-o", self.path("trace"), "-e", "trace=write,ioctl,read",
                            harness.GLOOMHOLD, "--seed", "1"], stdin=stdin, stdout=stdout,
                           cwd=self.folder, timeout=60, check=True,
                           # The leak checker of a sanitized build cannot run under a tracer.
                           env={"LC_ALL": "C", "ASAN_OPTIONS": "detect_leaks=0"})
        return self.read_file("trace").decode(errors="replace").splitlines(), self.read_file("output")

    def test_a_long_session_takes_and_gives_its_text_in_large_blocks(self):
        script, expected = long_session(6000)
        calls, output = self.trace(script)
        self.assertBytes(output, expected)
        reads = [c for c in calls if re.match(r"read\(0,", c)]
        writes = [c for c in calls if c.startswith("write(1,")]
        # Input in 64 KiB reads, the last one finding the end.
        self.assertLessEqual(len(reads), len(script) // 65536 + 2)
        # Output in whole 64 KiB blocks; besides, what is printed before each
        # read of input (which might wait) and at the end.
        self.assertLessEqual(len(writes), len(output) // 65536 + len(reads) + 1)
        # Whether input and output are terminals is asked once for each.
        self.assertLessEqual(len([c for c in calls if re.match(r"ioctl\([01],", c)]), 2)


if __name__ == "__main__":
    unittest.main()
