#!/usr/bin/env python3
"""A server that misbehaves, for the CardDAV client's tests: on 127.0.0.1 at the
port given, /loop/ redirects to itself forever, /huge/ answers a PROPFIND with
16 MiB of XML, /silent/ takes the request and never answers, /away/ redirects to
/echo/ under another host name (localhost), /echo/ says whether credentials
came with the request, and /bomb/ answers with an entity bomb."""
import http.server
import sys
import time

HUGE = 16 * 1024 * 1024


def bomb():
    """One 100 KB entity referenced 2,000 times: 200 MB once expanded."""
    refs = b"&e;" * 2000
    return (b'<!DOCTYPE multistatus [<!ENTITY e "' + b"x" * 100000 + b'">]>'
            b'<multistatus xmlns="DAV:"><response><href>/b/</href><propstat><prop>'
            b"<displayname>" + refs + b"</displayname></prop>"
            b"<status>HTTP/1.1 200 OK</status></propstat></response></multistatus>")


class Hostile(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def answer(self, status, body=b"", headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_PROPFIND(self):
        self.rfile.read(int(self.headers.get("Content-Length", 0)))
        port = self.server.server_address[1]
        if self.path.startswith("/loop/"):
            self.answer(301, headers=[("Location", self.path)])
        elif self.path.startswith("/away/"):
            self.answer(302, headers=[("Location", f"http://localhost:{port}/echo/")])
        elif self.path.startswith("/echo/"):
            came = self.headers.get("Authorization") is not None
            self.answer(200, b"credentials" if came else b"none")
        elif self.path.startswith("/silent/"):
            time.sleep(3600)
        elif self.path.startswith("/bomb/"):
            self.answer(207, bomb())
        else:
            self.send_response(207)
            self.send_header("Content-Type", "application/xml")
            self.send_header("Content-Length", str(HUGE))
            self.end_headers()
            item = b"<response><href>/a/</href></response>" * 30000
            self.wfile.write(b'<multistatus xmlns="DAV:">')
            try:
                for _ in range(HUGE // len(item)):
                    self.wfile.write(item)
            except OSError:
                pass  # the client stopped reading, as it should

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", int(sys.argv[1])), Hostile)
server.daemon_threads = True
server.serve_forever()
