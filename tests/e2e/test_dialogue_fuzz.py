"""A short run of the dialogue fuzzer against both programs."""
import os
import stat
import sys
import tempfile
import shutil
import unittest

from harness import GLOOMHOLD, RUNEWRIGHT

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fuzz"))
import dialogue_fuzz  # noqa: E402

# Valgrind makes every start slow: a few sessions show what it would find.
SESSIONS = int(os.environ.get("DIALOGUE_SESSIONS", "10" if os.environ.get("UNDER_VALGRIND") else "200"))


class RandomDialogues(unittest.TestCase):
    def test_both_programs_survive_random_sessions(self):
        programs = [("game", os.path.abspath(GLOOMHOLD)), ("editor", os.path.abspath(RUNEWRIGHT))]
        timeout = 300 if os.environ.get("UNDER_VALGRIND") else 60
        counts, failed = dialogue_fuzz.run_sessions(programs, SESSIONS, first=0, timeout=timeout)
        self.assertEqual([(p, n, problems) for p, n, problems, _ in failed], [])
        for program, tally in counts.items():
            self.assertEqual(tally["sessions"], SESSIONS)
            # Both ends occur: a run that only ever failed early would test little.
            self.assertGreater(tally["status 0"], 0, program)
            self.assertGreater(tally["status 1"], 0, program)
        self.assertGreater(counts["editor"]["files written"], 0)


class TheFuzzerCatchesFaults(unittest.TestCase):
    """Stand-in programs with one fault each; every session of theirs must fail."""

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="gloomhold-standins-")
        self.addCleanup(shutil.rmtree, self.folder, True)

    def stand_in(self, body):
        path = os.path.join(self.folder, "program%d" % len(os.listdir(self.folder)))
        with open(path, "w") as f:
            f.write("#!/bin/sh\n" + body + "\n")
        os.chmod(path, stat.S_IRWXU)
        return path

    def test_each_fault_is_reported(self):
        cases = [("exec yes gloomhold", "printed more than"),
                 ("exec sleep 30", "did not end within"),
                 ("exit 3", "ended with status 3"),
                 ("exit 1", "status 1 without a failure message"),
                 ("echo oops >&2", "wrote to standard error"),
                 ("rm -rf editplayer; printf '1 2' > editplayer", "editplayer"),
                 ("touch .editenemy.tmp1-0", "left the file '.editenemy.tmp1-0' behind")]
        for body, problem in cases:
            with self.subTest(program=body):
                counts, failed = dialogue_fuzz.run_sessions([("editor", self.stand_in(body))], 3,
                                                            timeout=2)
                self.assertEqual(len(failed), 3)
                for _, _, problems, _ in failed:
                    self.assertTrue(any(problem in p for p in problems), problems)


if __name__ == "__main__":
    unittest.main()
