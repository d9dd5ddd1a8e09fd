#!/usr/bin/python3
"""Stand-in FTP server for the tests: pyftpdlib on a free loopback port.

Prints "PORT <n>" on its first line once it listens, then serves until killed.
  --root DIR             folder served to every user (created if missing)
  --user NAME:PASSWORD   a user with full rights (repeatable; default test:secret)
  --throttle BYTES       limit each data connection to BYTES per second
  --list-only            behave like servers without MLST/MLSD (vsftpd): LIST only
  --no-active            refuse PORT/EPRT (passive only)
  --command-log FILE     append every command received, one per line ("STOR /x")
  --truncate-received N  drop the last N bytes of every stored file yet report
                         success (a server that loses data silently)
  --alter-received       change one byte in the middle of every stored file,
                         keeping its size (a server that stores other bytes
                         than it received and has no digests to tell)
  --max-logins N         refuse every log-on after the first N
  --no-rename            users have no right to rename (RNFR answers 550)
  --rename-keeps-target  RNTO onto an existing name answers 550 and changes
                         nothing, as servers that never replace on rename do
  --encoding NAME        read commands and write replies in that encoding
                         (default utf8), as a server in a Windows code page
                         (cp1252) does
"""
import argparse
import os
import sys

from pyftpdlib.authorizers import AuthenticationFailed, DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--user", action="append", default=[])
    parser.add_argument("--throttle", type=int, default=0)
    parser.add_argument("--list-only", action="store_true")
    parser.add_argument("--no-active", action="store_true")
    parser.add_argument("--command-log")
    parser.add_argument("--truncate-received", type=int, default=0)
    parser.add_argument("--alter-received", action="store_true")
    parser.add_argument("--max-logins", type=int, default=0)
    parser.add_argument("--no-rename", action="store_true")
    parser.add_argument("--rename-keeps-target", action="store_true")
    parser.add_argument("--encoding", default="utf8")
    args = parser.parse_args()

    os.makedirs(args.root, exist_ok=True)
    class Authorizer(DummyAuthorizer):
        logins = 0

        def validate_authentication(self, username, password, handler):
            super().validate_authentication(username, password, handler)
            if args.max_logins and Authorizer.logins >= args.max_logins:
                raise AuthenticationFailed("Too many log-ons.")
            Authorizer.logins += 1

    authorizer = Authorizer()
    for entry in args.user or ["test:secret"]:
        name, _, password = entry.partition(":")
        authorizer.add_user(name, password, args.root,
                            perm="elradmwMT" if args.no_rename else "elradfmwMT")

    class Handler(FTPHandler):
        def pre_process_command(self, line, cmd, arg):
            if args.command_log:
                with open(args.command_log, "a", encoding="utf-8") as log:
                    log.write(line.rstrip("\r\n") + "\n")
            super().pre_process_command(line, cmd, arg)

        def decode(self, data):
            return data.decode(args.encoding, self.unicode_errors)

        def push(self, text):
            super(FTPHandler, self).push(text.encode(args.encoding, self.unicode_errors))

        def ftp_RNTO(self, path):
            if args.rename_keeps_target and self._rnfr and os.path.exists(path):
                self._rnfr = None
                self.respond("550 Cannot create a file when that file already exists.")
                return None
            return super().ftp_RNTO(path)

        def on_file_received(self, file):
            if args.truncate_received > 0:
                size = os.path.getsize(file)
                os.truncate(file, max(0, size - args.truncate_received))
            if args.alter_received and os.path.getsize(file) > 0:
                with open(file, "r+b") as stored:
                    stored.seek(os.path.getsize(file) // 2)
                    byte = stored.read(1)
                    stored.seek(-1, os.SEEK_CUR)
                    stored.write(bytes([byte[0] ^ 0x20]))

    Handler.authorizer = authorizer
    Handler.banner = "Norvo test FTP server ready."
    Handler.passive_ports = None
    Handler.auth_failed_timeout = 0  # answer a refused login at once
    if args.list_only:
        Handler.proto_cmds = {k: v for k, v in FTPHandler.proto_cmds.items()
                              if k not in ("MLSD", "MLST")}
    if args.no_active:
        Handler.proto_cmds = {k: v for k, v in Handler.proto_cmds.items()
                              if k not in ("PORT", "EPRT")}
    if args.throttle > 0:
        dtp = ThrottledDTPHandler
        dtp.read_limit = args.throttle
        dtp.write_limit = args.throttle
        Handler.dtp_handler = dtp

    # Quiet: pyftpdlib logs every command otherwise.
    import logging
    logging.basicConfig(level=logging.ERROR)

    server = FTPServer(("127.0.0.1", 0), Handler)
    port = server.socket.getsockname()[1]
    sys.stdout.write("PORT %d\n" % port)
    sys.stdout.flush()
    server.serve_forever(handle_exit=True)


if __name__ == "__main__":
    main()
