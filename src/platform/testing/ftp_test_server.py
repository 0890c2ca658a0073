#!/usr/bin/python3
"""A local FTP server for Valico's tests.

Serves --root to two users: --user/--password with every right, and "reader"/"reader" who may
list and download but not delete or store. Listens on 127.0.0.1, on --port (0: a free port
chosen by the system), and writes the port into --ready once it listens. Every command it
receives, but the password, is appended to --log, one per line. A second port, written after
the first in --ready, accepts connections and never says a word (a server that hangs).
"""
import argparse
import logging
import os
import socket

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--root", required=True)
    ap.add_argument("--user", default="valico")
    ap.add_argument("--password", default="segreto")
    ap.add_argument("--port", type=int, default=0)
    ap.add_argument("--ready", required=True)
    ap.add_argument("--log")
    args = ap.parse_args()
    logging.basicConfig(level=logging.ERROR)

    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elradfmwMT")
    authorizer.add_user("reader", "reader", args.root, perm="elr")

    class Handler(FTPHandler):
        def pre_process_command(self, line, cmd, arg):
            if args.log and cmd != "PASS":
                with open(args.log, "a", encoding="latin-1") as log:
                    log.write(line + "\n")
            return super().pre_process_command(line, cmd, arg)

    Handler.authorizer = authorizer
    Handler.encoding = "latin-1"  # file names are Windows-1252 bytes, passed through
    Handler.auth_failed_timeout = 0.1  # tests try wrong passwords; do not make them wait
    server = FTPServer(("127.0.0.1", args.port), Handler)
    port = server.socket.getsockname()[1]
    silent = socket.socket()
    silent.bind(("127.0.0.1", 0))
    silent.listen(16)
    with open(args.ready + ".tmp", "w") as ready:
        ready.write("%d %d" % (port, silent.getsockname()[1]))
    os.rename(args.ready + ".tmp", args.ready)
    server.serve_forever()


if __name__ == "__main__":
    main()
