#!/usr/bin/env python3
"""The reference receiver as a server: what it answers, what it stores, and
its test behaviours (gzip, delay, error status, silence, a gzip bomb and an
endless answer).

  statsink_test.py TN_SIGN
"""

import gzip
import json
import os
import socket
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.error
import urllib.request
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import statsink_process  # noqa: E402
from statsink_process import Receiver  # noqa: E402

TN_SIGN = None
RECORD = "type=0&code=%s&remark=mac=00-1A-2B-3C-4D-5E,channel=0,sub_channel=%s,noui=0"


def signed_body(params, path="v1/userop/add"):
    return subprocess.run([TN_SIGN, path, params], check=True, capture_output=True).stdout.strip()


def post(receiver, body, path="/v1/userop/add", timeout=10):
    """(status, headers, raw body) of one POST, whatever the status."""
    request = urllib.request.Request(receiver.base_url + path, data=body, method="POST",
                                     headers={"Content-Type": "application/x-www-form-urlencoded",
                                              "Accept-Encoding": "gzip"})
    try:
        with urllib.request.urlopen(request, timeout=timeout) as answer:
            return answer.status, answer.headers, answer.read()
    except urllib.error.HTTPError as error:
        return error.code, error.headers, error.read()


def post_headers_only(receiver):
    """The status of a POST whose answer is not read."""
    with socket.create_connection(("127.0.0.1", receiver.port), timeout=5) as connection:
        connection.sendall(b"POST /v1/userop/add HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n")
        return int(connection.recv(64).split(b" ")[1])


def stored(db):
    listing = subprocess.run([sys.executable, statsink_process.STATSINK, "--list", "--db", db],
                             check=True, capture_output=True, text=True).stdout
    return [json.loads(line) for line in listing.splitlines()]


class StoringReceiver(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.TemporaryDirectory(prefix="tn-statsink-test-")
        self.db = os.path.join(self.scratch.name, "events.sqlite")
        self.receiver = Receiver("--db", self.db)

    def tearDown(self):
        self.receiver.stop()
        self.scratch.cleanup()

    def test_signed_report_is_accepted_and_stored_with_its_fields(self):
        before = time.time()
        status, headers, body = post(self.receiver, signed_body(RECORD % ("S2_d01", "\u5b89\u88c5 \U0001F600,x=1")))
        self.assertEqual(status, 200)
        self.assertEqual(headers["Content-Type"], "application/json")
        self.assertEqual(json.loads(body), {"code": 0, "message": "ok"})
        events = stored(self.db)
        self.assertEqual(len(events), 1)
        event = events[0]
        self.assertEqual((event["code"], event["mac"], event["channel"], event["sub_channel"], event["noui"]),
                         ("S2_d01", "00-1A-2B-3C-4D-5E", 0, "\u5b89\u88c5 \U0001F600,x=1", 0))
        self.assertLessEqual(abs(event["time_stamp"] - before), 2)
        self.assertGreaterEqual(event["received_at"], before - 1)

    def test_events_are_kept_in_arrival_order(self):
        for code in ("S2_d01", "S2_d02", "S2_i04", "S2_i05"):
            self.assertEqual(post(self.receiver, signed_body(RECORD % (code, "setup")))[0], 200)
        self.assertEqual([event["code"] for event in stored(self.db)], ["S2_d01", "S2_d02", "S2_i04", "S2_i05"])

    def test_unsigned_or_altered_bodies_are_refused_and_not_stored(self):
        body = signed_body(RECORD % ("S2_d01", "setup"))
        refused = [
            body.replace(b"S2_d01", b"S2_d02"),
            b"&".join(piece for piece in body.split(b"&") if not piece.startswith(b"sign=")),
            body.replace(b"app_key=NkRbTeVwPqMsXaC", b"app_key=XXXXXXXXXXXXXXX"),
            b"",
        ]
        for text in refused:
            with self.subTest(body=text):
                status, _, answer = post(self.receiver, text)
                self.assertEqual(status, 401)
                self.assertEqual(json.loads(answer)["code"], 401)
        self.assertEqual(stored(self.db), [])

    def test_other_paths_and_methods_are_not_reports(self):
        self.assertEqual(post(self.receiver, signed_body(RECORD % ("S2_d01", "setup")), "/v1/userop/other")[0], 404)
        with self.assertRaises(urllib.error.HTTPError) as raised:
            urllib.request.urlopen(self.receiver.base_url + "/v1/userop/add", timeout=10)
        self.assertEqual(raised.exception.code, 405)
        self.assertEqual(stored(self.db), [])


class TestBehaviours(unittest.TestCase):
    def test_gzip_answers_are_compressed(self):
        with Receiver("--gzip") as receiver:
            status, headers, body = post(receiver, signed_body(RECORD % ("S2_d01", "setup")))
        self.assertEqual(status, 200)
        self.assertEqual(headers["Content-Encoding"], "gzip")
        self.assertEqual(body[:2], b"\x1f\x8b")
        self.assertEqual(json.loads(gzip.decompress(body)), {"code": 0, "message": "ok"})

    def test_error_status_answers_with_an_error_page(self):
        with Receiver("--status", "500") as receiver:
            status, headers, body = post(receiver, signed_body(RECORD % ("S2_d01", "setup")))
        self.assertEqual(status, 500)
        self.assertEqual(headers["Content-Type"], "text/html")
        self.assertIn(b"<h1>500 Internal Server Error</h1>", body)

    def test_delay_holds_the_answer_back(self):
        with Receiver("--delay", "1") as receiver:
            started = time.monotonic()
            status, _, _ = post(receiver, signed_body(RECORD % ("S2_d01", "setup")))
            self.assertEqual(status, 200)
            self.assertGreaterEqual(time.monotonic() - started, 1.0)

    def test_silent_receiver_accepts_and_never_answers(self):
        with Receiver("--silent") as receiver:
            with socket.create_connection(("127.0.0.1", receiver.port), timeout=5) as connection:
                connection.sendall(b"POST /v1/userop/add HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n")
                connection.settimeout(1.5)
                with self.assertRaises(socket.timeout):
                    connection.recv(1)

    def test_gzip_bomb_stores_the_report_and_inflates_to_two_gibibytes(self):
        with tempfile.TemporaryDirectory(prefix="tn-statsink-test-") as scratch:
            db = os.path.join(scratch, "events.sqlite")
            with Receiver("--gzip-bomb", "--db", db) as receiver:
                status, headers, body = post(receiver, signed_body(RECORD % ("S2_d01", "setup")), timeout=30)
            self.assertEqual([event["code"] for event in stored(db)], ["S2_d01"])
        self.assertEqual(status, 200)
        self.assertEqual(headers["Content-Encoding"], "gzip")
        self.assertLess(len(body), 3 << 20)
        # Inflated piece by piece, with the gzip check value and length
        # verified at the end.
        inflater = zlib.decompressobj(31)
        zeros = memoryview(bytes(1 << 24))
        inflated = 0
        for at in range(0, len(body), 1 << 16):
            data = inflater.decompress(body[at:at + (1 << 16)], 1 << 24)
            while True:
                if zeros[:len(data)] != data:
                    self.fail("the inflated answer holds more than zero bytes")
                inflated += len(data)
                if not inflater.unconsumed_tail:
                    break
                data = inflater.decompress(inflater.unconsumed_tail, 1 << 24)
        self.assertTrue(inflater.eof)
        self.assertEqual(inflater.unused_data, b"")
        self.assertEqual(inflated, 2 << 30)

    def test_endless_answer_goes_on_until_the_client_hangs_up(self):
        with Receiver("--endless") as receiver:
            with socket.create_connection(("127.0.0.1", receiver.port), timeout=5) as connection:
                body = signed_body(RECORD % ("S2_d01", "setup"))
                connection.sendall(b"POST /v1/userop/add HTTP/1.1\r\nHost: x\r\nContent-Length: %d\r\n\r\n%s"
                                   % (len(body), body))
                head = b""
                received = 0
                while received < 64 << 20:
                    data = connection.recv(1 << 20)
                    self.assertNotEqual(data, b"", "the answer ended")
                    if len(head) < 1000:
                        head += data[:1000]
                    received += len(data)
            self.assertTrue(head.startswith(b"HTTP/1.1 200 "))
            self.assertIn(b"\r\nTransfer-Encoding: chunked\r\n", head)
            # It still answers the next client once this one has gone (an
            # unsigned one: refused, and flooded all the same).
            self.assertEqual(post_headers_only(receiver), 401)

    def test_port_zero_picks_a_free_port_for_each_receiver(self):
        with Receiver() as first, Receiver() as second:
            self.assertNotEqual(first.port, second.port)
            self.assertEqual(post(first, signed_body(RECORD % ("S2_d01", "setup")))[0], 200)


if __name__ == "__main__":
    TN_SIGN = sys.argv[1]
    unittest.main(argv=sys.argv[:1], verbosity=2)
