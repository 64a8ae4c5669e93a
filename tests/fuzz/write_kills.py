#!/usr/bin/env python3
"""Kills the programs with SIGKILL at random moments while they write their files.

Each kill runs one write of one program in a fresh folder: the game's "SAVE",
the editor's enemy, item and player dialogues, or the editor's start-up in an
empty folder, which writes the three starter files. The program runs under
strace, which delays every write, fsync and rename by a few milliseconds, so
that a kill at a random moment often lands inside the write sequence; strace's
log then shows where it landed:

- before: no temporary file was made yet;
- mid-write: a temporary file was made (with a name, or without one until it
  is complete) and not yet renamed over the old file (the window in which a
  writer that truncates in place would leave a cut file);
- after: the new file was in place;
- between files: the starter set was cut between two whole files.

After every kill each file must hold either its old bytes (or be absent, if
it was) or exactly the bytes of an undisturbed run, the folder may hold
nothing else but the temporary file of the write that was cut short, and the
next run of the program must read the files and end normally.

    write_kills.py --kills 1000 --game build/release/bin/gloomhold \\
                   --editor build/release/bin/runewright
"""
import argparse
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

STRACE = shutil.which("strace")
DELAY_MICROSECONDS = 15000
TRACED = "openat,write,fsync,close,linkat,rename,renameat,renameat2,fchmod,unlink"
DELAYED = "write,fsync,rename,renameat,renameat2"

OLD_ENEMIES = b"10 5 3 2\nslime\n20 6 4 3\ngoblin\n30 7 5 4\norc\n40 8 6 5\ntroll\n50 9 7 6\ndragon\n\n"
OLD_ITEMS = b"pike\n2 0\nsword\n2 0\narmor\n0 3\n\n"
OLD_PLAYER = b"5 4 6 3\n\n"
OLD_SAVE = b"9 9 9 9\n"
EDIT_FILES = {"editenemy": OLD_ENEMIES, "editequipment": OLD_ITEMS, "editplayer": OLD_PLAYER}

# name: (program, files before, input, files written, input of the run after)
SCENARIOS = {
    "save": ("game", {"savedata": OLD_SAVE}, b"1\nSAVE\n", ("savedata",), b"1\nLOAD\nESC\n"),
    "enemy": ("editor", EDIT_FILES, "1\n12\n34\n5\n6\n竜王\n2\n".encode("cp932"), ("editenemy",),
              b"4\n7\n"),
    "items": ("editor", EDIT_FILES, b"2\naxe\n7\n0\nshield\n0\n7\nring\n1\n1\n", ("editequipment",),
              b"5\n7\n"),
    "player": ("editor", EDIT_FILES, b"3\n40\n8\n9\n10\n", ("editplayer",), b"6\n7\n"),
    "starter": ("editor", {}, b"7\n", tuple(EDIT_FILES), b"4\n5\n6\n7\n"),
}


def strace_works():
    if not STRACE:
        return False
    done = subprocess.run([STRACE, "-qq", "-o", "/dev/null", "-e", "inject=write:delay_enter=1",
                           "true"], capture_output=True)
    return done.returncode == 0


def environment(traced=False):
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "LC_ALL": "C"}
    for name in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"):
        if name in os.environ:
            env[name] = os.environ[name]
    if traced:
        # The leak checker of the sanitizer build cannot work under strace.
        env["ASAN_OPTIONS"] = ":".join(filter(None, [env.get("ASAN_OPTIONS"), "detect_leaks=0"]))
    return env


def temporary_name(name):
    return re.compile(r"\.%s\.tmp[0-9]+-[0-9]+$" % re.escape(name))


class Phase:
    BEFORE, MIDWRITE, AFTER, BETWEEN = "before", "mid-write", "after", "between files"


def phase_of(log, written):
    """Where in the write sequence the kill landed, from strace's log, and the call it cut."""
    phases = []
    # A file without a name does not tell whose it is: the files are written
    # in the order of `written`, one temporary file each.
    unnamed = len(re.findall(r"openat\([^\n]*O_TMPFILE[^\n]*\) = [0-9]+", log))
    for index, name in enumerate(written):
        temp = r'"\./\.%s\.tmp[0-9]+-[0-9]+"' % re.escape(name)
        made = (re.search(r"openat\(AT_FDCWD, %s, [^)]*O_EXCL[^)]*\) = [0-9]+" % temp, log)
                or unnamed > index)
        renamed = re.search(r"rename[a-z0-9]*\([^\n]*%s, [^\n]*\) = 0" % temp, log)
        phases.append(Phase.AFTER if renamed else Phase.MIDWRITE if made else Phase.BEFORE)
    if Phase.MIDWRITE in phases:
        phase = Phase.MIDWRITE
    elif Phase.BEFORE in phases and Phase.AFTER in phases:
        phase = Phase.BETWEEN
    else:
        phase = phases[0]
    # The call that the kill cut short: strace ends its line with "= ?".
    cut = re.findall(r"^\s*[0-9]*\s*[0-9.]*\s*([a-z0-9_]+)\([^\n]*(?:<unfinished \.\.\.>|= \?)$", log, re.M)
    return phase, (cut[-1] if cut else None)


class KillRun:
    def __init__(self, programs, root):
        self.programs = programs
        self.root = root
        self.env = environment()
        self.traced_env = environment(traced=True)

    def folder_with(self, files):
        folder = tempfile.mkdtemp(prefix="kill-", dir=self.root)
        for name, data in files.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)
        return folder

    def start(self, scenario, folder, log):
        program, _, script, _, _ = SCENARIOS[scenario]
        args = [self.programs[program]] + (["--seed", "1"] if program == "game" else [])
        command = [STRACE, "-f", "-qq", "-ttt", "-o", log, "-e", "trace=" + TRACED,
                   "-e", "inject=%s:delay_enter=%d" % (DELAYED, DELAY_MICROSECONDS)] + args
        script_path = os.path.join(os.path.dirname(folder), os.path.basename(folder) + ".in")
        with open(script_path, "wb") as f:
            f.write(script)
        with open(script_path, "rb") as stdin:
            return subprocess.Popen(command, stdin=stdin, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL, cwd=folder, env=self.traced_env)

    @staticmethod
    def traced_child(tracer, program):
        """The program that strace runs, once it has started (strace forks helpers too)."""
        path = "/proc/%d/task/%d/children" % (tracer.pid, tracer.pid)
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            try:
                with open(path) as f:
                    children = f.read().split()
            except OSError:
                return None  # strace has ended
            for child in children:
                try:
                    with open("/proc/%s/cmdline" % child, "rb") as f:
                        if f.read().split(b"\0")[0] == program.encode():
                            return int(child)
                except OSError:
                    pass  # gone already
            time.sleep(0.0005)
        return None

    @staticmethod
    def write_window(log):
        """When the write sequence runs, in seconds from the program's first call."""
        stamps = [float(t) for t in re.findall(r"^\s*[0-9]+\s+([0-9]+\.[0-9]+) ", log, re.M)]
        made = [float(t) for t in re.findall(r"^\s*[0-9]+\s+([0-9]+\.[0-9]+) openat\([^\n]*(?:O_EXCL|O_TMPFILE)",
                                             log, re.M)]
        renamed = [float(t) for t in re.findall(r"^\s*[0-9]+\s+([0-9]+\.[0-9]+) rename", log, re.M)]
        if not (stamps and made and renamed):
            return None
        return made[0] - stamps[0], renamed[-1] - stamps[0] + DELAY_MICROSECONDS / 1e6

    def calibrate(self, scenario):
        """The files of an undisturbed run, how long it takes and when it writes."""
        _, before, _, written, _ = SCENARIOS[scenario]
        folder = self.folder_with(before)
        tracer = self.start(scenario, folder, folder + ".log")
        self.traced_child(tracer, self.programs[SCENARIOS[scenario][0]])
        started = time.monotonic()
        status = tracer.wait(timeout=60)
        seconds = time.monotonic() - started
        if status != 0:
            raise RuntimeError("%s: the undisturbed run ended with status %d" % (scenario, status))
        after = {}
        for name in written:
            with open(os.path.join(folder, name), "rb") as f:
                after[name] = f.read()
            if after[name] == before.get(name):
                raise RuntimeError("%s: the undisturbed run did not change %s" % (scenario, name))
        with open(folder + ".log") as f:
            window = self.write_window(f.read())
        return after, seconds, window

    def kill_once(self, scenario, new, seconds, window, rnd):
        """One run killed at a random moment; returns (phase, cut call, problems)."""
        program, before, _, written, follow_up = SCENARIOS[scenario]
        folder = self.folder_with(before)
        log = folder + ".log"
        tracer = self.start(scenario, folder, log)
        child = self.traced_child(tracer, self.programs[program])
        if child is not None:
            # Most kills aim at the write sequence as it ran undisturbed, the
            # rest at any moment of the run.
            if window and rnd.random() < 0.7:
                time.sleep(rnd.uniform(max(0.0, window[0] - 0.01), window[1] + 0.01))
            else:
                time.sleep(rnd.uniform(0, seconds * 1.1))
            try:
                os.kill(child, signal.SIGKILL)
            except ProcessLookupError:
                pass
        tracer.wait(timeout=60)
        with open(log, errors="replace") as f:
            phase, cut = phase_of(f.read(), written)

        problems = []
        names = set(os.listdir(folder))
        for name in written:
            now = None
            if os.path.exists(os.path.join(folder, name)):
                with open(os.path.join(folder, name), "rb") as f:
                    now = f.read()
            if now not in (before.get(name), new[name]):
                problems.append("%s is neither old nor new: %r" % (name, now))
        expected = set(before) | set(written)
        for extra in names - expected:
            if not any(temporary_name(name).fullmatch(extra) for name in written):
                problems.append("left %r behind" % extra)
        if not problems:
            args = [self.programs[program]] + (["--seed", "1"] if program == "game" else [])
            done = subprocess.run(args, input=follow_up, capture_output=True, cwd=folder,
                                  env=self.env, timeout=60)
            if done.returncode != 0 or done.stderr:
                problems.append("the next run ended with status %d: %r"
                                % (done.returncode, (done.stdout + done.stderr)[-300:]))
        return phase, cut, problems


def run_kills(programs, kills, seed=1, log=None):
    """Kills `kills` runs; returns (counts by phase and scenario, problems)."""
    rnd = random.Random(seed)
    root = tempfile.mkdtemp(prefix="gloomhold-write-kills-")
    counts = {"kills": 0, Phase.BEFORE: 0, Phase.MIDWRITE: 0, Phase.AFTER: 0, Phase.BETWEEN: 0}
    cut_calls = {}
    by_scenario = {}
    problems = []
    try:
        runner = KillRun(programs, root)
        calibrated = {s: runner.calibrate(s) for s in SCENARIOS}
        for number in range(kills):
            scenario = rnd.choice(sorted(SCENARIOS))
            phase, cut, found = runner.kill_once(scenario, *calibrated[scenario], rnd)
            counts["kills"] += 1
            counts[phase] += 1
            by_scenario.setdefault(scenario, {}).setdefault(phase, 0)
            by_scenario[scenario][phase] += 1
            if phase == Phase.MIDWRITE and cut:
                cut_calls[cut] = cut_calls.get(cut, 0) + 1
            for problem in found:
                problems.append("kill %d (%s, %s): %s" % (number, scenario, phase, problem))
                if log:
                    log(problems[-1])
    finally:
        shutil.rmtree(root, ignore_errors=True)
    return counts, by_scenario, cut_calls, problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--kills", type=int, default=100)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--game", default=os.environ.get("GLOOMHOLD"))
    parser.add_argument("--editor", default=os.environ.get("RUNEWRIGHT"))
    options = parser.parse_args()
    if not (options.game and options.editor):
        parser.error("give --game and --editor, or set GLOOMHOLD and RUNEWRIGHT")
    if not strace_works():
        print("strace cannot trace here; nothing was tried")
        return 2
    programs = {"game": os.path.abspath(options.game), "editor": os.path.abspath(options.editor)}
    counts, by_scenario, cut_calls, problems = run_kills(programs, options.kills, options.seed,
                                                         log=lambda text: print(text, flush=True))
    print("kills: %(kills)d, before the write: %(before)d, mid-write: %(mid-write)d, "
          "after: %(after)d, between files: %(between files)d" % counts)
    for scenario, phases in sorted(by_scenario.items()):
        print("  %s: %s" % (scenario, ", ".join("%s %d" % kv for kv in sorted(phases.items()))))
    print("mid-write kills inside a call: %s" % ", ".join("%s %d" % kv for kv in sorted(cut_calls.items())))
    print("%d problems" % len(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
