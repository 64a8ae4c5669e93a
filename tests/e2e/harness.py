"""Runs the built programs in temporary folders with scripted input.

The programs' text is cp932; expected texts are written here as ordinary
strings and encoded with cp932 before they are compared byte for byte.
"""
import os
import re
import shutil
import subprocess
import tempfile
import unittest

GLOOMHOLD = os.environ.get("GLOOMHOLD", "")
RUNEWRIGHT = os.environ.get("RUNEWRIGHT", "")

# Settings of the sanitizer build, passed on to the programs when they are set.
CHECKER_VARIABLES = ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS")
# What AddressSanitizer, UndefinedBehaviorSanitizer and valgrind print when
# they find a fault.
CHECKER_REPORT = re.compile(rb"==[0-9]+==|runtime error:|Sanitizer")


def checker_report(stderr, status):
    """Why a run that a sanitizer or valgrind watched counts as faulty, or None.

    A report on standard error, or an end by a signal (the sanitizer build
    aborts on its first report), is a fault whatever the test expects.
    """
    found = CHECKER_REPORT.search(stderr)
    if found:
        start = max(0, found.start() - 200)
        return "checker report: " + stderr[start:start + 3000].decode("utf-8", errors="replace")
    if status < 0:
        return "ended by signal %d: %s" % (-status, stderr[-3000:].decode("utf-8", errors="replace"))
    return None


def program_environment(extra=None):
    """The environment of a program run: a bare C locale and the checkers' settings.

    `extra` adds variables or replaces them; a value None leaves the variable out."""
    environment = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "LC_ALL": "C"}
    for name in CHECKER_VARIABLES:
        if name in os.environ:
            environment[name] = os.environ[name]
    if extra:
        environment.update(extra)
    return {name: value for name, value in environment.items() if value is not None}

RULE38 = "-" * 38
PAUSE = "続行するには何かキーを押してください . . . \n"
CLOSING = "gameover... thank you playing !\n" + PAUSE
MENU = ("Gloomhold\nプレイモードを選択してください。\n1:通常プレイはこちら。\n"
        "2:エディットプレイはこちら。\n> ")
PROMPT = "コマンドを入力してください。\ncommand： "


def cp(text):
    """The cp932 bytes of a text."""
    return text.encode("cp932")


class Run:
    def __init__(self, completed):
        self.stdout = completed.stdout
        self.stderr = completed.stderr
        self.status = completed.returncode

    @property
    def text(self):
        return self.stdout.decode("cp932", errors="replace")


class ProgramTest(unittest.TestCase):
    """A test case with a fresh folder of its own for every test."""

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="gloomhold-e2e-")
        self.addCleanup(shutil.rmtree, self.folder, True)

    def path(self, name):
        return os.path.join(self.folder, name)

    def write_file(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(cp(data) if isinstance(data, str) else data)

    def read_file(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def run_program(self, program, args, script, env=None, timeout=60, preexec_fn=None):
        data = cp(script) if isinstance(script, str) else script
        completed = subprocess.run([program] + list(args), input=data, capture_output=True,
                                   cwd=self.folder, env=program_environment(env), timeout=timeout,
                                   preexec_fn=preexec_fn)
        fault = checker_report(completed.stderr, completed.returncode)
        if fault:
            self.fail(fault)
        return Run(completed)

    def game(self, script, seed=1, args=(), **kw):
        extra = list(args) if seed is None else ["--seed", str(seed)] + list(args)
        return self.run_program(GLOOMHOLD, extra, script, **kw)

    def editor(self, script, args=(), **kw):
        return self.run_program(RUNEWRIGHT, list(args), script, **kw)

    def assertBytes(self, actual, expected_text):
        expected = cp(expected_text) if isinstance(expected_text, str) else expected_text
        if actual != expected:
            self.assertEqual(actual.decode("cp932", errors="replace"),
                             expected.decode("cp932", errors="replace"))
            self.assertEqual(actual, expected)


class Generator:
    """The game's generator: the classic runtime's linear congruential one."""

    def __init__(self, seed):
        self.state = seed

    def next(self):
        """The next value, 0 to 32767."""
        self.state = (self.state * 214013 + 2531011) & 0xFFFFFFFF
        return (self.state >> 16) & 0x7FFF


def draws(seed, count):
    """The first `count` values of the game's generator after seeding with `seed`."""
    generator = Generator(seed)
    return [generator.next() for _ in range(count)]
