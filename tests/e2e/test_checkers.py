"""A report of a sanitizer or of valgrind fails the test that ran the program."""
import os
import stat
import tempfile
import unittest

from harness import ProgramTest

REPORTS = [
    # What the sanitizer build prints when it stops at its first report.
    (b"==4242==ERROR: AddressSanitizer: heap-buffer-overflow on address 0x6020\n", "exit 1"),
    (b"game/battle.cpp:40:5: runtime error: signed integer overflow\n", "kill -ABRT $$"),
    # valgrind -q with --error-exitcode=99
    (b"==4242== Invalid read of size 1\n", "exit 99"),
]


class CheckerReports(ProgramTest):
    def stand_in(self, report, end):
        fd, path = tempfile.mkstemp(prefix="checked-", dir=self.folder)
        with os.fdopen(fd, "w") as f:
            f.write("#!/bin/sh\nprintf '%s' >&2\n%s\n" % (report.decode().replace("\n", "\\n"), end))
        os.chmod(path, stat.S_IRWXU)
        return path

    def test_a_report_fails_even_a_run_that_expected_status_1(self):
        for report, end in REPORTS:
            with self.subTest(report=report):
                with self.assertRaises(AssertionError) as caught:
                    self.run_program(self.stand_in(report, end), [], "")
                self.assertIn(report.decode().strip()[-20:], str(caught.exception))

    def test_a_plain_status_1_passes(self):
        run = self.run_program(self.stand_in(b"", "exit 1"), [], "")
        self.assertEqual(run.status, 1)


if __name__ == "__main__":
    unittest.main()
