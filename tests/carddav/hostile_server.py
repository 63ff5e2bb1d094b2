#!/usr/bin/env python3
"""A server that misbehaves, for the CardDAV client's tests.

Usage: hostile_server.py PORT [ADDRESS [ELSEWHERE]]; ADDRESS is 127.0.0.1 unless
given. Every request's first line goes to standard error.

PROPFIND /loop/ redirects to itself forever, /huge/ answers with 16 MiB of XML,
/silent/ never answers, /away/ redirects to another host name (localhost) that
wants credentials, /bomb/ answers with an entity bomb; any other path is an
address book. A card PUT into /moved/ is redirected to ELSEWHERE, into /lost/ is
taken (201) and kept nowhere, into /rude/ is refused with a reason phrase of
escape sequences and the credentials, and into /drop/ gets no answer at all.
REPORT says the server holds none of the cards asked for.
"""
import base64
import http.server
import re
import sys
import time

HUGE = 16 * 1024 * 1024
BOOK = b"""<multistatus xmlns="DAV:" xmlns:c="urn:ietf:params:xml:ns:carddav"><response>
<href>%s</href><propstat><prop><resourcetype><collection/><c:addressbook/></resourcetype>
<displayname>%s</displayname></prop><status>HTTP/1.1 200 OK</status></propstat></response>
</multistatus>"""


def bomb():
    """One 100 KB entity referenced 2,000 times: 200 MB once expanded."""
    refs = b"&e;" * 2000
    return (b'<!DOCTYPE multistatus [<!ENTITY e "' + b"x" * 100000 + b'">]>'
            b'<multistatus xmlns="DAV:"><response><href>/b/</href><propstat><prop>'
            b"<displayname>" + refs + b"</displayname></prop>"
            b"<status>HTTP/1.1 200 OK</status></propstat></response></multistatus>")


class Hostile(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def answer(self, status, body=b"", headers=(), reason=None):
        self.send_response(status, reason)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def credentials(self):
        """The Authorization header and the password it carries."""
        header = self.headers.get("Authorization", "")
        try:
            password = base64.b64decode(header.split(" ")[-1]).decode().split(":", 1)[1]
        except (ValueError, IndexError):
            password = ""
        return header, password

    def do_PROPFIND(self):
        self.rfile.read(int(self.headers.get("Content-Length", 0)))
        port = self.server.server_address[1]
        if self.path.startswith("/loop/"):
            self.answer(301, headers=[("Location", self.path)])
        elif self.path.startswith("/away/") and not self.headers["Host"].startswith("localhost"):
            self.answer(302, headers=[("Location", f"http://localhost:{port}/away/")])
        elif self.path.startswith("/away/") and not self.credentials()[0]:
            self.answer(401, headers=[("WWW-Authenticate", 'Basic realm="away"')])
        elif self.path.startswith("/silent/"):
            time.sleep(3600)
        elif self.path.startswith("/bomb/"):
            self.answer(207, bomb())
        elif self.path.startswith("/huge/"):
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
        else:
            name = b"Book &#x9b;2J\xc2\x9b31m" + self.credentials()[1].encode()
            self.answer(207, BOOK % (self.path.encode(), name))

    def do_PUT(self):
        self.rfile.read(int(self.headers.get("Content-Length", 0)))
        if self.path.startswith("/moved/"):
            self.answer(307, headers=[("Location", sys.argv[3] + "/elsewhere" + self.path)])
        elif self.path.startswith("/rude/"):
            header, password = self.credentials()
            self.answer(403, reason=f"No\x1b]0;owned\x07\x1b[31m\r{header} {password}" + "x" * 500)
        elif self.path.startswith("/drop/"):
            self.close_connection = True
        else:
            self.answer(201)

    def do_REPORT(self):
        asked = self.rfile.read(int(self.headers.get("Content-Length", 0))).decode()
        missing = "".join(f"<response><href>{href}</href><status>HTTP/1.1 404 Not Found</status>"
                          "</response>" for href in re.findall(r"<d:href>([^<]*)</d:href>", asked))
        self.answer(207, f'<multistatus xmlns="DAV:">{missing}</multistatus>'.encode())

    def parse_request(self):
        parsed = super().parse_request()
        sys.stderr.write(self.requestline + "\n")
        sys.stderr.flush()
        return parsed

    def log_message(self, *args):
        pass


address = sys.argv[2] if len(sys.argv) > 2 else "127.0.0.1"
server = http.server.ThreadingHTTPServer((address, int(sys.argv[1])), Hostile)
server.daemon_threads = True
server.serve_forever()
