#!/usr/bin/env python3
"""Writes cmake/hot_code.txt: the functions that the programs run in their
usual runs, in the order they are first met, for the linker to lay out
together at the front of the program text (cmake/static_programs.cmake),
and the read-only data that they first touch, likewise.

    python3 bench/hot_code.py --bin build/release/bin [--build build/release]

The runs: each program's start in the C locale and in UTF-8, a scripted game
session in both, the editor's listings, and the balance report. Each is run
under callgrind, which names every function it executes. Two kinds of code
escape it, and are added by name:
- the string functions that the C library picks for the processor when the
  program starts (memcpy, strlen, ...): under valgrind it picks other ones
  than on the machine, so every variant of each that ran is listed;
- code that valgrind names otherwise than the symbol table does: where `perf`
  can count page faults here, the functions in which the programs' code is
  first touched are added too. The kernel maps a whole window of pages at
  the first touch, which hides the next function touched in that window;
  with --build, the programs are linked again with the list and run again,
  until no new function shows.

Run it on a release build after changes that move much code between
functions; a name that no longer exists is simply passed over by the
linker, so a stale list costs memory, never correctness."""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
WALK = ["up", "right", "down", "left", "down", "left", "up", "right", "down", "4"]
LOCALES = ({"LC_ALL": "C"}, {"LANG": "C.UTF-8"})
# The C library's string functions come in variants per processor feature.
VARIANT = re.compile(r"^__([a-z]+)_(sse2|sse4|ssse3|avx|avx2|evex|avx512|erms)")


def runs(game, editor):
    """(program argv, standard input) of every run, in the order they count."""
    session = "\n".join(["2"] + [WALK[i % len(WALK)] for i in range(3000)] + ["ESC"]) + "\n"
    inputs = {"game-start": "1\nESC\n", "editor-start": "7\n", "editor-tour": "4\n5\n6\n7\n",
              "session": session}
    for name, text in inputs.items():
        with open(name, "w", encoding="ascii") as f:
            f.write(text)
    for env in LOCALES:
        yield [game], "game-start", env
        yield [editor], "editor-start", env
    for env in LOCALES:
        yield [game, "--seed", "1"], "session", env
        yield [editor], "editor-tour", env
    yield [editor, "--report", "--battles", "2000", "--games", "200"], os.devnull, LOCALES[1]


def run(argv, stdin_path, env):
    with open(stdin_path, "rb") as stdin:
        subprocess.run(argv, stdin=stdin, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       env=dict(env, PATH=os.environ.get("PATH", "/usr/bin:/bin")), check=False)


def executed(valgrind, argv, stdin_path, env):
    """The functions that a run executes, by callgrind, most costly first."""
    run([valgrind, "--tool=callgrind", "--demangle=no", "--callgrind-out-file=profile"] + argv,
        stdin_path, env)
    listing = subprocess.run(["callgrind_annotate", "--threshold=100", "profile"], capture_output=True,
                             text=True, check=False).stdout
    os.remove("profile")
    names = []
    for line in listing.splitlines():
        match = re.match(r"^\s*[\d,]+ \([^)]*\)\s+\S*?:(\S+) \[", line)
        if match and match.group(1) != "PROGRAM":
            names.append(match.group(1))
    return names


def first_touched(perf, argv, stdin_path, env):
    """The functions and read-only data in which a run first touched a page
    of the program."""
    if perf is None:
        return []
    run([perf, "record", "-q", "-e", "page-faults", "-c", "1", "-d", "-o", "faults"] + argv, stdin_path, env)
    listing = subprocess.run([perf, "script", "--no-demangle", "-i", "faults", "-F", "ip,sym,addr"],
                             capture_output=True, text=True, check=False).stdout
    if os.path.exists("faults"):
        os.remove("faults")
    names = []
    for line in listing.splitlines():
        fields = line.split()
        # The faulting address and its symbol, then the instruction's.
        if len(fields) >= 3 and fields[1] != "[unknown]":
            names.append(fields[1])
    return names


def placeable_symbols(binary):
    """The program's functions and read-only data: what the list may name."""
    listing = subprocess.run(["nm", binary], capture_output=True, text=True, check=True).stdout
    return [fields[2] for fields in (line.split() for line in listing.splitlines())
            if len(fields) == 3 and fields[1] in "tTWrRi"]


def resolvers(binary):
    """The functions that choose a string function's variant: a static
    program runs every one of them at every start."""
    listing = subprocess.run(["nm", binary], capture_output=True, text=True, check=True).stdout
    return [fields[2] for fields in (line.split() for line in listing.splitlines())
            if len(fields) == 3 and fields[1] == "i"]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--bin", default="build/release/bin", help="folder of the built programs")
    parser.add_argument("--out", default=os.path.join(HERE, "..", "cmake", "hot_code.txt"))
    parser.add_argument("--build", help="build folder to link the programs again in, with the list")
    args = parser.parse_args()
    game = os.path.abspath(os.path.join(args.bin, "gloomhold"))
    editor = os.path.abspath(os.path.join(args.bin, "runewright"))
    out = os.path.abspath(args.out)
    build = os.path.abspath(args.build) if args.build else None
    valgrind = shutil.which("valgrind")
    if valgrind is None:
        sys.exit("hot_code: valgrind is needed")
    perf = shutil.which("perf")
    if perf is not None and subprocess.run([perf, "record", "-q", "-e", "page-faults", "-o", "/dev/null", "true"],
                                           capture_output=True, check=False).returncode != 0:
        perf = None

    order = {}
    with tempfile.TemporaryDirectory() as folder:
        os.chdir(folder)
        run([editor], os.devnull, LOCALES[0])   # the starter edit data
        for argv, stdin_path, env in runs(game, editor):
            for name in executed(valgrind, argv, stdin_path, env) + first_touched(perf, argv, stdin_path, env):
                order.setdefault(name, None)
        count = write_list(order, game, editor, out)
        for _ in range(6 if build and perf else 0):
            subprocess.run(["cmake", "--build", build, "--target", "gloomhold", "runewright"],
                           stdout=subprocess.DEVNULL, check=True)
            before = len(order)
            for argv, stdin_path, env in runs(game, editor):
                for name in first_touched(perf, argv, stdin_path, env):
                    order.setdefault(name, None)
            if len(order) == before:
                break
            count = write_list(order, game, editor, out)
    print("hot_code: %d functions in %s" % (count, out))


def variant_kind(name):
    """The processor features that a string function's variant is for: a
    machine picks the variants of one kind."""
    for kind in ("evex", "avx512", "rtm", "avx", "sse4", "ssse3"):
        if kind in name:
            return kind
    return "sse2"


def write_list(order, game, editor, out):
    """Writes the names that the programs have: the variant choosers, the
    functions and data in the order met, then every
    variant of the string functions met, grouped by the processor features
    they are for (a machine runs one group); returns their number."""
    symbols = set(placeable_symbols(game)) | set(placeable_symbols(editor))
    families = {match.group(1) for match in map(VARIANT.match, order) if match}
    variants = sorted((symbol for symbol in symbols
                       if (match := VARIANT.match(symbol)) and match.group(1) in families),
                      key=lambda name: (variant_kind(name), name))
    first = sorted(set(resolvers(game)) | set(resolvers(editor)))
    names = first + [name for name in order if name in symbols and not VARIANT.match(name) and name not in first]
    names += variants
    with open(out, "w", encoding="ascii") as f:
        f.write("".join(name + "\n" for name in names))
    return len(names)


if __name__ == "__main__":
    main()
