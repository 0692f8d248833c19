"""The HTTP side of the reference receiver and its event store."""

import gzip
import json
import re
import socket
import sqlite3
import sys
import threading
import time
import zlib
from http import HTTPStatus
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

import signature

REPORT_PATH = "/v1/userop/add"

# remark is "mac=%s,channel=%d,sub_channel=%s,noui=0"; the file name in
# sub_channel may hold "," and "=", so it runs up to the last ",noui=".
_REMARK = re.compile(r"mac=(?P<mac>[^,]*),channel=(?P<channel>-?\d+),sub_channel=(?P<sub_channel>.*),noui=(?P<noui>\d+)",
                     re.DOTALL)

_SCHEMA = """
CREATE TABLE IF NOT EXISTS events (
    id INTEGER PRIMARY KEY,
    code TEXT, mac TEXT, channel INTEGER, sub_channel TEXT, noui INTEGER,
    type TEXT, remark TEXT,
    time_stamp INTEGER,
    received_at REAL
)"""


def wire_text(data):
    """The client sends each UTF-16 unit in its own UTF-8 form, so a
    character above U+FFFF arrives as two encoded surrogates: join them."""
    try:
        return data.decode("utf-8", "surrogatepass").encode("utf-16-le", "surrogatepass").decode("utf-16-le")
    except UnicodeError:
        return data.decode("utf-8", "replace")


class EventStore:
    """One SQLite file; a connection per write keeps the handler threads apart."""

    def __init__(self, path):
        self.path = path
        self.lock = threading.Lock()
        if path:
            with sqlite3.connect(path) as db:
                db.execute(_SCHEMA)

    def add(self, parameters):
        if not self.path:
            return
        remark = wire_text(parameters.get(b"remark", b""))
        fields = _REMARK.fullmatch(remark)
        fields = fields.groupdict() if fields else {}
        time_stamp = parameters.get(b"time_stamp", b"")
        row = (
            wire_text(parameters.get(b"code", b"")),
            fields.get("mac"),
            int(fields["channel"]) if "channel" in fields else None,
            fields.get("sub_channel"),
            int(fields["noui"]) if "noui" in fields else None,
            wire_text(parameters.get(b"type", b"")),
            remark,
            int(time_stamp) if re.fullmatch(rb"-?\d+", time_stamp) else None,
            time.time(),
        )
        with self.lock, sqlite3.connect(self.path) as db:
            db.execute("INSERT INTO events (code, mac, channel, sub_channel, noui, type, remark, time_stamp, received_at)"
                       " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)", row)


def list_events(path):
    with sqlite3.connect(path) as db:
        db.row_factory = sqlite3.Row
        return [dict(row) for row in db.execute("SELECT * FROM events ORDER BY id")]


# What a hostile answer inflates to: more than a 32-bit process can hold.
BOMB_INFLATED_BYTES = 2 << 30
_BOMB_PIECE = 1 << 20


def gzip_bomb():
    """A gzip body of about 2 MB that inflates to BOMB_INFLATED_BYTES zero
    bytes. A full flush empties the compressor's window, so every megabyte
    after it compresses to the same bytes and one piece is repeated."""
    zeros = bytes(_BOMB_PIECE)
    compressor = zlib.compressobj(9, zlib.DEFLATED, -15)
    piece = compressor.compress(zeros) + compressor.flush(zlib.Z_FULL_FLUSH)
    check = 0
    for _ in range(BOMB_INFLATED_BYTES // _BOMB_PIECE):
        check = zlib.crc32(zeros, check)
    header = b"\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\xff"
    trailer = compressor.flush(zlib.Z_FINISH) + check.to_bytes(4, "little") + \
        (BOMB_INFLATED_BYTES & 0xFFFFFFFF).to_bytes(4, "little")
    return header + piece * (BOMB_INFLATED_BYTES // _BOMB_PIECE) + trailer


class Behaviour:
    def __init__(self, store, gzip_answers=False, delay=0.0, status=None, quiet=False, bomb=False, endless=False):
        self.store = store
        self.gzip_answers = gzip_answers
        self.delay = delay
        self.status = status
        self.quiet = quiet
        self.bomb = gzip_bomb() if bomb else None
        self.endless = endless


_FLOOD_CHUNK = b"x" * (64 << 10)


def _handler_for(behaviour):
    class Handler(BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"
        server_version = "statsink"
        sys_version = ""

        def log_message(self, format, *args):
            if not behaviour.quiet:
                sys.stderr.write("statsink: %s\n" % (format % args))

        def answer(self, status, payload, content_type="application/json"):
            if behaviour.bomb is not None or behaviour.endless:
                self.flood(status)
                return
            data = payload.encode("utf-8")
            self.send_response(status)
            self.send_header("Content-Type", content_type)
            if behaviour.gzip_answers:
                # Compressed whatever the request asked: a client that did not
                # ask for gzip then sees the compressed bytes.
                data = gzip.compress(data)
                self.send_header("Content-Encoding", "gzip")
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            self.wfile.write(data)

        def flood(self, status):
            """The answer of a hostile service in place of the real one:
            the gzip bomb, or an endless chunked body written as fast as
            the client reads, until it hangs up."""
            self.send_response(status)
            self.send_header("Content-Type", "application/octet-stream")
            self.close_connection = True
            try:
                if behaviour.bomb is not None:
                    self.send_header("Content-Encoding", "gzip")
                    self.send_header("Content-Length", str(len(behaviour.bomb)))
                    self.end_headers()
                    self.wfile.write(behaviour.bomb)
                else:
                    self.send_header("Transfer-Encoding", "chunked")
                    self.end_headers()
                    chunk = b"%x\r\n%s\r\n" % (len(_FLOOD_CHUNK), _FLOOD_CHUNK)
                    while True:
                        self.wfile.write(chunk)
            except (BrokenPipeError, ConnectionResetError):
                pass

        def do_POST(self):
            length = self.headers.get("Content-Length")
            if length is None or not length.isdigit():
                self.answer(411, json.dumps({"code": 411, "message": "length required"}))
                return
            body = self.rfile.read(int(length))
            if behaviour.delay:
                time.sleep(behaviour.delay)
            if behaviour.status:
                page = "<html><body><h1>%d %s</h1></body></html>" % (
                    behaviour.status, HTTPStatus(behaviour.status).phrase)
                self.answer(behaviour.status, page, "text/html")
                return
            if self.path != REPORT_PATH:
                self.answer(404, json.dumps({"code": 404, "message": "no such path"}))
                return
            ok, reason, parameters, _ = signature.check(body, self.path[1:].encode("ascii"))
            if not ok:
                self.answer(401, json.dumps({"code": 401, "message": reason}))
                return
            behaviour.store.add(parameters)
            self.answer(200, json.dumps({"code": 0, "message": "ok"}))

        def do_GET(self):
            self.answer(405, json.dumps({"code": 405, "message": "POST only"}))

    return Handler


def serve(port, behaviour):
    server = ThreadingHTTPServer(("127.0.0.1", port), _handler_for(behaviour))
    server.daemon_threads = True
    print("listening %d" % server.server_address[1], flush=True)
    try:
        server.serve_forever()
    finally:
        server.server_close()


def serve_silently(port):
    """Accepts connections and never reads or answers; they stay open until
    the client gives up."""
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", port))
    listener.listen(16)
    print("listening %d" % listener.getsockname()[1], flush=True)
    held = []
    try:
        while True:
            connection, _ = listener.accept()
            held.append(connection)
    finally:
        for connection in held:
            connection.close()
        listener.close()
