#!/usr/bin/env python3
"""A DF receiver's web server for the tests: serves the files of a folder
(python's http.server) on a free loopback port, which it prints on the first
line of stdout. Before answering it sleeps as many seconds as the file
"delay" in the folder says, so a test can make the receiver slow; with a
file "trickle" it sends the body one byte at a time, that many seconds
apart."""
import functools
import http.server
import os
import sys
import time


class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        time.sleep(self.seconds("delay"))
        super().do_GET()

    def copyfile(self, source, outputfile):
        pause = self.seconds("trickle")
        if pause == 0:
            super().copyfile(source, outputfile)
            return
        for byte in iter(lambda: source.read(1), b""):
            outputfile.write(byte)
            outputfile.flush()
            time.sleep(pause)

    def seconds(self, name):
        try:
            with open(os.path.join(self.directory, name)) as text:
                return float(text.read())
        except (OSError, ValueError):
            return 0.0

    def log_message(self, format, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Handler, directory=sys.argv[1]))
print(server.server_address[1], flush=True)
server.serve_forever()
