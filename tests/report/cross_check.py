#!/usr/bin/env python3
"""tn-sign (the installer's signing code) against statsink (the receiver's
own statement of the contract): every body tn-sign makes must verify, with
the same string-to-sign on both sides, and no altered body may.

  cross_check.py TN_SIGN
"""

import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import statsink_process  # noqa: E402

TN_SIGN = None

# PARAMS as a caller would pass them; the record of a report first.
CASES = [
    "type=0&code=S2_d01&remark=mac=00-1A-2B-3C-4D-5E,channel=0,sub_channel=setup,noui=0",
    "type=0&code=S2_i05&remark=mac=,channel=0,sub_channel=\u5b89\u88c5\u7a0b\u5e8f,noui=0",
    "type=0&code=S2_d02&remark=mac=00-1A-2B-3C-4D-5E,channel=0,sub_channel=caf\u00e9 \u00fcber-setup_v2.1,noui=0",
    "type=0&code=S2_i04&remark=mac=,channel=0,sub_channel=\U0001F600party,noui=0",  # above U+FFFF
    "type=0&code=S2_d01&remark=mac=,channel=0,sub_channel=a,b=c,noui=0",
    "type=0&code=S2_d01&remark=mac=,channel=0,sub_channel=set&up,noui=0",
    "",
    "sign=forged&app_key=other&time_stamp=1&type=0",
    "type=0&type=1&&flag&=x&==y",
    "Zed=1&alpha=2&\u540d=\u503c",  # upper-case and non-ASCII names
    "marks=!*()~'\"<>%+ /\\",
]


def sign(params, time_stamp="1400000000", path="v1/userop/add"):
    output = subprocess.run([TN_SIGN, "--verbose", "--time-stamp", time_stamp, path, params],
                            check=True, capture_output=True).stdout.decode("utf-8")
    fields = dict(line.split(": ", 1) for line in output.splitlines())
    return fields["body"], fields["string-to-sign"]


def verify(body, path="v1/userop/add"):
    result = subprocess.run([sys.executable, statsink_process.STATSINK, "--verify", "-", "--path", path],
                            input=body.encode("utf-8"), capture_output=True)
    lines = result.stdout.decode("utf-8").splitlines()
    return result.returncode == 0, lines[0].split(": ", 1)[1], lines[1]


class CrossCheck(unittest.TestCase):
    def test_worked_example_body(self):
        body, _ = sign(CASES[0])
        self.assertEqual(body, "app_key=NkRbTeVwPqMsXaC&code=S2_d01&remark=mac%3D00-1A-2B-3C-4D-5E%2Cchannel%3D0"
                               "%2Csub_channel%3Dsetup%2Cnoui%3D0&sign=N2n50JXY1YfZNVEGW5Csx1UmB3o%3D"
                               "&time_stamp=1400000000&type=0")

    def test_every_body_verifies_with_the_same_string_to_sign(self):
        for params in CASES:
            for time_stamp in ("1400000000", "0", "-2147483648"):
                with self.subTest(params=params, time_stamp=time_stamp):
                    body, string_to_sign = sign(params, time_stamp)
                    ok, rebuilt, verdict = verify(body)
                    self.assertEqual(rebuilt, string_to_sign)
                    self.assertTrue(ok, verdict)

    def test_non_ascii_file_name_is_signed_as_escaped_utf8(self):
        body, string_to_sign = sign(CASES[1])
        self.assertIn("sub_channel%3D%E5%AE%89%E8%A3%85%E7%A8%8B%E5%BA%8F%2C", body)
        self.assertIn("sub%255Fchannel%253D%25E5%25AE%2589%25E8%25A3%2585%25E7%25A8%258B%25E5%25BA%258F%252C",
                      string_to_sign)

    def test_other_path_does_not_verify(self):
        body, _ = sign(CASES[0])
        ok, _, _ = verify(body, path="v1/userop/other")
        self.assertFalse(ok)
        body, _ = sign(CASES[0], path="v1/userop/other")
        ok, _, _ = verify(body, path="v1/userop/other")
        self.assertTrue(ok)

    def test_altered_bodies_do_not_verify(self):
        body, _ = sign(CASES[1])
        altered = [
            body.replace("code=S2_i05", "code=S2_i04"),
            body.replace("time_stamp=1400000000", "time_stamp=1400000001"),
            body.replace("%E5%AE%89", "%E5%AE%8A"),
            body + "&extra=1",
            "&".join(piece for piece in body.split("&") if not piece.startswith("sign=")),
            body.replace("app_key=NkRbTeVwPqMsXaC", "app_key=NkRbTeVwPqMsXaD"),
        ]
        for text in altered:
            with self.subTest(body=text):
                ok, _, _ = verify(text)
                self.assertFalse(ok)


if __name__ == "__main__":
    TN_SIGN = sys.argv[1]
    unittest.main(argv=sys.argv[:1], verbosity=2)
