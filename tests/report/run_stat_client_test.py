#!/usr/bin/env python3
"""Runs the Windows statistics-client tests under Wine against receivers.

  run_stat_client_test.py WINE_RUN PROGRAM RESULTS_DIR NAME

For each group it starts a statsink with that group's behaviour on a free
port, runs PROGRAM through WINE_RUN with --gtest_filter and the receiver's
address in TN_TEST_STAT_BASE_URL, and stops the receiver. Afterwards it
checks the events the normal receiver stored, and merges the groups'
GoogleTest results into RESULTS_DIR/NAME.xml.
"""

import os
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import statsink_process  # noqa: E402

sys.path.insert(0, os.path.dirname(statsink_process.STATSINK))
import receiver  # noqa: E402

# group name, statsink options (None: nothing listens), tests
GROUPS = [
    ("normal", ["--db", "{db}"], "NormalReceiver.*:WriteToString.*"),
    ("gzip", ["--gzip"], "GzipReceiver.*"),
    ("status500", ["--status", "500"], "ErrorStatusReceiver.*"),
    ("slow", ["--delay", "1.5"], "SlowReceiver.*"),
    ("silent", ["--silent"], "SilentReceiver.*"),
    ("none", None, "NoReceiver.*"),
    ("gzip-bomb", ["--gzip-bomb", "--db", "{db}"], "GzipBombReceiver.*"),
    ("endless", ["--endless", "--db", "{db}"], "EndlessReceiver.*"),
]

EXPECTED_EVENTS = ["S2_d01", "S2_d02", "S2_i04", "S2_i05"]
EXPECTED_SUB_CHANNEL = "\u5b89\u88c5\u7a0b\u5e8f setup"
EXPECTED_MAC = "00-1A-2B-3C-4D-5E"


def windows_path(path):
    return "Z:" + os.path.abspath(path)  # Wine maps the Unix root to Z:


def run_group(wine_run, program, results_dir, name, group, options, tests, keep_wine, db):
    part = os.path.join(results_dir, "%s.%s.xml" % (name, group))
    if os.path.exists(part):
        os.remove(part)
    environment = dict(os.environ, TN_WINE_KEEP="1" if keep_wine else "0")
    receiver_process = None
    if options is None:
        environment["TN_TEST_STAT_BASE_URL"] = "http://127.0.0.1:%d" % statsink_process.closed_port()
    else:
        receiver_process = statsink_process.Receiver(*[option.format(db=db) for option in options])
        environment["TN_TEST_STAT_BASE_URL"] = receiver_process.base_url
    try:
        started = time.time()
        code = subprocess.call([wine_run, program, "--gtest_filter=" + tests,
                                "--gtest_output=xml:" + windows_path(part)], env=environment)
        print("[%s] exit %d after %.1f s" % (group, code, time.time() - started), flush=True)
    finally:
        if receiver_process is not None:
            receiver_process.stop()
    return code, part, started


def check_stored_events(db, started, ended):
    """The four reports arrived signed (the receiver stores nothing else),
    in order, with the record's fields."""
    problems = []
    events = [event for event in receiver.list_events(db) if event["code"].startswith("S2_")]
    if [event["code"] for event in events] != EXPECTED_EVENTS:
        problems.append("stored codes %r, expected %r" % ([e["code"] for e in events], EXPECTED_EVENTS))
    for event in events:
        expected = {"mac": EXPECTED_MAC, "channel": 0, "sub_channel": EXPECTED_SUB_CHANNEL, "noui": 0, "type": "0"}
        for field, value in expected.items():
            if event[field] != value:
                problems.append("%s: %s is %r, expected %r" % (event["code"], field, event[field], value))
        if not started - 2 <= event["time_stamp"] <= ended + 2:
            problems.append("%s: time_stamp %r outside the run (%d to %d)" % (event["code"], event["time_stamp"],
                                                                              started, ended))
    codes = {event["code"] for event in receiver.list_events(db)}
    # The hostile answers come after the report was taken.
    for code in ("T_post", "T_thread_1", "T_thread_2", "T_gzip_bomb", "T_endless", "T_endless_1", "T_endless_2"):
        if code not in codes:
            problems.append("%s was not stored" % code)
    return problems


def stored_events_suite(problems):
    """The receiver-side check as one more test case in the results."""
    suite = ElementTree.Element("testsuite", name="StoredEvents", tests="1", failures=str(int(bool(problems))),
                                disabled="0", errors="0")
    case = ElementTree.SubElement(suite, "testcase", name="FourReportsSignedInOrderWithTheirFields",
                                  classname="StoredEvents", status="run", result="completed")
    if problems:
        ElementTree.SubElement(case, "failure", message="; ".join(problems))
    return suite


def merge_results(parts, extra_suites, target):
    merged = ElementTree.Element("testsuites", name="AllTests")
    totals = {"tests": 0, "failures": 0, "disabled": 0, "errors": 0}
    for suite in extra_suites:
        for key in totals:
            totals[key] += int(suite.get(key, "0"))
        merged.append(suite)
    for part in parts:
        if not os.path.exists(part):
            continue
        root = ElementTree.parse(part).getroot()
        for key in totals:
            totals[key] += int(root.get(key, "0"))
        merged.extend(list(root))
        os.remove(part)
    for key, value in totals.items():
        merged.set(key, str(value))
    ElementTree.ElementTree(merged).write(target, encoding="UTF-8", xml_declaration=True)
    return totals


def main():
    wine_run, program, results_dir, name = sys.argv[1:5]
    failures = []
    parts = []
    with tempfile.TemporaryDirectory(prefix="tn-statsink-") as scratch:
        db = os.path.join(scratch, "events.sqlite")
        normal_window = None
        for index, (group, options, tests) in enumerate(GROUPS):
            code, part, started = run_group(wine_run, program, results_dir, name, group, options, tests,
                                            keep_wine=index + 1 < len(GROUPS), db=db)
            parts.append(part)
            if code != 0:
                failures.append("group %s: the test program exited with %d" % (group, code))
            if not os.path.exists(part):
                failures.append("group %s: no test results" % group)
            elif int(ElementTree.parse(part).getroot().get("tests", "0")) == 0:
                failures.append("group %s: no test matched %s" % (group, tests))
            if group == "normal":
                normal_window = (started, time.time())
        extra_suites = []
        if normal_window is not None:
            problems = check_stored_events(db, *normal_window)
            failures.extend(problems)
            extra_suites.append(stored_events_suite(problems))
    totals = merge_results(parts, extra_suites, os.path.join(results_dir, name + ".xml"))
    print("%d tests, %d failures in the Windows program" % (totals["tests"], totals["failures"]))
    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
