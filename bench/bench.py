#!/usr/bin/env python3
"""What a turn, a start and a battle of gloomhold and runewright cost.

Every timing is CPU time (user and system, of the measured process alone),
measured side by side in the same run against a floor that does the same
work, so that it holds on a busy machine:

- a scripted edit-play session of about 100,000 commands, in the C locale
  (bytes pass unchanged) and in LANG=C.UTF-8 (the setting of nearly every
  terminal), each against `replay_floor` (a static C program) writing the
  session's recorded output from memory to the same sink (/dev/null) in the
  same write calls of the same sizes (the floor's loading and giving back of
  its copy of the output are left out of its time); in the C locale also
  against the floor copying each write's bytes into a buffer first;
- the start-up to the first prompt and out again, against `replay_floor`
  writing that run's output (the menu) in the same writes;
- the peak resident memory of each run, against the same floor;
- the balance report's battles per second of CPU on a fixed reference roster
  and on the starter data, and its blows per second;
- a session in a pseudo-terminal: bytes and write calls per turn;
- the processes that the programs start (there must be none).

Each timing is repeated; a repetition runs the program and its floor one after
the other. Figures are medians, with the spread (lowest to highest) beside.

    python3 bench/bench.py --bin build/release/bin
"""
import argparse
import ctypes
import os
import re
import select
import shutil
import statistics
import subprocess
import sys
import tempfile
import termios
import time

PATH = os.environ.get("PATH", "/usr/bin:/bin")
LOCALES = {
    "C": {"LC_ALL": "C", "PATH": PATH},
    "UTF-8": {"LANG": "C.UTF-8", "PATH": PATH},
}

# Targets: most a ratio may be (the battle rate: least battles per second).
SESSION_TARGET = 3.0          # C-locale session against the write floor
UTF8_TARGET = 1.5             # UTF-8 session against the C-locale session
STARTUP_TARGET = 1.5
MEMORY_TARGET = 2.0
BATTLES_TARGET = 25_000_000
GAMES_TARGET = 50_000

# The figures of the benchmark before this one (wall time; its floors were
# `cat` of the session's output and a dynamically linked C++ program), and
# the measurements against static C floors, for comparison.
OLD = {
    "session": "2.5 x cat (wall), 0.19 us per command",
    "utf8": "12 x the C-locale session (0.142 s against 0.012 s of CPU)",
    "startup": "0.96 x a dynamic C++ program; 2.4-2.6 x a static C program",
    "memory": "3.1 MB, 0.95 x a dynamic C++ program; about 5 x a static C program",
    "report": "14.9 M battles per second of CPU",
}

# The reference roster of the battle rate's target: the starter roster as it
# was when the target was set, (hp, ap, dp, sp) and name, with the starter
# player and items. Its battles are short; the starter data's boss, with its
# level-up rows, makes a battle many more blows, so battles per second of the
# two do not compare, while blows per second do.
REFERENCE_ROSTER = [
    (7, 7, 2, 2, "スライム"),
    (8, 9, 3, 3, "ゴブリン"),
    (6, 9, 2, 5, "大コウモリ"),
    (9, 10, 4, 2, "スケルトン"),
    (30, 14, 7, 4, "闇の王"),
]

SESSION_COMMANDS = 100_000
PTY_COMMANDS = 1_000
SESSION_SEED = 1
# The edit player of the session: hit points that traps and blows cannot use
# up in 100,000 commands, so that the game never ends early.
STURDY_PLAYER = b"1000000000 20 1000 10\n"
# Mostly moves. "4" answers the item swap dialogue (keep everything); at the
# command prompt it is no command, and the turn passes without a move. More
# downs than ups keep the walk near the bottom rows, far from the boss's square
# (the seed puts it in row 18).
WALK = ["up", "right", "down", "left", "down", "left", "up", "right", "down", "4"]

PROMPT = "コマンドを入力してください。\ncommand： ".encode("cp932")
BOSS_QUESTION = "BOSSと戦いますか？".encode("cp932")
PAUSE = "続行するには何かキーを押してください . . . ".encode("cp932")
CLOSING = "gameover... thank you playing !\n".encode("cp932")
KEY_WAIT = b">>> "


# --- running programs -------------------------------------------------------

class Run:
    """One finished run: wall time and the child's CPU time, in seconds."""

    def __init__(self, wall, cpu, status):
        self.wall = wall
        self.cpu = cpu
        self.status = status


def spawn(argv, stdin_path, stdout_path=os.devnull, env=LOCALES["C"], stderr_path=None):
    """Runs argv in the current folder to its end, input from a file."""
    actions = [(os.POSIX_SPAWN_OPEN, 0, stdin_path, os.O_RDONLY, 0),
               (os.POSIX_SPAWN_OPEN, 1, stdout_path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)]
    if stderr_path is not None:
        actions.append((os.POSIX_SPAWN_OPEN, 2, stderr_path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644))
    start = time.perf_counter()
    pid = os.posix_spawn(argv[0], argv, env, file_actions=actions)
    _, status, usage = os.wait4(pid, 0)
    wall = time.perf_counter() - start
    return Run(wall, usage.ru_utime + usage.ru_stime, os.waitstatus_to_exitcode(status))


def spawn_checked(argv, stdin_path, stdout_path=os.devnull, env=LOCALES["C"], stderr_path=None):
    run = spawn(argv, stdin_path, stdout_path, env, stderr_path)
    if run.status != 0:
        sys.exit("bench: %s ended with status %d" % (" ".join(argv), run.status))
    return run


def write_file(path, data):
    with open(path, "wb") as f:
        f.write(data)


def read_file(path):
    with open(path, "rb") as f:
        return f.read()


def tool(name, package):
    """The path of a tool, installed from Debian's packages when missing."""
    path = shutil.which(name)
    if path is None and shutil.which("apt-get") is not None and os.geteuid() == 0:
        print("bench: installing %s" % package, flush=True)
        subprocess.run(["apt-get", "install", "-y", "-qq", package], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=False)
        path = shutil.which(name)
    return path


class Spread:
    """The median of some figures, and their lowest and highest."""

    def __init__(self, values):
        self.values = list(values)
        self.median = statistics.median(self.values)
        self.low = min(self.values)
        self.high = max(self.values)

    def show(self, scale=1.0, digits=2):
        return "%.*f (%.*f-%.*f)" % (digits, self.median * scale, digits, self.low * scale, digits,
                                     self.high * scale)


def ratios(pairs):
    return Spread(measured / floor for measured, floor in pairs)


# --- recording a run's writes ----------------------------------------------

WRITE_CALL = re.compile(r"^write\(1, .*\) += (\d+)$")


def write_sizes(trace_text):
    """The sizes of the writes to standard output that an strace log of
    `-e trace=write` shows, in order (what each call wrote)."""
    sizes = []
    for line in trace_text.splitlines():
        match = WRITE_CALL.match(line)
        if match:
            sizes.append(int(match.group(1)))
    return sizes


def record(strace, argv, stdin_path, name, env):
    """Runs argv once under strace, keeping its output in <name>.out and the
    sizes of its writes in <name>.sizes; the replay floor's arguments."""
    with open(stdin_path, "rb") as stdin, open(name + ".out", "wb") as stdout:
        done = subprocess.run([strace, "-qq", "-e", "trace=write", "-e", "signal=none", "-s", "0",
                               "-o", name + ".trace"] + argv, stdin=stdin, stdout=stdout,
                              stderr=subprocess.DEVNULL, env=env, check=False)
    if done.returncode != 0:
        sys.exit("bench: %s under strace ended with status %d" % (" ".join(argv), done.returncode))
    sizes = write_sizes(read_file(name + ".trace").decode(errors="replace"))
    if sum(sizes) != os.path.getsize(name + ".out"):
        sys.exit("bench: the writes that strace shows do not add up to %s's output" % argv[0])
    write_file(name + ".sizes", "".join("%d\n" % size for size in sizes).encode("ascii"))
    return sizes


def floor_run(programs, name, copying=False):
    """One run of the replay floor for a recording: its CPU time without the
    loading of the recording and without giving it back (the floor's own
    stderr tells both). A copying floor copies each write's bytes into a
    buffer before it writes them."""
    options = ["--copy"] if copying else []
    run = spawn_checked([programs.floor] + options + [name + ".sizes", name + ".out"], os.devnull,
                        stderr_path="floor-times")
    times = dict(line.split() for line in read_file("floor-times").decode().splitlines())
    setup = (int(times["load"]) + int(times["freed"])) / 1e6
    return Run(run.wall, max(run.cpu - setup, 1e-6), run.status)


# --- the folders ------------------------------------------------------------

def starter_folder(programs, folder):
    """Makes a folder with the edit data that the editor writes when none
    exists, and the inputs of the runs here; it becomes the current folder."""
    os.makedirs(folder)
    os.chdir(folder)
    write_file("editor-start", b"7\n")
    write_file("editor-tour", b"4\n5\n6\n7\n")
    write_file("game-start", b"1\nESC\n")
    spawn_checked([programs.editor], "editor-start")
    for name in ("editenemy", "editequipment", "editplayer"):
        if not os.path.isfile(name):
            sys.exit("bench: runewright did not write %s" % name)


# --- the scripted session ---------------------------------------------------

def session_script(lines):
    walk = [WALK[i % len(WALK)] for i in range(lines)]
    return ("\n".join(["2"] + walk + ["ESC"]) + "\n").encode("ascii")


def check_session(output):
    """The number of commands the session took; stops when it ended early."""
    if BOSS_QUESTION in output:
        sys.exit("bench: the session's walk reached the boss's square")
    if not output.endswith(PROMPT + CLOSING + PAUSE + b"\n"):
        sys.exit("bench: the session did not end at its closing ESC (the player fell?)")
    return output.count(PROMPT)


def record_session(programs, strace):
    """Writes a script of at least SESSION_COMMANDS commands, and records its
    output and writes in both locales.

    Every item find's swap dialogue reads lines up to the next "4", so the
    script needs more lines than it gives commands; it grows until the game
    has taken enough."""
    game = [programs.game, "--seed", str(SESSION_SEED)]
    lines = SESSION_COMMANDS
    for _ in range(4):
        write_file("session-script", session_script(lines))
        spawn_checked(game, "session-script", "session-C.out")
        commands = check_session(read_file("session-C.out"))
        if commands >= SESSION_COMMANDS:
            break
        lines = lines * SESSION_COMMANDS // commands + len(WALK)
    else:
        sys.exit("bench: the session script gives too few commands")
    for locale, env in LOCALES.items():
        record(strace, game, "session-script", "session-" + locale, env)
    return commands


def bench_session(programs, strace, reps):
    """Each repetition plays the session in both locales, each run followed
    by its floor's, so that every ratio pairs runs made side by side: the
    machine's speed changes from minute to minute."""
    commands = record_session(programs, strace)
    game = [programs.game, "--seed", str(SESSION_SEED)]
    result = {"commands": commands}
    played = {locale: [] for locale in LOCALES}
    floors = {locale: [] for locale in LOCALES}
    copying_floors = []
    for _ in range(reps):
        for locale, env in LOCALES.items():
            played[locale].append(spawn_checked(game, "session-script", env=env))
            floors[locale].append(floor_run(programs, "session-" + locale))
        copying_floors.append(floor_run(programs, "session-C", copying=True))
    for locale in LOCALES:
        name = "session-" + locale
        result[locale] = {
            "bytes": os.path.getsize(name + ".out"),
            "writes": len(read_file(name + ".sizes").split()),
            "cpu": Spread(run.cpu for run in played[locale]),
            "wall": Spread(run.wall for run in played[locale]),
            "floor_cpu": Spread(run.cpu for run in floors[locale]),
            "ratio": ratios((p.cpu, f.cpu) for p, f in zip(played[locale], floors[locale])),
        }
    result["utf8_ratio"] = ratios((u.cpu, c.cpu) for u, c in zip(played["UTF-8"], played["C"]))
    result["copying"] = {
        "floor_cpu": Spread(run.cpu for run in copying_floors),
        "ratio": ratios((p.cpu, f.cpu) for p, f in zip(played["C"], copying_floors)),
    }
    return result


def session_syscalls(programs, strace, env):
    """The system calls of the scripted session, by name, from strace -c."""
    with open("session-script", "rb") as stdin:
        done = subprocess.run([strace, "-c", "-o", "syscall-summary", programs.game, "--seed",
                               str(SESSION_SEED)], stdin=stdin, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, env=env, check=False)
    if done.returncode != 0:
        return None
    calls = {}
    for line in read_file("syscall-summary").decode().splitlines():
        fields = line.split()
        if len(fields) >= 5 and fields[0][0].isdigit() and fields[-1] != "total":
            calls[fields[-1]] = int(fields[3])
    return calls


def bench_scaling(programs, reps):
    """CPU time per unit of work at two sizes of it, beyond a run with none
    of it: per command of sessions of a quarter and of all SESSION_COMMANDS
    commands, and per MiB of one over-long line typed at the command prompt,
    of 8 and 64 MiB. A cost that grows faster than the work shows as a higher
    figure at the larger size. Lines of 2 MiB, which cost about 0.3 ms, were
    within the swing of a run's fixed cost: their figure went from 0.03 to
    0.18 ms per MiB between runs of the same program."""
    game = [programs.game, "--seed", str(SESSION_SEED)]
    result = {}
    for label, sizes, script_for, scale in (
            ("us per command", (0, SESSION_COMMANDS // 4, SESSION_COMMANDS), session_script, 1e6),
            ("ms per MiB of a line", (0, 8, 64), lambda mib: b"2\n" + b"x" * (mib << 20) + b"\nESC\n", 1e3)):
        runs = []
        for size in sizes:
            write_file("scaling-script", script_for(size))
            spawn_checked(game, "scaling-script", "scaling-output")
            units = check_session(read_file("scaling-output")) if scale == 1e6 else size
            runs.append((units, statistics.median(spawn_checked(game, "scaling-script").cpu for _ in range(reps))))
        (base_units, base_cpu), rest = runs[0], runs[1:]
        result[label] = [(units, (cpu - base_cpu) / (units - base_units) * scale) for units, cpu in rest]
    return result


# --- start-up ---------------------------------------------------------------

def start_cases(programs):
    return {"gloomhold": ([programs.game], "game-start"), "runewright": ([programs.editor], "editor-start")}


def bench_startup(programs, strace, reps, starts):
    """Each program to its first prompt and out again, against the floor
    writing the same output in the same writes."""
    result = {}
    for locale, env in LOCALES.items():
        for program, (argv, stdin_path) in start_cases(programs).items():
            name = "start-%s-%s" % (program, locale)
            record(strace, argv, stdin_path, name, env)
            cpus, floor_cpus, pairs = [], [], []
            for _ in range(reps):
                batch, floor_batch = [], []
                for _ in range(starts):
                    batch.append(spawn_checked(argv, stdin_path, env=env).cpu)
                    floor_batch.append(floor_run(programs, name).cpu)
                cpus.append(statistics.median(batch))
                floor_cpus.append(statistics.median(floor_batch))
                pairs.append((cpus[-1], floor_cpus[-1]))
            result[(program, locale)] = {"cpu": Spread(cpus), "floor_cpu": Spread(floor_cpus),
                                         "ratio": ratios(pairs)}
    return result


def instructions(valgrind, argv, stdin_path, env):
    """The instructions that a run executes in user space, as callgrind
    counts them (the dynamic loader's included)."""
    with open(stdin_path, "rb") as stdin:
        done = subprocess.run([valgrind, "--tool=callgrind", "--callgrind-out-file=/dev/null"] + argv,
                              stdin=stdin, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env,
                              check=False)
    match = re.search(rb"Collected : (\d+)", done.stderr)
    return int(match.group(1)) if match else None


def startup_instructions(programs, valgrind):
    if valgrind is None:
        return None
    counts = {}
    for locale, env in LOCALES.items():
        for program, (argv, stdin_path) in start_cases(programs).items():
            name = "start-%s-%s" % (program, locale)
            counts[(program, locale)] = (
                instructions(valgrind, argv, stdin_path, env),
                instructions(valgrind, [programs.floor, name + ".sizes", name + ".out"], os.devnull, env))
    return counts


# --- peak memory ------------------------------------------------------------

PTRACE_TRACEME, PTRACE_CONT, PTRACE_SETOPTIONS = 0, 7, 0x4200
PTRACE_O_TRACEEXIT, PTRACE_EVENT_EXIT = 0x40, 6


def peak_kib(argv, stdin_path, env=LOCALES["C"]):
    """The peak resident set of a run, in KiB: VmHWM of the program's own
    memory, read when it ends (it is traced only to stop it there). Peaks
    that the kernel keeps across exec would carry this process's own."""
    libc = ctypes.CDLL(None, use_errno=True)
    libc.ptrace.argtypes = [ctypes.c_long, ctypes.c_long, ctypes.c_void_p, ctypes.c_void_p]
    stdin = os.open(stdin_path, os.O_RDONLY)
    pid = os.fork()
    if pid == 0:
        try:
            os.dup2(stdin, 0)
            null = os.open(os.devnull, os.O_WRONLY)
            os.dup2(null, 1)
            os.dup2(null, 2)
            libc.ptrace(PTRACE_TRACEME, 0, None, None)
            os.execve(argv[0], argv, env)
        finally:
            os._exit(127)
    os.close(stdin)
    _, status = os.waitpid(pid, 0)          # stopped at its exec
    libc.ptrace(PTRACE_SETOPTIONS, pid, None, ctypes.c_void_p(PTRACE_O_TRACEEXIT))
    libc.ptrace(PTRACE_CONT, pid, None, None)
    peak = None
    while True:
        _, status = os.waitpid(pid, 0)
        if os.WIFEXITED(status) or os.WIFSIGNALED(status):
            break
        signal = 0
        if status >> 8 == (os.WSTOPSIG(status) | (PTRACE_EVENT_EXIT << 8)):
            for line in read_file("/proc/%d/status" % pid).decode().splitlines():
                if line.startswith("VmHWM:"):
                    peak = int(line.split()[1])
        elif os.WSTOPSIG(status) != 5:
            signal = os.WSTOPSIG(status)
        libc.ptrace(PTRACE_CONT, pid, None, ctypes.c_void_p(signal))
    if peak is None or os.waitstatus_to_exitcode(status) != 0:
        sys.exit("bench: %s ended badly under the peak memory count" % argv[0])
    return peak


# Runs per peak figure: the programs are placed at a random address at every
# start, which moves the 64 KiB windows in which the kernel maps their pages,
# so one run's peak can differ from the next by a few windows.
MEMORY_RUNS = 5


def typical_peak_kib(argv, stdin_path, env=LOCALES["C"]):
    """The median of MEMORY_RUNS runs' peaks."""
    return int(statistics.median(peak_kib(argv, stdin_path, env) for _ in range(MEMORY_RUNS)))


def bench_memory(programs, report_folder):
    """Each program's highest typical peak over its runs here, against the
    floor's peak replaying its start-up's output."""
    floor = max(typical_peak_kib([programs.floor, "start-%s-C.sizes" % p, "start-%s-C.out" % p], os.devnull)
                for p in ("gloomhold", "runewright"))
    game = [programs.game, "--seed", str(SESSION_SEED)]
    peaks = {
        "gloomhold": {"start": typical_peak_kib([programs.game], "game-start"),
                      "start UTF-8": typical_peak_kib([programs.game], "game-start", LOCALES["UTF-8"]),
                      "session": typical_peak_kib(game, "session-script"),
                      "session UTF-8": typical_peak_kib(game, "session-script", LOCALES["UTF-8"])},
        "runewright": {"start": typical_peak_kib([programs.editor], "editor-start"),
                       "start UTF-8": typical_peak_kib([programs.editor], "editor-start", LOCALES["UTF-8"])},
    }
    here = os.getcwd()
    os.chdir(report_folder)
    peaks["runewright"]["report"] = typical_peak_kib([programs.editor, "--report", "--battles", "20000"],
                                                     os.devnull)
    os.chdir(here)
    return {"floor_kib": floor, "peaks": peaks}


# --- the balance report -----------------------------------------------------

LEVEL_UP_ROW = re.compile(rb"^ +\d+: +[0-9.]+ %$")
ENEMY_ROW = re.compile(rb"^[1-9] +\S")
# An enemy row ends with its win %, mean blows and mean HP left.
ENEMY_MEANS = re.compile(rb" ([0-9.]+) +([0-9.]+) +([0-9.]+)$")


def battle_section(output):
    """The report's battle section: everything before its whole games."""
    return output.split(b"\n\nWhole games:")[0] + b"\n"


def report_battles(output, battles_per_row):
    """How many battles a report fought: one row of battles per enemy and per
    level-up count that its battle section printed, but for the row of no
    level-up, which is the boss's own row of the table, fought once."""
    lines = battle_section(output).split(b"\n")
    header = re.match(rb"Balance report: (\d+) battles per enemy", lines[0])
    if header is None or int(header.group(1)) != battles_per_row:
        sys.exit("bench: the balance report does not begin as expected")
    enemy_rows = sum(1 for line in lines if ENEMY_ROW.match(line))
    level_up_rows = sum(1 for line in lines if LEVEL_UP_ROW.match(line))
    if enemy_rows == 0 or level_up_rows == 0:
        sys.exit("bench: the balance report has no rows")
    return battles_per_row * (enemy_rows + level_up_rows - 1), enemy_rows, level_up_rows


def report_blows(output, battles_per_row):
    """The blows of a report's enemy rows: each row's battles times its mean
    blows (printed to 0.01)."""
    means = [float(ENEMY_MEANS.search(line).group(2)) for line in battle_section(output).split(b"\n")
             if ENEMY_ROW.match(line)]
    return battles_per_row * sum(means)


def timed_report(programs, battles_per_row, reps):
    # One whole game only: what is timed here is the battles.
    argv = [programs.editor, "--report", "--battles", str(battles_per_row), "--games", "1"]
    spawn_checked(argv, os.devnull, "report-output")
    output = read_file("report-output")
    runs = [spawn_checked(argv, os.devnull) for _ in range(reps)]
    return output, Spread(run.cpu for run in runs)


def reference_editenemy():
    """The edit enemy file of the reference roster, as the editor writes one."""
    return b"".join(b"%d %d %d %d\n%s\n" % (hp, ap, dp, sp, name.encode("cp932"))
                    for hp, ap, dp, sp, name in REFERENCE_ROSTER)


def bench_report(programs, reps, battles_per_row, report_folder, blows_folder, reference_folder):
    """Battles per second of CPU on the reference roster and on the starter
    data; blows per second on the starter data with the boss replaced by the
    first enemy, where the only level-up row (the fresh player beats that
    boss) is the last enemy row itself, so every battle's blows are known."""
    os.chdir(reference_folder)
    write_file("editenemy", reference_editenemy())
    reference_output, reference_cpu = timed_report(programs, battles_per_row, reps)
    reference_battles, reference_enemy_rows, reference_level_up_rows = report_battles(reference_output,
                                                                                      battles_per_row)
    os.chdir(report_folder)
    output, cpu = timed_report(programs, battles_per_row, reps)
    battles, enemy_rows, level_up_rows = report_battles(output, battles_per_row)
    os.chdir(blows_folder)
    enemies = read_file("editenemy").split(b"\n")
    write_file("editenemy", b"\n".join(enemies[:8] + enemies[:2] + enemies[10:]))
    blow_output, blow_cpu = timed_report(programs, battles_per_row, reps)
    blow_battles, _, blow_level_up_rows = report_battles(blow_output, battles_per_row)
    blows = report_blows(blow_output, battles_per_row)
    if blow_level_up_rows != 1:
        sys.exit("bench: the blows report has %d level-up rows, not 1" % blow_level_up_rows)
    return {"reference_battles": reference_battles, "reference_enemy_rows": reference_enemy_rows,
            "reference_level_up_rows": reference_level_up_rows, "reference_cpu": reference_cpu,
            "reference_per_second": Spread(reference_battles / c for c in reference_cpu.values),
            "battles": battles, "enemy_rows": enemy_rows, "level_up_rows": level_up_rows, "cpu": cpu,
            "per_second": Spread(battles / c for c in cpu.values),
            "blows": blows, "blow_battles": blow_battles,
            "blows_per_second": Spread(blows / c for c in blow_cpu.values),
            "blow_battles_per_second": Spread(blow_battles / c for c in blow_cpu.values)}


# --- a session in a pseudo-terminal ----------------------------------------

WAITING_CALLS = {"0", "7", "23", "270", "271"}   # read, poll, select, pselect6, ppoll


def blocking_call(pid):
    """The system call that the process is in, as /proc shows it."""
    try:
        return read_file("/proc/%d/syscall" % pid).decode()
    except OSError:
        return ""


def waiting_for_input(pid):
    """Whether the process sits in a read of standard input (or a poll)."""
    fields = blocking_call(pid).split()
    return bool(fields) and fields[0] in WAITING_CALLS and (fields[0] != "0" or fields[1] == "0x0")


def io_counts(pid):
    counts = {}
    for line in read_file("/proc/%d/io" % pid).decode().splitlines():
        key, value = line.split(":")
        counts[key] = int(value)
    return counts["syscw"], counts["wchar"]


def drain(master, seconds):
    """Everything the terminal shows within the time given, in one piece."""
    data = b""
    while select.select([master], [], [], seconds)[0]:
        try:
            chunk = os.read(master, 65536)
        except OSError:
            break
        if not chunk:
            break
        data += chunk
        seconds = 0
    return data


def bench_terminal(programs, commands):
    """A session played in a pseudo-terminal (C locale: a cp932 terminal):
    each time the game waits for input, the write calls and bytes it made
    since its last wait are counted from /proc, then the next line is typed
    (or a key pressed where it waits for one)."""
    script = session_script(commands).decode().split("\n")[:-1]
    master, slave = os.openpty()
    termios.tcsetattr(slave, termios.TCSANOW, termios.tcgetattr(slave))
    env = dict(LOCALES["C"], TERM="xterm")
    pid = os.posix_spawn(programs.game, [programs.game, "--seed", str(SESSION_SEED)], env,
                         file_actions=[(os.POSIX_SPAWN_DUP2, slave, 0), (os.POSIX_SPAWN_DUP2, slave, 1),
                                       (os.POSIX_SPAWN_DUP2, slave, 2)], setsid=True)
    os.close(slave)
    turns, tail, last = [], b"", (0, 0)
    deadline = time.monotonic() + 600
    while time.monotonic() < deadline:
        shown = drain(master, 0.0005)
        tail = (tail + shown)[-256:]
        done, status = os.waitpid(pid, os.WNOHANG)
        if done:
            break
        if shown or not waiting_for_input(pid):
            continue
        # A wait is the same call, with nothing written, over 10 ms (a poll
        # that looks for the rest of a key's sequence passes at once).
        call, now = blocking_call(pid), io_counts(pid)
        if drain(master, 0.01) or blocking_call(pid) != call or io_counts(pid) != now:
            continue
        turns.append((now[0] - last[0], now[1] - last[1]))
        last = now
        if tail.endswith(KEY_WAIT) or tail.rstrip(b"\r\n").endswith(PAUSE.rstrip()) or not script:
            os.write(master, b"x")
        else:
            os.write(master, script.pop(0).encode("ascii") + b"\r")
        tail = b""
    else:
        os.kill(pid, 9)
        os.waitpid(pid, 0)
        sys.exit("bench: the session in a terminal did not end")
    os.close(master)
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("bench: the session in a terminal ended with status %d" % os.waitstatus_to_exitcode(status))
    return {"turns": len(turns), "writes": Spread(w for w, _ in turns), "bytes": Spread(b for _, b in turns),
            "several": sum(1 for w, _ in turns if w > 1)}


# --- processes --------------------------------------------------------------

PROCESS_CALL = re.compile(r"^(?:\d+ +)?(clone3?|fork|vfork|execve|execveat)\(")


def traced(strace_argv, stdin_path):
    """Runs a program under strace; False when tracing is not allowed here."""
    with open(stdin_path, "rb") as stdin:
        done = subprocess.run(strace_argv, stdin=stdin, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, env=LOCALES["C"], check=False)
    return done.returncode == 0


def processes_started(strace, argv, stdin_path):
    """Processes and programs that a run starts: its forks and clones, and
    every program it runs after its own start."""
    if not traced([strace, "-f", "-qq", "-e", "trace=%process", "-o", "process-trace"] + argv, stdin_path):
        raise OSError("strace cannot trace %s here" % argv[0])
    calls = [m.group(1) for m in map(PROCESS_CALL.match, read_file("process-trace").decode().splitlines()) if m]
    execs = sum(1 for call in calls if call.startswith("exec"))
    return len(calls) - execs + max(execs - 1, 0)


def bench_processes(programs, strace, report_folder):
    counts = {
        "gloomhold": processes_started(strace, [programs.game, "--seed", str(SESSION_SEED)], "session-script"),
        "runewright": processes_started(strace, [programs.editor], "editor-tour"),
    }
    here = os.getcwd()
    os.chdir(report_folder)
    counts["runewright"] += processes_started(strace, [programs.editor, "--report", "--battles", "1000"],
                                              os.devnull)
    os.chdir(here)
    return counts


# --- the report -------------------------------------------------------------

def machine():
    model = "unknown CPU"
    try:
        for line in read_file("/proc/cpuinfo").decode(errors="replace").splitlines():
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    except OSError:
        pass
    return "%d CPUs (%s)" % (len(os.sched_getaffinity(0)), model)


def load():
    return "load %.2f %.2f %.2f" % os.getloadavg()


def verdict(met):
    return "ok" if met else "MISSED"


def print_session(session, syscalls):
    print("Scripted session: %d commands; CPU time in ms, median (lowest-highest)" % session["commands"])
    for locale in LOCALES:
        s = session[locale]
        print("  %-5s  %.1f MB in %d writes: game %s, floor %s, ratio %s"
              % (locale, s["bytes"] / 1e6, s["writes"], s["cpu"].show(1e3, 1), s["floor_cpu"].show(1e3, 2),
                 s["ratio"].show()))
        if syscalls.get(locale):
            calls = syscalls[locale]
            busiest = ", ".join("%s %d" % item for item in sorted(calls.items(), key=lambda i: -i[1])[:5])
            print("         system calls %d: %s" % (sum(calls.values()), busiest))
    c, utf8 = session["C"], session["UTF-8"]
    print("  C locale against the write floor: %.2f, target at most %.1f: %s   (was %s)"
          % (c["ratio"].median, SESSION_TARGET, verdict(c["ratio"].median <= SESSION_TARGET), OLD["session"]))
    copying = session["copying"]
    print("  C locale against a floor that copies each write's bytes into a buffer first: %s (floor %s ms; no target)"
          % (copying["ratio"].show(), copying["floor_cpu"].show(1e3, 2)))
    print("  UTF-8 against the C locale: %s, target at most %.1f: %s   (was %s)"
          % (session["utf8_ratio"].show(), UTF8_TARGET, verdict(session["utf8_ratio"].median <= UTF8_TARGET),
             OLD["utf8"]))
    print("  %.3f us of CPU per command in the C locale, %.3f us in UTF-8"
          % (c["cpu"].median / session["commands"] * 1e6, utf8["cpu"].median / session["commands"] * 1e6))
    return [c["ratio"].median <= SESSION_TARGET, session["utf8_ratio"].median <= UTF8_TARGET]


def print_scaling(scaling):
    print("Growth with the work (CPU time, C locale)")
    for label, ((small, at_small), (large, at_large)) in scaling.items():
        print("  %s: %.3f at %d, %.3f at %d (%.2f x)" % (label, at_small, small, at_large, large, at_large / at_small))


def print_startup(startup, counts):
    print("Start-up to the first prompt and out: CPU time in ms against the floor writing the same output")
    met = []
    for (program, locale), s in startup.items():
        ok = s["ratio"].median <= STARTUP_TARGET
        line = "  %-10s %-5s  %s, floor %s, ratio %s" % (program, locale, s["cpu"].show(1e3, 3),
                                                         s["floor_cpu"].show(1e3, 3), s["ratio"].show())
        if counts is not None and None not in counts[(program, locale)]:
            ours, floor = counts[(program, locale)]
            line += "; %d instructions, %.2f x the floor's %d" % (ours, ours / floor, floor)
        print(line + (": %s" % verdict(ok) if locale == "C" else ""))
        if locale == "C":
            met.append(ok)
    print("  target at most %.1f in the C locale   (was %s)" % (STARTUP_TARGET, OLD["startup"]))
    return met


def print_memory(memory):
    floor = memory["floor_kib"]
    print("Peak resident memory, median of %d runs each (floor %d KiB)" % (MEMORY_RUNS, floor))
    met = []
    for program, peaks in memory["peaks"].items():
        highest = max(peaks.values())
        shown = ", ".join("%s %d" % item for item in peaks.items())
        met.append(highest / floor <= MEMORY_TARGET)
        print("  %-10s highest %d KiB, ratio %.2f, target at most %.1f: %s   (%s KiB)"
              % (program, highest, highest / floor, MEMORY_TARGET, verdict(met[-1]), shown))
    print("  (was %s)" % OLD["memory"])
    return met


def print_report(report):
    print("Balance report, reference roster (the former starter roster, boss 30 HP): %d battles"
          " (%d enemy rows and %d level-up rows), CPU %s s"
          % (report["reference_battles"], report["reference_enemy_rows"], report["reference_level_up_rows"],
             report["reference_cpu"].show(1, 3)))
    rate = report["reference_per_second"]
    print("  %s M battles per second of CPU on the reference roster, target at least %d M: %s   (was %s)"
          % (rate.show(1e-6, 1), BATTLES_TARGET // 1_000_000, verdict(rate.median >= BATTLES_TARGET),
             OLD["report"]))
    print("Balance report, starter data (boss 280 HP, long level-up rows): %d battles"
          " (%d enemy rows and %d level-up rows), CPU %s s"
          % (report["battles"], report["enemy_rows"], report["level_up_rows"], report["cpu"].show(1, 3)))
    print("  %s M battles per second of CPU on the starter data (no target: its battles are not the"
          " reference roster's)" % report["per_second"].show(1e-6, 1))
    print("  %s M blows per second of CPU on the starter data with the boss replaced by the first enemy"
          " (%d blows in %d battles; %s M battles per second there); blows compare across rosters"
          % (report["blows_per_second"].show(1e-6, 1), report["blows"], report["blow_battles"],
             report["blow_battles_per_second"].show(1e-6, 1)))
    return [rate.median >= BATTLES_TARGET]


def bench_whole_games(programs, reps, games):
    """Whole games of the report per second of CPU (one battle per row besides)."""
    argv = [programs.editor, "--report", "--battles", "1", "--games", str(games)]
    cpu = Spread(spawn_checked(argv, os.devnull).cpu for _ in range(reps))
    return {"games": games, "cpu": cpu, "per_second": Spread(games / c for c in cpu.values)}


def print_whole_games(games):
    rate = games["per_second"]
    print("Whole games of the report: %d, CPU %s s" % (games["games"], games["cpu"].show(1, 3)))
    print("  %s whole games per second of CPU, target at least %d: %s"
          % (rate.show(1, 0), GAMES_TARGET, verdict(rate.median >= GAMES_TARGET)))
    return [rate.median >= GAMES_TARGET]


def print_terminal(terminal):
    print("Session in a pseudo-terminal (C locale), %d turns: per turn, median (lowest-highest)" % terminal["turns"])
    print("  write calls %s, bytes %s; turns with more than one write: %d"
          % (terminal["writes"].show(1, 0), terminal["bytes"].show(1, 0), terminal["several"]))


class Programs:
    def __init__(self, bin_dir):
        self.game = os.path.join(bin_dir, "gloomhold")
        self.editor = os.path.join(bin_dir, "runewright")
        self.floor = os.path.join(bin_dir, "replay_floor")
        for path in (self.game, self.editor, self.floor):
            if not os.access(path, os.X_OK):
                sys.exit("bench: %s is not built (make bench builds it)" % path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--bin", default="build/release/bin", help="folder of the built programs")
    parser.add_argument("--reps", type=int, default=7, help="repetitions of every timing")
    parser.add_argument("--starts", type=int, default=20, help="starts per repetition of the start-up")
    parser.add_argument("--battles", type=int, default=200_000, help="battles per row of the report")
    parser.add_argument("--games", type=int, default=200_000, help="whole games of the report")
    parser.add_argument("--pty-commands", type=int, default=PTY_COMMANDS, help="commands of the terminal session")
    parser.add_argument("--strict", action="store_true", help="exit with status 1 when a target is missed")
    args = parser.parse_args()

    programs = Programs(os.path.abspath(args.bin))
    strace = tool("strace", "strace")
    if strace is None:
        sys.exit("bench: needs strace, to record the programs' writes")
    valgrind = shutil.which("valgrind")
    began = time.perf_counter()
    start_folder = os.getcwd()
    loads = {"start": load()}
    with tempfile.TemporaryDirectory(prefix="gloomhold-bench-") as folder:
        # The report plays the starter content; the session a sturdy player.
        report_folder = os.path.join(folder, "starter")
        starter_folder(programs, report_folder)
        blows_folder = os.path.join(folder, "blows")
        starter_folder(programs, blows_folder)
        reference_folder = os.path.join(folder, "reference")
        starter_folder(programs, reference_folder)
        starter_folder(programs, os.path.join(folder, "session"))
        write_file("editplayer", STURDY_PLAYER)
        print("bench: scripted session", flush=True)
        session = bench_session(programs, strace, args.reps)
        syscalls = {locale: session_syscalls(programs, strace, env) for locale, env in LOCALES.items()}
        scaling = bench_scaling(programs, args.reps)
        loads["session"] = load()
        print("bench: start-up", flush=True)
        startup = bench_startup(programs, strace, args.reps, args.starts)
        counts = startup_instructions(programs, valgrind)
        loads["start-up"] = load()
        print("bench: peak memory, processes, terminal", flush=True)
        memory = bench_memory(programs, report_folder)
        processes = bench_processes(programs, strace, report_folder)
        terminal = bench_terminal(programs, args.pty_commands)
        print("bench: balance report", flush=True)
        report = bench_report(programs, args.reps, args.battles, report_folder, blows_folder, reference_folder)
        os.chdir(report_folder)
        games = bench_whole_games(programs, args.reps, args.games)
        loads["report"] = load()
        os.chdir(start_folder)
    print()
    print("Machine: %s; %d repetitions; %s" % (machine(), args.reps, ", ".join("%s: %s" % i for i in loads.items())))
    print()
    met = print_session(session, syscalls)
    print()
    print_scaling(scaling)
    print()
    met += print_startup(startup, counts)
    print()
    met += print_memory(memory)
    print()
    met += print_report(report)
    met += print_whole_games(games)
    print()
    print_terminal(terminal)
    print()
    print("Processes started: gloomhold %d, runewright %d, target 0: %s"
          % (processes["gloomhold"], processes["runewright"], verdict(not any(processes.values()))))
    met.append(not any(processes.values()))
    print()
    print("Took %.1f s." % (time.perf_counter() - began))
    return 1 if args.strict and not all(met) else 0


if __name__ == "__main__":
    sys.exit(main())
