#!/usr/bin/env python3
"""A server that misbehaves, for the CardDAV client's tests, on 127.0.0.1 at the
port given. PROPFIND /loop/ redirects to itself forever, /huge/ answers with 16 MiB
of XML, /silent/ never answers, /away/ redirects to /echo/ under another host name
(localhost), /echo/ says whether credentials came with the request, /bomb/
answers with an entity bomb; any other path is an address book. A card PUT into
/rude/ is refused with a reason phrase of escape sequences and the credentials.
"""
import base64
import http.server
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
        elif self.path.startswith("/away/"):
            self.answer(302, headers=[("Location", f"http://localhost:{port}/echo/")])
        elif self.path.startswith("/echo/"):
            self.answer(200, b"credentials" if self.credentials()[0] else b"none")
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
        if self.path.startswith("/rude/"):
            header, password = self.credentials()
            self.answer(403, reason=f"No\x1b]0;owned\x07\x1b[31m\r{header} {password}" + "x" * 500)
        else:
            self.answer(201)

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", int(sys.argv[1])), Hostile)
server.daemon_threads = True
server.serve_forever()
