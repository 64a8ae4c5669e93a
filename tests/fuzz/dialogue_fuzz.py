#!/usr/bin/env python3
"""Throws random dialogues at the real programs, in folders of random data files.

Every session makes a fresh folder with random data files (valid ones, damaged
ones, missing ones, folders in their place), writes a random input script
(command words, near misses, long lines, every byte value, pieces of cp932
characters, an end of input anywhere) and runs one program on it. A session
passes when the program

- ends by itself within the time limit, with status 0 or 1 (1 only with one
  of its failure messages), and writes nothing to standard error;
- prints no more than a fixed amount per input line (plus what the battles
  that a line may bring print: a battle has at most as many turns as its
  enemy has hit points);
- leaves every data file either as it was or whole and readable by the token
  rules, creates only the files it may create, and leaves no other file.

    dialogue_fuzz.py --sessions 10000 --game build/asan/bin/gloomhold \\
                     --editor build/asan/bin/runewright --failures /tmp/found

The programs default to $GLOOMHOLD and $RUNEWRIGHT. A failing session is
reported with its number; --first N --sessions 1 replays session N alone.
"""
import argparse
import os
import random
import re
import resource
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import time

INT_MIN = -2 ** 31
INT_MAX = 2 ** 31 - 1
WHITE = b"\t\n\v\f\r "
EDIT_FILES = ("editenemy", "editequipment", "editplayer")
DATA_FILES = EDIT_FILES + ("savedata",)
ENTRY_COUNT = {"editenemy": 5, "editequipment": 3, "editplayer": 1}
# The longest battle that a valid file here can bring, in turns.
ENEMY_HP_CEILING = 1500
# Enemies of normal play have at most this many hit points.
BUILTIN_ENEMY_HP = 30
# What one input line may print besides battles, and one battle turn at most
# (the HP line, two blows with the longest names, a key wait), both with room
# for the UTF-8 console, where a cp932 character of 2 bytes becomes 3.
PER_LINE = 8192
PER_TURN = 600
FAILURE_MARKERS = (b"Cannot open", b"Cannot write", b"is damaged at line",
                   "入力が終わったため".encode("cp932"), "入力が終わったため".encode("utf-8"))


# --- the token rules ---------------------------------------------------------

class Damaged(Exception):
    pass


class Tokens:
    """The readers' token rules: numbers by formatted extraction, ended as words are; names as words."""

    def __init__(self, data):
        self.data = data
        self.pos = 0

    def skip_white(self):
        while self.pos < len(self.data) and self.data[self.pos] in WHITE:
            self.pos += 1

    def number(self):
        self.skip_white()
        match = re.compile(rb"[+-]?[0-9]+").match(self.data, self.pos)
        if not match:
            raise Damaged("no number at byte %d" % self.pos)
        sign, digits = match.group()[:1], match.group().lstrip(b"+-").lstrip(b"0") or b"0"
        value = INT_MAX + 1 if len(digits) > 10 else int(digits) * (-1 if sign == b"-" else 1)
        if not INT_MIN <= value <= INT_MAX:
            raise Damaged("number beyond 32 bits at byte %d" % self.pos)
        if match.end() < len(self.data) and self.data[match.end()] not in WHITE and self.data[match.end()] != 0:
            raise Damaged("number glued to other bytes at byte %d" % self.pos)
        self.pos = match.end()
        return value

    def name(self):
        self.skip_white()
        end = self.pos
        while end < len(self.data) and self.data[end] not in WHITE and self.data[end] != 0:
            end += 1
        word = self.data[self.pos:end]
        if not 1 <= len(word) <= 51:
            raise Damaged("name of %d bytes at byte %d" % (len(word), self.pos))
        self.pos = end
        return word


def read_edit_file(name, data):
    """The entries of an edit data file, or Damaged."""
    tokens = Tokens(data)
    if name == "editenemy":
        return [(tokens.number(), tokens.number(), tokens.number(), tokens.number(), tokens.name())
                for _ in range(5)]
    if name == "editequipment":
        return [(tokens.name(), tokens.number(), tokens.number()) for _ in range(3)]
    return [(tokens.number(), tokens.number(), tokens.number(), tokens.number())]


SAVE_LINE = re.compile(rb"(-?(?:0|[1-9][0-9]*)) (-?(?:0|[1-9][0-9]*)) (-?(?:0|[1-9][0-9]*)) "
                       rb"(-?(?:0|[1-9][0-9]*))\n")


def read_written_save(data):
    """The four numbers of a save file as the game writes it, or Damaged."""
    match = SAVE_LINE.fullmatch(data)
    if not match:
        raise Damaged("not one line of four plain numbers: %r" % data[:80])
    values = [int(v) for v in match.groups()]
    if any(not INT_MIN <= v <= INT_MAX for v in values) or b"-0" in data.split():
        raise Damaged("not plain 32-bit numbers: %r" % data)
    return values


# --- random data files -------------------------------------------------------

def random_number(rnd, hp=False):
    if hp:
        return rnd.choice([rnd.randint(1, 999), rnd.randint(1, 30), 0, -5, INT_MIN,
                           rnd.randint(1, ENEMY_HP_CEILING)])
    return rnd.choice([rnd.randint(0, 999), rnd.randint(-999, 999), 0, -1, INT_MIN, INT_MAX,
                       rnd.randint(INT_MIN, INT_MAX)])


def random_name(rnd):
    """A storable name: 1 to 51 bytes, no white space, no NUL."""
    length = rnd.choice([1, 2, rnd.randint(1, 51), 51, 29])
    pieces = []
    while len(b"".join(pieces)) < length:
        kind = rnd.random()
        if kind < 0.4:
            pieces.append(bytes([rnd.randint(0x21, 0x7E)]))
        elif kind < 0.8:
            pieces.append(rnd.choice(["スライム", "闇の　騎士", "槍", "ドラゴン", "ｶﾅ"]).encode("cp932"))
        else:
            pieces.append(bytes([rnd.randint(0x80, 0xFF)]))
    return b"".join(pieces)[:length]


def separator(rnd):
    return rnd.choice([b" ", b"\n", b"\r\n", b"\t", b" \n\n ", b"\v", b"\f", b"\r"])


def layout(rnd, tokens):
    out = rnd.choice([b"", b"", b"\n", b" \t"])
    for token in tokens:
        out += token + separator(rnd)
    return out + rnd.choice([b"", b"\n", b"\r\n\r\n"])


def valid_edit_file(rnd, name):
    tokens = []
    for _ in range(ENTRY_COUNT[name]):
        if name == "editenemy":
            numbers = [random_number(rnd, hp=True)] + [random_number(rnd) for _ in range(3)]
            tokens += [str(v).encode() for v in numbers] + [random_name(rnd)]
        elif name == "editequipment":
            tokens += [random_name(rnd)] + [str(random_number(rnd)).encode() for _ in range(2)]
        else:
            tokens += [str(random_number(rnd)).encode() for _ in range(4)]
    return layout(rnd, tokens)


def damage(rnd, data):
    """A file that lacks tokens or holds a bad one; perhaps still readable by chance."""
    kind = rnd.randrange(7)
    if kind == 0:
        return data[:rnd.randint(0, max(0, len(data) - 1))]
    if kind == 1:
        at = rnd.randint(0, len(data))
        return data[:at] + rnd.choice([b" x ", b" 2147483648 ", b" -2147483649 ", b" - ", b"\0",
                                       b" " + b"N" * rnd.randint(52, 300) + b" "]) + data[at:]
    if kind == 2:
        return bytes(rnd.randint(0, 255) for _ in range(rnd.randint(1, 200)))
    if kind == 3:
        return b""
    if kind == 4:
        return data.replace(b" ", b"\0", 1)
    if kind == 5:
        return b"9" * rnd.randint(11, 5000)
    return data + b" " + bytes(rnd.randint(0, 255) for _ in range(rnd.randint(1, 20)))


def random_save(rnd):
    kind = rnd.randrange(5)
    if kind == 0:
        return b"%d %d %d %d\n" % tuple(random_number(rnd) for _ in range(4))
    if kind == 1:
        return b"%d %d\n" % (rnd.randint(1, 999), rnd.randint(1, 999))
    if kind == 2:
        return b""
    if kind == 3:
        return bytes(rnd.randint(0, 255) for _ in range(rnd.randint(1, 100)))
    return b"1\n2\n3\n4\n5 6 junk\n"


def place_files(rnd, folder):
    """Puts random data files in the folder; returns name -> bytes, or None for a non-file."""
    placed = {}
    for name in DATA_FILES:
        choice = rnd.random()
        path = os.path.join(folder, name)
        if choice < 0.15:
            continue  # missing
        if choice < 0.2:
            os.mkdir(path)
            placed[name] = None
            continue
        if name == "savedata":
            data = random_save(rnd)
        else:
            data = valid_edit_file(rnd, name)
            if choice < 0.4:
                data = damage(rnd, data)
        with open(path, "wb") as f:
            f.write(data)
        if rnd.random() < 0.05:
            os.chmod(path, 0o444)
        placed[name] = data
    return placed


# --- random input scripts ----------------------------------------------------

GAME_WORDS = ["1", "2", "up", "down", "left", "right", "ESC", "SAVE", "LOAD", "EDITLOAD",
              "EDITITEMLOAD", "STATUS", "YES", "NO", "3", "4"]
GAME_NEAR = ["Up", "UP", "up ", " up", "esc", "Esc", "SAVE ", "save", "LOAD\t", "12", "0", "",
             "YES ", "yes", "no", "１", "ESC\0", "5", "-1"]
EDITOR_WORDS = ["1", "2", "3", "4", "5", "6", "7", "999", "1", "5", "30", "0", "10"]
EDITOR_NEAR = ["0", "8", "01", "+5", " 5", "5 ", "1000", "-1", "99999999999", "", "１", "6",
               "名前", "a b", "　槍　", "x" * 29, "x" * 30, "あ" * 14, "あ" * 15, "\t", "\0",
               "　", "ｶﾅ", "槍 ", " 　"]


def random_line(rnd, words, near):
    kind = rnd.random()
    if kind < 0.55:
        return rnd.choice(words).encode("cp932")
    if kind < 0.75:
        return rnd.choice(near).encode("cp932")
    if kind < 0.82:
        return bytes(rnd.randint(0, 255) for _ in range(rnd.randint(1, 40))).replace(b"\n", b"")
    if kind < 0.88:
        # pieces of double-byte characters: lone lead bytes, trail bytes, halves
        return b"".join(rnd.choice([b"\x81", b"\x81\x40", b"\x82\xa0", b"\xe0", b"\xfc\xfc",
                                    b"\x40", b"\xa0", b"\xff", b"\xef\xbb\xbf", b"\xe3\x81"])
                        for _ in range(rnd.randint(1, 10)))
    if kind < 0.92:
        return rnd.choice([b"A", b"\x82\xa0", b"9", b" "]) * rnd.choice([100, 4096, 70000, 300000])
    if kind < 0.96:
        return rnd.choice(words).encode() + b"\r"
    return b""


def random_script(rnd, program):
    words, near = (GAME_WORDS, GAME_NEAR) if program == "game" else (EDITOR_WORDS, EDITOR_NEAR)
    lines = [random_line(rnd, words, near) for _ in range(rnd.randint(0, 60))]
    if program == "game" and lines and rnd.random() < 0.7:
        lines[0] = rnd.choice([b"1", b"2"])  # mostly get past the menu
    script = b"\n".join(lines)
    ending = rnd.random()
    if ending < 0.6:
        script += b"\n"
    elif ending < 0.7:
        script += b"\r\n"
    return script  # otherwise the input ends in the middle of a line


# --- one session -------------------------------------------------------------

class Session:
    def __init__(self, number, program, path, root, timeout):
        self.number = number
        self.program = program
        self.path = path
        self.timeout = timeout
        self.rnd = random.Random(number * 2 + (program == "editor"))
        self.root = tempfile.mkdtemp(prefix="dialogue-", dir=root)
        self.folder = os.path.join(self.root, "play")
        os.mkdir(self.folder)
        self.problems = []
        self.status = None
        self.writes = 0

    def output_bound(self, script, placed):
        turns = BUILTIN_ENEMY_HP
        enemies = placed.get("editenemy")
        if enemies:
            try:
                turns = max(turns, max(e[0] for e in read_edit_file("editenemy", enemies)))
            except Damaged:
                pass
        return (script.count(b"\n") + 2) * (PER_LINE + PER_TURN * turns)

    def run(self):
        rnd = self.rnd
        placed = place_files(rnd, self.folder)
        script = random_script(rnd, self.program)
        self.script = script
        args = []
        if self.program == "game" and rnd.random() < 0.9:
            args = ["--seed", str(rnd.randint(0, 2 ** 32 - 1))]
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"),
               "LC_ALL": "C.UTF-8" if rnd.random() < 0.2 else "C"}
        for name in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"):
            if name in os.environ:
                env[name] = os.environ[name]
        bound = self.output_bound(script, placed)
        closed = rnd.choice([None] * 18 + ["stdin", "stdout"])
        script_path = os.path.join(self.root, "script")
        out_path = os.path.join(self.root, "stdout")
        err_path = os.path.join(self.root, "stderr")
        with open(script_path, "wb") as f:
            f.write(script)

        def child_setup():
            # Output beyond the bound fails (the programs ignore SIGXFSZ) or
            # ends the program by SIGXFSZ.
            resource.setrlimit(resource.RLIMIT_FSIZE, (bound + 1, bound + 1))
            if closed == "stdin":
                os.close(0)
            elif closed == "stdout":
                os.close(1)

        started = time.monotonic()
        with open(script_path, "rb") as stdin, open(out_path, "wb") as stdout, \
                open(err_path, "wb") as stderr:
            child = subprocess.Popen([self.path] + args, stdin=stdin, stdout=stdout, stderr=stderr,
                                     cwd=self.folder, env=env, preexec_fn=child_setup)
            try:
                self.status = child.wait(timeout=self.timeout)
            except subprocess.TimeoutExpired:
                child.kill()
                child.wait()
                self.problems.append("did not end within %d s" % self.timeout)
        self.seconds = time.monotonic() - started
        with open(out_path, "rb") as f:
            output = f.read()
        with open(err_path, "rb") as f:
            errors = f.read()
        self.check_end(output, errors, bound, closed)
        self.check_files(placed)

    def check_end(self, output, errors, bound, closed):
        if self.status is None:
            return
        program = b"gloomhold" if self.program == "game" else b"runewright"
        # A closed standard stream fails the first read or write of it: one
        # line on standard error tells so, and the status is 1.
        told = {"stdin": program + b": cannot read standard input: Bad file descriptor\n",
                "stdout": program + b": cannot write to standard output: Bad file descriptor\n",
                None: b""}[closed]
        runaway = b": cannot write to standard output: File too large\n"
        if (self.status == -signal.SIGXFSZ or len(output) > bound
                or (self.status == 1 and errors.endswith(runaway))):
            self.problems.append("printed more than %d bytes for %d input lines"
                                 % (bound, self.script.count(b"\n") + 1))
            return
        if self.status not in (0, 1):
            self.problems.append("ended with status %d" % self.status)
        elif closed is not None and self.status != 1:
            self.problems.append("ended with status %d though standard %s was closed"
                                 % (self.status, closed[3:]))
        elif self.status == 1 and closed is None and not any(m in output for m in FAILURE_MARKERS):
            self.problems.append("status 1 without a failure message")
        # A data file failure can end the program before it ever reads.
        if closed == "stdin" and any(m in output for m in FAILURE_MARKERS):
            told = b""
        if errors and errors != told:
            self.problems.append("wrote to standard error: %r" % errors[:2000])
        elif not errors and told:
            self.problems.append("status %d without a failure message on standard error"
                                 % self.status)

    def check_files(self, placed):
        present = set(os.listdir(self.folder))
        allowed = set(n for n in placed) | ({"savedata"} if self.program == "game" else set(EDIT_FILES))
        for extra in sorted(present - allowed):
            self.problems.append("left the file %r behind" % extra)
        for name in DATA_FILES:
            path = os.path.join(self.folder, name)
            before = placed.get(name, "absent")
            if before is None:
                if not os.path.isdir(path):
                    self.problems.append("replaced the folder %s" % name)
                continue
            if not os.path.exists(path):
                if before != "absent":
                    self.problems.append("removed %s" % name)
                continue
            with open(path, "rb") as f:
                now = f.read()
            if now == before:
                continue
            self.writes += 1
            try:
                if name == "savedata":
                    read_written_save(now)
                else:
                    read_edit_file(name, now)
            except Damaged as damaged:
                self.problems.append("%s is neither as it was nor whole: %s" % (name, damaged))

    def keep(self, failures):
        """Copies the session's folder, script and output for a closer look."""
        target = os.path.join(failures, "%s-%d" % (self.program, self.number))
        shutil.rmtree(target, ignore_errors=True)
        shutil.copytree(self.root, target, symlinks=True)
        return target

    def clean(self):
        for folder, names, files in os.walk(self.root):
            os.chmod(folder, 0o755)
            for name in files:
                path = os.path.join(folder, name)
                if not os.path.islink(path):
                    os.chmod(path, stat.S_IRUSR | stat.S_IWUSR)
        shutil.rmtree(self.root, ignore_errors=True)


def run_sessions(programs, sessions, first=0, timeout=30, failures=None, log=None, progress=None):
    """Runs `sessions` sessions for each program; returns (counts, failed sessions)."""
    root = tempfile.mkdtemp(prefix="gloomhold-dialogue-fuzz-")
    counts = {}
    failed = []
    try:
        for program, path in programs:
            tally = counts.setdefault(program, {"sessions": 0, "status 0": 0, "status 1": 0,
                                                "files written": 0, "input lines": 0,
                                                "slowest": 0.0})
            for number in range(first, first + sessions):
                session = Session(number, program, path, root, timeout)
                session.run()
                tally["sessions"] += 1
                tally["input lines"] += session.script.count(b"\n") + 1
                tally["files written"] += session.writes
                tally["slowest"] = max(tally["slowest"], session.seconds)
                if session.status in (0, 1):
                    tally["status %d" % session.status] += 1
                if session.problems:
                    where = session.keep(failures) if failures else None
                    failed.append((program, number, session.problems, where))
                    if log:
                        log("%s session %d: %s%s" % (program, number, "; ".join(session.problems),
                                                     " (kept in %s)" % where if where else ""))
                session.clean()
                if progress and (number + 1 - first) % progress == 0 and log:
                    log("%s: %d sessions, %d failing so far" % (program, number + 1 - first, len(failed)))
    finally:
        shutil.rmtree(root, ignore_errors=True)
    return counts, failed


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--sessions", type=int, default=200, help="sessions per program")
    parser.add_argument("--first", type=int, default=0, help="number of the first session")
    parser.add_argument("--game", default=os.environ.get("GLOOMHOLD"))
    parser.add_argument("--editor", default=os.environ.get("RUNEWRIGHT"))
    parser.add_argument("--only", choices=["game", "editor"])
    parser.add_argument("--timeout", type=int, default=30, help="seconds a session may take")
    parser.add_argument("--failures", help="folder that keeps failing sessions")
    parser.add_argument("--progress", type=int, help="report after every so many sessions")
    options = parser.parse_args()
    programs = [(p, os.path.abspath(path)) for p, path in (("game", options.game), ("editor", options.editor))
                if path and options.only in (None, p)]
    if not programs:
        parser.error("no program: give --game/--editor or set GLOOMHOLD/RUNEWRIGHT")
    if options.failures:
        os.makedirs(options.failures, exist_ok=True)
    counts, failed = run_sessions(programs, options.sessions, options.first, options.timeout,
                                  options.failures, log=lambda text: print(text, flush=True),
                                  progress=options.progress)
    for program, tally in counts.items():
        print("%s: %s" % (program, ", ".join("%s %s" % (k, ("%.2f s" % v) if k == "slowest" else v)
                                             for k, v in tally.items())))
    print("%d failing sessions" % len(failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
