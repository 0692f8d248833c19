"""Starting and stopping tools/statsink for tests, on a free port."""

import os
import select
import socket
import subprocess
import sys

STATSINK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "statsink", "statsink")


class Receiver:
    """A statsink process on 127.0.0.1; ended by stop() or the with block."""

    def __init__(self, *options):
        self.process = subprocess.Popen([sys.executable, STATSINK, "--port", "0", "--quiet", *options],
                                        stdout=subprocess.PIPE, text=True)
        ready, _, _ = select.select([self.process.stdout], [], [], 15)
        line = self.process.stdout.readline() if ready else ""
        if not line.startswith("listening "):
            self.stop()
            raise RuntimeError("statsink %s did not start (%r)" % (" ".join(options), line))
        self.port = int(line.split()[1])
        self.base_url = "http://127.0.0.1:%d" % self.port

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.process.stdout.close()

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.stop()


def closed_port():
    """A loopback port that nothing listens on (free a moment ago)."""
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]
