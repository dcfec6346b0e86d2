"""A gate the bench page waits at, so the driver decides when the measured step begins.

The page asks GET http://127.0.0.1:18766/go (cross-origin, so as an opaque no-cors
request) and goes on when the answer comes. The driver opens the gate once it has made
its preparations: peaks reset, the machine quiet. It is a server of the driver's, on
the run's own loopback, that neither program under test talks to."""

import http.server
import threading

PORT = 18766
WAIT_SECONDS = 300


class _Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        opened = self.server.gate.opened.wait(WAIT_SECONDS)
        self.server.gate.opened.clear()
        self.send_response(204 if opened else 503)
        self.send_header("Cache-Control", "no-store")
        self.end_headers()

    def log_message(self, *arguments):
        pass


class Gate:
    def __init__(self):
        self.opened = threading.Event()
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", PORT), _Handler)
        self.server.daemon_threads = True
        self.server.gate = self
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *exception):
        self.opened.set()
        self.server.shutdown()
        self.server.server_close()

    def open(self):
        """Lets the one page waiting now go on."""
        self.opened.set()
