#!/usr/bin/env python3
"""Counts the results of one CTest run from its JUnit file (ctest --output-junit FILE).

    count-tests.py JUNIT_FILE [--googletest-dir DIR]

Prints "PASSED FAILED SKIPPED" on one line, then names each failed test on standard error.
Exits 0 when the file could be read and held at least one test (whatever the results), 2
otherwise, with the reason on standard error.

With --googletest-dir, a CTest test that left DIR/<test name>.xml (GoogleTest's own report,
--gtest_output=xml:FILE) is counted by its test cases instead: under Wine, one CTest test is a
whole GoogleTest program. A CTest test without such a report (one that crashed before writing it,
or one that is not a GoogleTest program) counts as itself. At least one report must be there.
"""

import argparse
import os
import sys
import xml.etree.ElementTree as ElementTree

# CTest marks "notrun" both the tests that skipped themselves and those it could not start (no
# executable, a required file or a fixture missing), which its own summary counts as failed.
# Only these two reasons are a skip; the message is the test's completion status.
CTEST_SKIP_REASONS = ("SKIP_REGULAR_EXPRESSION_MATCHED", "SKIP_RETURN_CODE=")


def fail_run(message):
    print(f"count-tests: {message}", file=sys.stderr)
    sys.exit(2)


class Counts:
    def __init__(self):
        self.passed = 0
        self.failed = 0
        self.skipped = 0
        self.failures = []

    def fail(self, name):
        self.failed += 1
        self.failures.append(name)


def read_xml(path, what):
    try:
        return ElementTree.parse(path).getroot()
    except FileNotFoundError:
        fail_run(f"no {what} {path}")
    except (ElementTree.ParseError, OSError) as error:
        fail_run(f"cannot read the {what} {path}: {error}")


def ctest_outcome(case):
    """'passed', 'failed' or 'skipped' for one <testcase> of CTest's JUnit file."""
    status = case.get("status")
    if status == "run":
        return "passed"
    if status == "disabled":
        return "skipped"
    if status == "notrun":
        skipped = case.find("skipped")
        reason = skipped.get("message", "") if skipped is not None else ""
        return "skipped" if reason.startswith(CTEST_SKIP_REASONS) else "failed"
    # "fail", and anything a later CTest may add, is not a pass.
    return "failed"


def count_googletest(path, program, counts):
    """Adds the test cases of one GoogleTest XML report; returns how many failed."""
    root = read_xml(path, "GoogleTest report")
    if root.tag != "testsuites":
        fail_run(f"{path} is not a GoogleTest report (root <{root.tag}>)")
    failed = 0
    for case in root.iter("testcase"):
        name = f"{program}: {case.get('classname', '')}.{case.get('name', '')}"
        if case.find("failure") is not None or case.find("error") is not None:
            counts.fail(name)
            failed += 1
        elif case.get("result") in ("skipped", "suppressed") or case.get("status") == "notrun":
            # Skipped by GTEST_SKIP, or disabled (DISABLED_), as CTest counts its disabled tests.
            counts.skipped += 1
        else:
            counts.passed += 1
    return failed


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("junit")
    parser.add_argument("--googletest-dir")
    options = parser.parse_args()

    root = read_xml(options.junit, "JUnit file")
    cases = list(root.iter("testcase"))
    if not cases:
        fail_run(f"{options.junit} lists no test")

    counts = Counts()
    reports = 0
    for case in cases:
        name = case.get("name", "?")
        outcome = ctest_outcome(case)
        report = None
        if options.googletest_dir:
            report = os.path.join(options.googletest_dir, name + ".xml")
            if not os.path.isfile(report):
                report = None
        if report is not None:
            reports += 1
            failed_cases = count_googletest(report, name, counts)
            # The program failed after its cases passed (a crash at exit, a leak report, a
            # wrong exit code): the failure must not vanish from the count.
            if outcome == "failed" and failed_cases == 0:
                counts.fail(f"{name} (the program failed after its test cases)")
        elif outcome == "passed":
            counts.passed += 1
        elif outcome == "skipped":
            counts.skipped += 1
        else:
            counts.fail(name)
    if options.googletest_dir and reports == 0:
        fail_run(f"no GoogleTest report in {options.googletest_dir}")

    print(counts.passed, counts.failed, counts.skipped)
    for name in counts.failures:
        print(f"failed: {name}", file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())
