"""ftp_test_server.py ROOT [FLAG]: an FTP server for the update tests on a free port of 127.0.0.1.

Prints "PORT <number>" once the port is ready, then serves ROOT until it is terminated. FLAG:
  --refuse-retrieve  files can be listed and dated, but every RETR gets "550 Not enough privileges."
  --truncate         SIZE and MDTM tell the truth, but RETR sends only the first half of the file and
                     ends with a normal completion reply: only the size looked up before shows it is short
  --no-anonymous     every login fails
  --silent           no FTP server: the port accepts connections and never sends a byte
  --closed           no FTP server: the port is taken, and connections to it are refused
"""

import io
import logging
import os
import signal
import socket
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


class TruncatingFS(AbstractedFS):
    def open(self, filename, mode):
        if "r" not in mode:
            return super().open(filename, mode)
        with super().open(filename, mode) as whole:
            data = whole.read()
        half = io.BytesIO(data[: len(data) // 2])
        half.name = filename
        return half


def main():
    root = os.path.abspath(sys.argv[1])
    flags = set(sys.argv[2:])

    if flags & {"--silent", "--closed"}:
        port = socket.socket()
        port.bind(("127.0.0.1", 0))
        if "--silent" in flags:
            port.listen(8)
        print("PORT %d" % port.getsockname()[1], flush=True)
        signal.pause()

    logging.basicConfig(level=logging.WARNING)
    authorizer = DummyAuthorizer()
    if "--no-anonymous" in flags:
        authorizer.add_user("operator", "secret", root, perm="elr")
    else:
        authorizer.add_anonymous(root, perm="el" if "--refuse-retrieve" in flags else "elr")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.use_sendfile = False
    handler.auth_failed_timeout = 0
    if "--truncate" in flags:
        handler.abstracted_fs = TruncatingFS

    server = FTPServer(("127.0.0.1", 0), handler)
    print("PORT %d" % server.socket.getsockname()[1], flush=True)
    server.serve_forever(handle_exit=True)


if __name__ == "__main__":
    main()
