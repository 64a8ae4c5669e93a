#!/usr/bin/env python3
"""What a turn, a start and a battle of gloomhold and runewright cost.

Every figure is a ratio to a floor measured side by side in the same run, so
that it holds on a busy machine:

- a scripted edit-play session of about 100,000 commands, per command,
  against `cat` copying the session's own output;
- the start-up to the first prompt and out again, against a minimal C++
  program of the same build that prints one line;
- the peak resident memory, against the same minimal program;
- the balance report's battles per second;
- the processes that the programs start (there must be none).

Each timing is repeated; a repetition runs the program and its floor one after
the other, and the figure is the median of the repetitions' ratios.

    python3 bench/bench.py --bin build/release/bin
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ENVIRONMENT = {"LC_ALL": "C", "PATH": os.environ.get("PATH", "/usr/bin:/bin")}

# Targets: most a ratio may be (the battle rate: least battles per second).
SESSION_TARGET = 5.0
STARTUP_TARGET = 1.5
MEMORY_TARGET = 1.5
BATTLES_TARGET = 1_000_000
GAMES_TARGET = 50_000

SESSION_COMMANDS = 100_000
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
CLOSING = "gameover... thank you playing !\n".encode("cp932")


# --- running programs -------------------------------------------------------

class Run:
    """One finished run: wall time and the child's CPU time, in seconds."""

    def __init__(self, wall, cpu, status):
        self.wall = wall
        self.cpu = cpu
        self.status = status


def spawn(argv, stdin_path, stdout_path=os.devnull):
    """Runs argv in the current folder to its end, input from a file."""
    actions = [(os.POSIX_SPAWN_OPEN, 0, stdin_path, os.O_RDONLY, 0),
               (os.POSIX_SPAWN_OPEN, 1, stdout_path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)]
    start = time.perf_counter()
    pid = os.posix_spawn(argv[0], argv, ENVIRONMENT, file_actions=actions)
    _, status, usage = os.wait4(pid, 0)
    wall = time.perf_counter() - start
    return Run(wall, usage.ru_utime + usage.ru_stime, os.waitstatus_to_exitcode(status))


def spawn_checked(argv, stdin_path, stdout_path=os.devnull):
    run = spawn(argv, stdin_path, stdout_path)
    if run.status != 0:
        sys.exit("bench: %s ended with status %d" % (" ".join(argv), run.status))
    return run


def write_file(path, data):
    with open(path, "wb") as f:
        f.write(data)


def read_file(path):
    with open(path, "rb") as f:
        return f.read()


def median_ratio(pairs):
    """The median of the ratios of (measured, floor) pairs."""
    return statistics.median(measured / floor for measured, floor in pairs)


def tool(name, package):
    """The path of a tool, installed from Debian's packages when missing."""
    path = shutil.which(name)
    if path is None and shutil.which("apt-get") is not None and os.geteuid() == 0:
        print("bench: installing %s" % package, flush=True)
        subprocess.run(["apt-get", "install", "-y", "-qq", package], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=False)
        path = shutil.which(name)
    return path


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
    if not output.endswith(PROMPT + CLOSING + "続行するには何かキーを押してください . . . \n".encode("cp932")):
        sys.exit("bench: the session did not end at its closing ESC (the player fell?)")
    return output.count(PROMPT)


def record_session(programs):
    """Writes a script of at least SESSION_COMMANDS commands and its output.

    Every item find's swap dialogue reads lines up to the next "4", so the
    script needs more lines than it gives commands; it grows until the game
    has taken enough."""
    lines = SESSION_COMMANDS
    for _ in range(4):
        write_file("session-script", session_script(lines))
        spawn_checked([programs.game, "--seed", str(SESSION_SEED)], "session-script", "session-output")
        commands = check_session(read_file("session-output"))
        if commands >= SESSION_COMMANDS:
            return commands
        lines = lines * SESSION_COMMANDS // commands + len(WALK)
    sys.exit("bench: the session script gives too few commands")


def bench_session(programs, reps):
    commands = record_session(programs)
    game = [programs.game, "--seed", str(SESSION_SEED)]
    cat = [shutil.which("cat"), "session-output"]
    pairs_wall, pairs_cpu, game_walls, cat_walls = [], [], [], []
    for _ in range(reps):
        played = spawn_checked(game, "session-script")
        copied = spawn_checked(cat, os.devnull)
        pairs_wall.append((played.wall, copied.wall))
        pairs_cpu.append((played.cpu, copied.cpu))
        game_walls.append(played.wall)
        cat_walls.append(copied.wall)
    return {
        "commands": commands,
        "bytes": os.path.getsize("session-output"),
        "per_command_us": statistics.median(game_walls) / commands * 1e6,
        "game_ms": statistics.median(game_walls) * 1e3,
        "cat_ms": statistics.median(cat_walls) * 1e3,
        "ratio": median_ratio(pairs_wall),
        "cpu_ratio": median_ratio(pairs_cpu),
    }


# --- start-up ---------------------------------------------------------------

def bench_startup(programs, reps, starts):
    """Each program to its first prompt and out again, against the floor."""
    cases = {
        "floor": ([programs.floor], os.devnull),
        "gloomhold": ([programs.game], "game-start"),
        "runewright": ([programs.editor], "editor-start"),
    }
    walls = {name: [] for name in cases}
    cpus = {name: [] for name in cases}
    for _ in range(reps):
        batch_wall = {name: [] for name in cases}
        batch_cpu = {name: [] for name in cases}
        for _ in range(starts):
            for name, (argv, stdin_path) in cases.items():
                run = spawn_checked(argv, stdin_path)
                batch_wall[name].append(run.wall)
                batch_cpu[name].append(run.cpu)
        for name in cases:
            walls[name].append(statistics.median(batch_wall[name]))
            cpus[name].append(statistics.median(batch_cpu[name]))
    result = {"floor_ms": statistics.median(walls["floor"]) * 1e3}
    for name in ("gloomhold", "runewright"):
        result[name] = {
            "ms": statistics.median(walls[name]) * 1e3,
            "ratio": median_ratio(zip(walls[name], walls["floor"])),
            "cpu_ratio": median_ratio(zip(cpus[name], cpus["floor"])),
        }
    return result


# --- peak memory ------------------------------------------------------------

def peak_kib(time_tool, argv, stdin_path):
    """The peak resident set of a run, in KiB, as GNU time reports it.

    GNU time, a small C program, starts the run: a child of this Python
    process would carry Python's own peak into its figure."""
    spawn_checked([time_tool, "-f", "%M", "-o", "peak"] + argv, stdin_path)
    return int(read_file("peak").split()[-1])


def bench_memory(programs, time_tool, report_folder):
    """Each program's highest peak over its runs here, against the floor's."""
    if time_tool is None:
        return None
    here = os.getcwd()
    peaks = {
        "floor": [peak_kib(time_tool, [programs.floor], os.devnull)],
        "gloomhold": [peak_kib(time_tool, [programs.game], "game-start"),
                      peak_kib(time_tool, [programs.game, "--seed", str(SESSION_SEED)], "session-script")],
        "runewright": [peak_kib(time_tool, [programs.editor], "editor-start")],
    }
    os.chdir(report_folder)
    peaks["runewright"].append(peak_kib(time_tool, [programs.editor, "--report", "--battles", "20000"],
                                        os.devnull))
    os.chdir(here)
    floor = max(peaks["floor"])
    result = {"floor_kib": floor}
    for name in ("gloomhold", "runewright"):
        result[name] = {"kib": max(peaks[name]), "ratio": max(peaks[name]) / floor}
    return result


# --- the balance report -----------------------------------------------------

LEVEL_UP_ROW = re.compile(rb"^ +\d+: +[0-9.]+ %$")
ENEMY_ROW = re.compile(rb"^[1-9] +\S")


def battle_section(output):
    """The report's battle section: everything before its whole games."""
    return output.split(b"\n\nWhole games:")[0] + b"\n"


def report_battles(output, battles_per_row):
    """How many battles a report fought: one row of battles per enemy and per
    level-up count that its battle section printed."""
    lines = battle_section(output).split(b"\n")
    header = re.match(rb"Balance report: (\d+) battles per enemy", lines[0])
    if header is None or int(header.group(1)) != battles_per_row:
        sys.exit("bench: the balance report does not begin as expected")
    enemy_rows = sum(1 for line in lines if ENEMY_ROW.match(line))
    level_up_rows = sum(1 for line in lines if LEVEL_UP_ROW.match(line))
    if enemy_rows == 0 or level_up_rows == 0:
        sys.exit("bench: the balance report has no rows")
    return battles_per_row * (enemy_rows + level_up_rows), enemy_rows, level_up_rows


def bench_report(programs, reps, battles_per_row):
    # One whole game only: what is timed here is the battles.
    argv = [programs.editor, "--report", "--battles", str(battles_per_row), "--games", "1"]
    spawn_checked(argv, os.devnull, "report-output")
    battles, enemy_rows, level_up_rows = report_battles(read_file("report-output"), battles_per_row)
    walls = [spawn_checked(argv, os.devnull).wall for _ in range(reps)]
    wall = statistics.median(walls)
    return {"battles": battles, "enemy_rows": enemy_rows, "level_up_rows": level_up_rows,
            "seconds": wall, "per_second": battles / wall}


def bench_whole_games(programs, reps, games):
    """Whole games of the report per second of CPU (one battle per row besides)."""
    argv = [programs.editor, "--report", "--battles", "1", "--games", str(games)]
    cpus = [spawn_checked(argv, os.devnull).cpu for _ in range(reps)]
    cpu = statistics.median(cpus)
    return {"games": games, "cpu": cpu, "per_second": games / cpu if cpu > 0 else float("inf")}


# --- processes and system calls --------------------------------------------

PROCESS_CALL = re.compile(r"^(?:\d+ +)?(clone3?|fork|vfork|execve|execveat)\(")


def traced(strace_argv, stdin_path):
    """Runs a program under strace; False when tracing is not allowed here."""
    with open(stdin_path, "rb") as stdin:
        done = subprocess.run(strace_argv, stdin=stdin, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, env=ENVIRONMENT, check=False)
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
    if strace is None:
        return None
    try:
        return count_processes(programs, strace, report_folder)
    except OSError as error:
        print("bench: %s" % error)
        return None


def count_processes(programs, strace, report_folder):
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


def session_syscalls(programs, strace):
    """The system calls of the scripted session, by name, from strace -c."""
    if strace is None:
        return None
    if not traced([strace, "-c", "-o", "syscall-summary", programs.game, "--seed", str(SESSION_SEED)],
                  "session-script"):
        return None
    calls = {}
    for line in read_file("syscall-summary").decode().splitlines():
        fields = line.split()
        if len(fields) >= 5 and fields[0][0].isdigit() and fields[-1] != "total":
            calls[fields[-1]] = int(fields[3])
    return calls


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
    load = os.getloadavg()[0] if hasattr(os, "getloadavg") else float("nan")
    return "%d CPUs (%s), load average %.2f" % (len(os.sched_getaffinity(0)), model, load)


def verdict(met):
    return "ok" if met else "MISSED"


def print_results(session, startup, memory, report, games, processes, syscalls, reps):
    print()
    print("Machine: %s; %d repetitions, medians" % (machine(), reps))
    print()
    ratio = session["ratio"]
    print("Scripted session: %d commands, %.1f MB of output" % (session["commands"], session["bytes"] / 1e6))
    print("  %.3f us per command (%.1f ms; cat of its output %.1f ms)"
          % (session["per_command_us"], session["game_ms"], session["cat_ms"]))
    print("  ratio to cat %.2f (CPU time %.2f), target at most %.1f: %s"
          % (ratio, session["cpu_ratio"], SESSION_TARGET, verdict(ratio <= SESSION_TARGET)))
    if syscalls is not None:
        total = sum(syscalls.values())
        busiest = ", ".join("%s %d" % item for item in sorted(syscalls.items(), key=lambda i: -i[1])[:4])
        print("  system calls %d (%.4f per command): %s" % (total, total / session["commands"], busiest))
    print()
    print("Start-up to the first prompt and out (minimal program %.2f ms)" % startup["floor_ms"])
    for name in ("gloomhold", "runewright"):
        s = startup[name]
        print("  %-10s %.2f ms, ratio %.2f (CPU time %.2f), target at most %.1f: %s"
              % (name, s["ms"], s["ratio"], s["cpu_ratio"], STARTUP_TARGET, verdict(s["ratio"] <= STARTUP_TARGET)))
    print()
    if memory is None:
        print("Peak memory: not measured (GNU time is missing)")
    else:
        print("Peak resident memory (minimal program %d KiB)" % memory["floor_kib"])
        for name in ("gloomhold", "runewright"):
            m = memory[name]
            print("  %-10s %d KiB, ratio %.2f, target at most %.1f: %s"
                  % (name, m["kib"], m["ratio"], MEMORY_TARGET, verdict(m["ratio"] <= MEMORY_TARGET)))
    print()
    print("Balance report: %d battles (%d enemy rows and %d level-up rows) in %.3f s"
          % (report["battles"], report["enemy_rows"], report["level_up_rows"], report["seconds"]))
    print("  %.0f battles per second, target at least %d: %s"
          % (report["per_second"], BATTLES_TARGET, verdict(report["per_second"] >= BATTLES_TARGET)))
    print("Whole games of the report: %d in %.3f s of CPU" % (games["games"], games["cpu"]))
    print("  %.0f whole games per second of CPU, target at least %d: %s"
          % (games["per_second"], GAMES_TARGET, verdict(games["per_second"] >= GAMES_TARGET)))
    print()
    if processes is None:
        print("Processes started: not measured (strace is missing or cannot trace here)")
    else:
        print("Processes started: gloomhold %d, runewright %d, target 0: %s"
              % (processes["gloomhold"], processes["runewright"], verdict(not any(processes.values()))))
    met = [ratio <= SESSION_TARGET, report["per_second"] >= BATTLES_TARGET, games["per_second"] >= GAMES_TARGET]
    met += [startup[name]["ratio"] <= STARTUP_TARGET for name in ("gloomhold", "runewright")]
    if memory is not None:
        met += [memory[name]["ratio"] <= MEMORY_TARGET for name in ("gloomhold", "runewright")]
    if processes is not None:
        met.append(not any(processes.values()))
    return all(met)


class Programs:
    def __init__(self, bin_dir):
        self.game = os.path.join(bin_dir, "gloomhold")
        self.editor = os.path.join(bin_dir, "runewright")
        self.floor = os.path.join(bin_dir, "floor_program")
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
    parser.add_argument("--strict", action="store_true", help="exit with status 1 when a target is missed")
    args = parser.parse_args()

    programs = Programs(os.path.abspath(args.bin))
    strace = tool("strace", "strace")
    time_tool = "/usr/bin/time" if os.access("/usr/bin/time", os.X_OK) else tool("time", "time")
    began = time.perf_counter()
    start_folder = os.getcwd()
    with tempfile.TemporaryDirectory(prefix="gloomhold-bench-") as folder:
        # The report plays the starter content; the session a sturdy player.
        report_folder = os.path.join(folder, "starter")
        starter_folder(programs, report_folder)
        starter_folder(programs, os.path.join(folder, "session"))
        write_file("editplayer", STURDY_PLAYER)
        print("bench: scripted session", flush=True)
        session = bench_session(programs, args.reps)
        syscalls = session_syscalls(programs, strace)
        print("bench: start-up", flush=True)
        startup = bench_startup(programs, args.reps, args.starts)
        print("bench: peak memory, processes", flush=True)
        memory = bench_memory(programs, time_tool, report_folder)
        processes = bench_processes(programs, strace, report_folder)
        print("bench: balance report", flush=True)
        os.chdir(report_folder)
        report = bench_report(programs, args.reps, args.battles)
        games = bench_whole_games(programs, args.reps, args.games)
        os.chdir(start_folder)
    all_met = print_results(session, startup, memory, report, games, processes, syscalls, args.reps)
    print()
    print("Took %.1f s." % (time.perf_counter() - began))
    return 1 if args.strict and not all_met else 0


if __name__ == "__main__":
    sys.exit(main())
