#!/usr/bin/env python3
"""A DF receiver's web server for the tests: serves the files of a folder
(python's http.server) on a free loopback port, which it prints on the first
line of stdout. Before answering it sleeps as many seconds as the file
"delay" in the folder says, so a test can make the receiver slow."""
import functools
import http.server
import os
import sys
import time


class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        try:
            with open(os.path.join(self.directory, "delay")) as delay:
                time.sleep(float(delay.read()))
        except (OSError, ValueError):
            pass
        super().do_GET()

    def log_message(self, format, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Handler, directory=sys.argv[1]))
print(server.server_address[1], flush=True)
server.serve_forever()
