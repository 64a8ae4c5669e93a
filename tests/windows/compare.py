"""Runs the end-to-end tests once more, each program run also replayed by the
Windows programs under Wine, and compares the two.

Every run that a test makes through the harness is made twice: by the Linux
program in the test's own folder, as always, and by the Windows program in a
copy of that folder as it was just before the run. The Windows run must give
the same exit status, and the same bytes on standard output and standard
error and in every file it leaves, with each line feed written as CR LF (a
text-mode stream on Windows); files it did not write must stay as they were.
The test's own checks then run on the Linux result, as they always do.

A test that needs what only a POSIX system has (a terminal driven through
tmux, immutable files, mounts) is left out with its reason, and so is one
that would compare nothing (programs started outside the harness, process
limits, another character set than cp932 at the console), by the lists
below; a test that is not listed and compares nothing fails.

Environment: GLOOMHOLD, RUNEWRIGHT (the Linux programs), GLOOMHOLD_EXE,
RUNEWRIGHT_EXE (the Windows programs), WINEPREFIX (created on first use).
"""
import os
import shutil
import stat
import subprocess
import sys
import tempfile
import time
import unittest

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
E2E = os.path.join(os.path.dirname(HERE), "e2e")
sys.path.insert(0, E2E)
sys.path.insert(0, HERE)

import harness  # noqa: E402
from wine import start_wine, stop_wine, windows_run  # noqa: E402

# Whole tests that need what Wine cannot give; the key is the test's id
# without its module, a class name for all of its tests, or a module name
# for all of its tests.
POSIX_ONLY = {
    "test_terminal": "drives the game in a POSIX terminal through tmux",
    "FailedSaves.test_a_full_disk": "mounts a small file system with unshare",
    "FailedSaves.test_a_save_that_cannot_replace_the_old_one":
        "makes the old file immutable with chattr, which a copy of the folder does not keep",
    "EditorWritesThatFail.test_a_folder_that_takes_no_new_file":
        "makes the folder immutable with chattr, which a copy of the folder does not keep",
    "test_checkers": "tests the harness's own detection of checker reports with stand-in programs",
    "HugeFiles": "holds files of gigabytes, which a copy of the folder would have to hold too",
    "WriteProtection": "runs the programs as another user and gives files to other owners",
    "TwoWritersAtOnce": "runs two editors at once outside the harness",
}

# Whole tests that would run on Linux and compare nothing: they start their
# programs outside the harness, set process limits, or speak another set than
# cp932 at the console in every run. They stay out of the Wine run; a test
# that is not listed and compares nothing fails the run, so that the list
# stays true.
NOTHING_TO_COMPARE = {
    "FailedStreams.test_input_that_cannot_be_read_ends_as_its_end_does_but_with_status_1":
        "starts the game outside the harness",
    "LongInput.test_input_far_longer_than_one_read_from_a_file": "starts the game outside the harness",
    "PromptsBeforeWaits": "drives the programs through pipes outside the harness",
    "SystemCalls": "counts system calls outside the harness",
    "OverLongLines.test_a_line_far_beyond_the_kept_length_is_a_wrong_answer_in_bounded_memory":
        "sets a memory limit before the program starts",
    "FailedSaves.test_a_write_that_fails_midway": "sets a file-size limit before the program starts",
    "EditorWritesThatFail.test_a_disk_that_fills_up_midway_keeps_the_old_file":
        "sets a file-size limit before the program starts",
    "EditorWritesThatFail.test_starter_files_on_a_full_disk_are_not_created_at_all":
        "sets a file-size limit before the program starts",
    "KillsDuringWrites": "kills the editor outside the harness",
    "test_dialogue_fuzz": "runs its sessions outside the harness",
    "EucJpLocale": "speaks EUC-JP at the console",
    "Utf8Locale.test_answers_typed_in_utf8_are_read_as_cp932": "speaks UTF-8 at the console",
    "Utf8Locale.test_long_output_stays_whole": "speaks UTF-8 at the console",
    "Utf8Locale.test_output_is_the_cp932_output_converted": "speaks UTF-8 at the console",
    "Utf8Names": "speaks UTF-8 at the console",
    "EditedBossIsFought": "speaks UTF-8 at the console",
}

stats = {"runs": {}, "skipped": {}}


def crlf(data):
    return data.replace(b"\n", b"\r\n")


SHIFT_JIS_CODESETS = {"SHIFTJIS", "SJIS", "MSKANJI", "CP932", "MS932", "WINDOWS31J"}


def console_passes_bytes(env):
    """Whether the Linux console speaks cp932 in `env`, as the Windows console does."""
    variables = [env[name] for name in ("LC_ALL", "LC_CTYPE", "LANG") if name in env]
    if not variables:
        return False  # no locale variable at all: UTF-8
    for value in variables:
        if value:
            if value in ("C", "POSIX"):
                return True
            codeset = value.partition(".")[2].partition("@")[0].replace("-", "").replace("_", "").upper()
            return codeset in SHIFT_JIS_CODESETS
    return True  # all set but empty: the C locale


def snapshot(folder, origin=None):
    """Everything in a folder: relative name -> (kind, contents or target, mode).
    A link into the folder is told as a link into `origin`, the folder that
    this one copies."""
    entries = {}
    for root, dirs, files in os.walk(folder):
        for name in dirs + files:
            path = os.path.join(root, name)
            rel = os.path.relpath(path, folder)
            info = os.lstat(path)
            if stat.S_ISLNK(info.st_mode):
                entries[rel] = ("link", rebase(os.readlink(path), folder, origin or folder), 0)
            elif stat.S_ISDIR(info.st_mode):
                entries[rel] = ("dir", None, stat.S_IMODE(info.st_mode))
            elif stat.S_ISREG(info.st_mode):
                with open(path, "rb") as f:
                    entries[rel] = ("file", f.read(), stat.S_IMODE(info.st_mode))
            else:
                entries[rel] = ("special", None, 0)
        dirs[:] = [d for d in dirs if not os.path.islink(os.path.join(root, d))]
    return entries


def rebase(target, old, new):
    """A link's target, moved from one folder to another if it lies inside."""
    if os.path.isabs(target) and (target + "/").startswith(old + "/"):
        return new + target[len(old):]
    return target


def rebuild(entries, origin, folder):
    """Fills `folder` as `origin` was; links into `origin` point into `folder`."""
    for rel in sorted(entries):
        kind, data, mode = entries[rel]
        path = os.path.join(folder, rel)
        if kind == "dir":
            os.mkdir(path)
        elif kind == "link":
            os.symlink(rebase(data, origin, folder), path)
        else:
            with open(path, "wb") as f:
                f.write(data)
            os.chmod(path, mode)
    for rel in sorted(entries, reverse=True):  # folders last, once filled
        kind, _, mode = entries[rel]
        if kind == "dir":
            os.chmod(os.path.join(folder, rel), mode)


def remove_tree(folder):
    for root, dirs, _ in os.walk(folder):
        for name in dirs:
            os.chmod(os.path.join(root, name), 0o755)
    os.chmod(folder, 0o755)
    shutil.rmtree(folder, True)


def first_difference(expected, actual):
    at = next((i for i, (a, b) in enumerate(zip(expected, actual)) if a != b),
              min(len(expected), len(actual)))
    return "at byte %d: expected %r, got %r (lengths %d and %d)" % (
        at, expected[max(0, at - 40):at + 40], actual[max(0, at - 40):at + 40],
        len(expected), len(actual))


def differences(linux, windows, before, after_linux, after_windows):
    """What the Windows run did otherwise than the Linux run, as lines."""
    found = []
    if windows["status"] != linux.status:
        found.append("exit status %d on Windows, %d on Linux" % (windows["status"], linux.status))
    for name, lin, win in (("stdout", linux.stdout, windows["stdout"]),
                           ("stderr", linux.stderr, windows["stderr"])):
        if win != crlf(lin):
            found.append("%s differs %s" % (name, first_difference(crlf(lin), win)))
    if sorted(after_linux) != sorted(after_windows):
        found.append("files left: %s on Linux, %s on Windows"
                     % (sorted(after_linux), sorted(after_windows)))
        return found
    for rel, (kind, data, _) in after_linux.items():
        win_kind, win_data, _ = after_windows[rel]
        if win_kind != kind:
            found.append("%s is a %s on Linux, a %s on Windows" % (rel, kind, win_kind))
        elif kind == "file" and win_data != crlf(data):
            untouched = rel in before and before[rel][1] == data == win_data
            if not untouched:
                found.append("file %s differs %s" % (rel, first_difference(crlf(data), win_data)))
        elif kind == "link" and win_data != data:
            found.append("link %s points to %r on Linux, %r on Windows" % (rel, data, win_data))
    return found


linux_run_program = harness.ProgramTest.run_program


# What Wine prints when a program loses its connection to the Wine server.
WINE_LINK_BROKEN = b"wine client error:"
WINE_ATTEMPTS = 3


def replayed_run_program(self, program, args, script, env=None, timeout=60, preexec_fn=None,
                         **options):
    """The harness's run, made by the Linux program and by the Windows one."""
    if options:
        self.skipTest("uses harness options that the replay does not know: %s" % sorted(options))
    if preexec_fn is not None:
        self.skipTest("sets POSIX process limits before the program starts")
    environment = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "LC_ALL": "C"}
    environment.update(env or {})
    environment = {name: value for name, value in environment.items() if value is not None}
    if not console_passes_bytes(environment):
        self.skipTest("speaks another set than cp932 at the console; the Windows console runs in code page 932")
    before = snapshot(self.folder)
    if any(kind == "special" for kind, _, _ in before.values()):
        self.skipTest("holds a pipe or a device in its folder")

    data = harness.cp(script) if isinstance(script, str) else script
    for attempt in range(WINE_ATTEMPTS):
        scratch = tempfile.mkdtemp(prefix="gloomhold-wine-")
        try:
            rebuild(before, self.folder, scratch)
            os.chmod(scratch, stat.S_IMODE(os.stat(self.folder).st_mode))
            windows = windows_run(program, list(args), data, scratch, environment, timeout * 3 + 30)
            after_windows = snapshot(scratch, self.folder)
        finally:
            remove_tree(scratch)
        # Wine's own link between a program and its server can break under
        # load; that run tells nothing of the program, and is made again
        # from the same folder, once the server and Wine's background
        # processes are up again (started by a run, they would hold on to
        # its output pipes).
        if not windows["stderr"].startswith(WINE_LINK_BROKEN):
            break
        stats["wine retries"] = stats.get("wine retries", 0) + 1
        start_wine()

    linux = linux_run_program(self, program, args, script, env=env, timeout=timeout)
    found = differences(linux, windows, before, snapshot(self.folder), after_windows)
    name = os.path.basename(program)
    stats["runs"][name] = stats["runs"].get(name, 0) + 1
    self._compared = getattr(self, "_compared", 0) + 1
    if found:
        self.fail("Windows and Linux differ for %s %s:\n  %s" % (name, " ".join(args), "\n  ".join(found)))
    return linux


class ComparingResult(unittest.TextTestResult):
    def addSuccess(self, test):
        if getattr(test, "_compared", 0) == 0:
            self.addFailure(test, (AssertionError, AssertionError(
                "compared no run of the Windows programs: list it in NOTHING_TO_COMPARE"), None))
            return
        super().addSuccess(test)

    def addSkip(self, test, reason):
        stats["skipped"][test.id()] = reason
        super().addSkip(test, reason)


def listed_reason(test, listed):
    module, _, rest = test.id().partition(".")
    return listed.get(module) or listed.get(rest) or listed.get(rest.partition(".")[0])


def mark_not_replayed(suite):
    """Skips, before they run, the tests of both lists."""
    for item in suite:
        if isinstance(item, unittest.TestSuite):
            mark_not_replayed(item)
            continue
        for listed, kind in ((POSIX_ONLY, "POSIX only: "), (NOTHING_TO_COMPARE, "nothing to compare: ")):
            reason = listed_reason(item, listed)
            if reason:
                setattr(item, item._testMethodName,
                        unittest.skip(kind + reason)(getattr(item, item._testMethodName)))
                break


def run_suites(pattern):
    runner_e2e = unittest.TextTestRunner(verbosity=2, resultclass=ComparingResult)
    harness.ProgramTest.run_program = replayed_run_program
    try:
        suite = unittest.defaultTestLoader.discover(E2E, pattern=pattern, top_level_dir=E2E)
        mark_not_replayed(suite)
        replayed = runner_e2e.run(suite)
    finally:
        harness.ProgramTest.run_program = linux_run_program
    # The Windows programs' own tests: files they write, and their console.
    suite = unittest.defaultTestLoader.discover(HERE, pattern=pattern, top_level_dir=HERE)
    own = unittest.TextTestRunner(verbosity=2).run(suite)
    return replayed.wasSuccessful() and own.wasSuccessful(), own.testsRun


def main():
    for variable in ("GLOOMHOLD", "RUNEWRIGHT", "GLOOMHOLD_EXE", "RUNEWRIGHT_EXE", "WINEPREFIX"):
        if not os.environ.get(variable):
            sys.exit("compare.py: %s is not set" % variable)
    started = time.monotonic()
    os.chdir(E2E)
    start_wine()
    try:
        ok, own_tests = run_suites(sys.argv[1] if len(sys.argv) > 1 else "test_*.py")
    finally:
        stop_wine()
    runs = stats["runs"]
    print("\nCompared %d runs of the Windows programs with the Linux ones (%s); "
          "%d tests or subtests skipped under Wine; %d tests of the Windows programs' own; %.0f s in all."
          % (sum(runs.values()), ", ".join("%s %d" % item for item in sorted(runs.items())),
             len(stats["skipped"]), own_tests, time.monotonic() - started))
    if stats.get("wine retries"):
        print("Runs made again after Wine lost its server: %d." % stats["wine retries"])
    return 0 if ok and sum(runs.values()) > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
