"""The console over real pipes: prompts that are there before the programs
wait, input that comes in pieces of any size, and output written in large
blocks rather than a system call per line."""
import os
import re
import resource
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

    def __init__(self, test, argv, nonblocking_input=False):
        self.test = test
        reader, writer = os.pipe()
        # A parent may hand over a pipe marked non-blocking: reads then fail
        # with EAGAIN while nothing has come yet.
        os.set_blocking(reader, not nonblocking_input)
        self.process = subprocess.Popen(argv, stdin=reader, stdout=subprocess.PIPE,
                                        cwd=test.folder, env=harness.program_environment())
        os.close(reader)
        self.input = os.fdopen(writer, "wb")
        test.addCleanup(self.close)
        self.seen = b""

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()
        self.input.close()
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
        self.input.write(cp(text))
        self.input.flush()

    def finish(self, text):
        """Ends the input and takes the rest of the output and the status."""
        self.input.close()
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

    def test_a_non_blocking_input_pipe_is_waited_out(self):
        game = Dialogue(self, [harness.GLOOMHOLD, "--seed", "1"], nonblocking_input=True)
        game.expect(MENU)
        time.sleep(0.1)  # the game reads the empty pipe meanwhile
        game.send("1\n")
        game.expect(MENU + PROMPT)
        game.send("ESC\n")
        self.assertEqual(game.finish(MENU + PROMPT + CLOSING), 0)

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


class OverLongLines(ProgramTest):
    def test_a_line_far_beyond_the_kept_length_is_a_wrong_answer_in_bounded_memory(self):
        checked = any(name in os.environ for name in harness.CHECKER_VARIABLES) or \
            os.environ.get("UNDER_VALGRIND")
        limit = 16 << 20

        def small_address_space():
            # Far less than the line: a program that kept it all would fail.
            resource.setrlimit(resource.RLIMIT_AS, (limit, limit))

        line = b"up" * (6 << 20)
        # The sanitizers and valgrind need far more address space themselves.
        run = self.game(line + b"\n1\n" + line + b"\nESC\n",
                        preexec_fn=None if checked else small_address_space)
        refusal = "PLEASE inputs 1 or 2\n>>> \n"
        self.assertBytes(run.stdout, MENU + refusal + MENU + PROMPT + PROMPT + CLOSING)
        self.assertEqual((run.status, run.stderr), (0, b""))


class FailedStreams(ProgramTest):
    def run_with(self, argv, script=b"", stdin=None, stdout=None, close_output=False):
        """A program run with the given standard streams: its status, output and errors."""
        program = harness.GLOOMHOLD if argv[0] == "gloomhold" else harness.RUNEWRIGHT
        completed = subprocess.run([program] + argv[1:], input=None if stdin else cp(script),
                                   stdin=stdin, stdout=stdout, stderr=subprocess.PIPE,
                                   cwd=self.folder, env=harness.program_environment(), timeout=60,
                                   preexec_fn=(lambda: os.close(1)) if close_output else None)
        fault = harness.checker_report(completed.stderr, completed.returncode)
        if fault:
            self.fail(fault)
        return completed

    def test_output_that_cannot_be_written_ends_with_status_1_and_says_why(self):
        full = "cannot write to standard output: No space left on device\n"
        closed = "cannot write to standard output: Bad file descriptor\n"
        cases = [(["gloomhold", "--seed", "1"], "1\nSTATUS\nESC\n", full),
                 (["runewright", "--report", "--battles", "10"], "", full),
                 (["runewright", "--version"], "", full),
                 # The game's text goes out at its first read, the help at the end.
                 (["gloomhold", "--seed", "1"], "1\nESC\n", closed),
                 (["gloomhold", "--help"], "", closed)]
        self.editor("7\n")  # the report's edit data
        for argv, script, reason in cases:
            with self.subTest(argv=argv, reason=reason):
                with open("/dev/full", "wb") as full_disk:
                    completed = self.run_with(argv, script, stdout=full_disk,
                                              close_output=reason == closed)
                self.assertEqual(completed.returncode, 1)
                self.assertEqual(completed.stderr.decode(), argv[0] + ": " + reason)

    def test_input_that_cannot_be_read_ends_as_its_end_does_but_with_status_1(self):
        # A folder as standard input opens, but every read of it fails.
        for name, expected in (("gloomhold", MENU + CLOSING), ("runewright", EDITOR_START)):
            with self.subTest(program=name):
                folder = os.open(self.folder, os.O_RDONLY | os.O_DIRECTORY)
                self.addCleanup(os.close, folder)
                completed = self.run_with([name], stdin=folder, stdout=subprocess.PIPE)
                self.assertBytes(completed.stdout, expected)
                self.assertEqual(completed.returncode, 1)
                self.assertEqual(completed.stderr.decode(),
                                 name + ": cannot read standard input: Is a directory\n")


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
