#!/usr/bin/env python3
"""Counts one tier's results: the cases of each GoogleTest program (from its
XML), and every other ctest test as one case.

Everything ctest was asked to run counts: a test it could not start (its
program or interpreter missing) is a failure, and so is a program that failed
without reporting a failing case (a crash at exit, say). Only a test that
skipped itself on purpose (SKIP_RETURN_CODE, or GTEST_SKIP inside a program)
is left out of both counts; it is listed with its reason. A tier that ran no
case at all, or whose ctest failed without a failing case to show for it,
counts one failure more.

usage: summarise.py TIER CTEST_JUNIT RESULTS_DIR STARTED_AT TOTALS_FILE CTEST_EXIT_CODE
"""
import os
import re
import sys
import xml.etree.ElementTree as ET


def gtest_counts(path):
    """(passed, failed, skipped names) of one GoogleTest program's XML."""
    root = ET.parse(path).getroot()
    passed = failed = 0
    skipped = []
    for case in root.iter('testcase'):
        name = f"{case.get('classname')}.{case.get('name')}"
        if case.find('failure') is not None or case.find('error') is not None:
            failed += 1
        elif case.get('result') == 'skipped' or case.find('skipped') is not None:
            reason = case.find('skipped')
            skipped.append((name, reason.get('message', '').strip() if reason is not None else 'no reason given'))
        elif case.get('status') == 'notrun':
            continue  # a disabled case: not asked for
        else:
            passed += 1
    return passed, failed, skipped


def skip_reason(case):
    """The last line the test printed says why it skipped itself."""
    output = (case.findtext('system-out') or '').strip().splitlines()
    return output[-1] if output else 'no reason given'


def failure_reason(case):
    """What a failed test said last: the exception or check that ended it."""
    lines = [line.strip() for line in (case.findtext('system-out') or '').splitlines() if line.strip()]
    for line in reversed(lines):
        if re.match(r'(FAILED|\w*(Error|Exception|Expired)\b)', line) or 'Failure' in line or 'timed out' in line:
            return line[:400]
    return lines[-1][:400] if lines else 'no output'


def count_tier(junit, results_dir, started_at):
    passed = failed = 0
    failures, skipped = [], []
    for case in ET.parse(junit).getroot().iter('testcase'):
        name = case.get('name')
        status = case.get('status', 'run')
        skip = case.find('skipped')
        if status == 'disabled':
            continue
        if status == 'notrun':
            if skip is not None and skip.get('message', '').startswith('SKIP_RETURN_CODE'):
                skipped.append((name, skip_reason(case)))
            else:
                # Its program or interpreter was missing: asked for, not run.
                failed += 1
                failures.append(f"{name} (not run: {skip.get('message') if skip is not None else status})")
            continue
        ctest_failed = case.find('failure') is not None or status == 'fail'
        xml = os.path.join(results_dir, f'{name}.xml')
        if os.path.exists(xml) and os.path.getmtime(xml) >= started_at:
            try:
                p, f, s = gtest_counts(xml)
            except ET.ParseError:
                p, f, s = 0, 1, []
            if ctest_failed and f == 0:
                f = 1
            passed += p
            failed += f
            skipped += s
        elif ctest_failed:
            failed += 1
        else:
            passed += 1
        if ctest_failed:
            failures.append(f'{name}: {failure_reason(case)}')
    return passed, failed, failures, skipped


def main():
    tier, junit, results_dir, started_at, totals_file, ctest_code = sys.argv[1:7]
    passed = failed = 0
    failures, skipped = [], []
    if not os.path.exists(junit):
        failures.append('ctest wrote no results')
        failed = 1
    else:
        passed, failed, failures, skipped = count_tier(junit, results_dir, float(started_at))
        if passed + failed == 0:
            failures.append('ran no case')
            failed += 1
        if int(ctest_code) != 0 and failed == 0:
            failures.append(f'ctest ended with {ctest_code} without a failing case')
            failed += 1
    for name in failures:
        print(f'{tier}: FAILED {name}')
    for name, reason in skipped:
        print(f'{tier}: skipped {name} ({reason})')
    print(f'{tier}: {passed} passed, {failed} failed' + (f', {len(skipped)} skipped' if skipped else ''))
    with open(totals_file, 'a') as totals:
        totals.write(f'{passed} {failed}\n')


if __name__ == '__main__':
    main()
