"""A small FTP server on 127.0.0.1 for the update tests, on a port the system chooses.

Usage: ftp_test_server.py ROOT [--refuse-retrieve] [--truncate] [--no-anonymous]

Prints "PORT <number>" on its first line once it accepts connections, then serves ROOT until it
is terminated.

  --refuse-retrieve  anonymous users may list files and read their dates and sizes, but every
                     RETR is refused with "550 Not enough privileges."
  --truncate         SIZE and MDTM tell the truth, but RETR sends only the first half of the file
                     and then ends the transfer normally
  --no-anonymous     there is no anonymous account; every login fails
"""

import io
import logging
import os
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


class _NamedBytes(io.BytesIO):
    def __init__(self, data, name):
        super().__init__(data)
        self.name = name


class TruncatingFS(AbstractedFS):
    """Hands out only the first half of every file that is opened for reading."""

    def open(self, filename, mode):
        if "r" not in mode:
            return super().open(filename, mode)
        with super().open(filename, mode) as whole:
            data = whole.read()
        return _NamedBytes(data[: len(data) // 2], filename)


def main():
    args = sys.argv[1:]
    if not args or args[0].startswith("--"):
        sys.exit(__doc__)
    root = os.path.abspath(args[0])
    flags = set(args[1:])

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
