#!/usr/bin/env python3
"""Counts one tier's results: the cases of each GoogleTest program (from its
XML), and every other ctest test as one case. A program that failed without
reporting a failing case counts one failure more (a crash at exit, say).

usage: summarise.py TIER CTEST_JUNIT RESULTS_DIR STARTED_AT TOTALS_FILE
"""
import os
import sys
import xml.etree.ElementTree as ET


def gtest_counts(path):
    root = ET.parse(path).getroot()
    passed = failed = 0
    for case in root.iter('testcase'):
        if case.get('result') == 'skipped' or case.get('status') == 'notrun':
            continue
        if case.find('failure') is not None or case.find('error') is not None:
            failed += 1
        else:
            passed += 1
    return passed, failed


def main():
    tier, junit, results_dir, started_at, totals_file = sys.argv[1:6]
    started_at = float(started_at)
    passed = failed = 0
    failures = []
    if not os.path.exists(junit):
        print(f'{tier}: no results (ctest did not run)')
        failed = 1
    else:
        for case in ET.parse(junit).getroot().iter('testcase'):
            name = case.get('name')
            status = case.get('status', 'run')
            if status in ('disabled', 'notrun') and case.find('failure') is None:
                continue
            ctest_failed = case.find('failure') is not None or status == 'fail'
            xml = os.path.join(results_dir, f'{name}.xml')
            if os.path.exists(xml) and os.path.getmtime(xml) >= started_at:
                try:
                    p, f = gtest_counts(xml)
                except ET.ParseError:
                    p, f = 0, 1
                if ctest_failed and f == 0:
                    f = 1
                passed += p
                failed += f
            else:
                passed += 0 if ctest_failed else 1
                failed += 1 if ctest_failed else 0
            if ctest_failed:
                failures.append(name)
    for name in failures:
        print(f'{tier}: FAILED {name}')
    print(f'{tier}: {passed} passed, {failed} failed')
    with open(totals_file, 'a') as totals:
        totals.write(f'{passed} {failed}\n')


if __name__ == '__main__':
    main()
