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
  --digests KIND         the digest commands offered in FEAT: "all" (default:
                         HASH with SHA-256, SHA-1, MD5 and CRC32, and XSHA256,
                         XSHA1, XMD5, XCRC), "hash" (HASH only), "x" (the X
                         commands only), "none", or "lie" (all, each giving
                         the digest of other bytes than the file holds)
  --cut-after N          reset the data connection of the next file transfer
                         (STOR, APPE or RETR) once it carried N bytes, and
                         answer 426; repeated, one cut per transfer in order
  --cut-control          each cut resets the control connection as well (the
                         session is gone, no reply comes), as a router that
                         drops a long-silent control connection does
  --lose-226 N           the first N uploads that arrive whole get no 226
                         (the control connection stays silent after them)
  --no-rest              no REST command (and no "REST STREAM" in FEAT)
  --ignore-rest          answer REST with 350 yet start every transfer at byte 0
                         (a server that restarts wrongly)
  --refuse-once CMD[#N]  answer the next CMD (or the N-th CMD the server gets)
                         with a refusal for the moment (421 and the connection
                         closed for USER, as a server that counts connections
                         per address does; 425 for STOR, APPE and RETR; 450
                         else); repeated, once more
  --received-log FILE    append the bytes each upload's data connection carried
                         (STOR or APPE, whole or cut), one number per line
"""
import argparse
import hashlib
import os
import socket
import struct
import sys
import zlib

from pyftpdlib.authorizers import AuthenticationFailed, DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer


DIGESTS = {"SHA-256": "sha256", "SHA-1": "sha1", "MD5": "md5", "CRC32": None}


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
    parser.add_argument("--digests", default="all",
                        choices=["all", "hash", "x", "none", "lie"])
    parser.add_argument("--cut-after", type=int, action="append", default=[])
    parser.add_argument("--cut-control", action="store_true")
    parser.add_argument("--lose-226", type=int, default=0)
    parser.add_argument("--no-rest", action="store_true")
    parser.add_argument("--ignore-rest", action="store_true")
    parser.add_argument("--refuse-once", action="append", default=[])
    parser.add_argument("--received-log")
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

    hash_commands = {"HASH": "SHA-256*;SHA-1;MD5;CRC32"}
    x_commands = {"XSHA256": "", "XSHA1": "", "XMD5": "", "XCRC": ""}
    offered = {"all": {**hash_commands, **x_commands}, "lie": {**hash_commands, **x_commands},
               "hash": hash_commands, "x": x_commands, "none": {}}[args.digests]

    received = {}  # how many of each command the server got

    class Handler(FTPHandler):
        def __init__(self, *a, **kw):
            super().__init__(*a, **kw)
            self._extra_feats = self._extra_feats + [
                (command + " " + facts).strip() for command, facts in offered.items()]

        def pre_process_command(self, line, cmd, arg):
            if args.command_log:
                with open(args.command_log, "a", encoding="utf-8") as log:
                    log.write(line.rstrip("\r\n") + "\n")
            received[cmd] = received.get(cmd, 0) + 1
            refusal = next((entry for entry in args.refuse_once
                            if entry == cmd or entry == "%s#%d" % (cmd, received[cmd])), None)
            if refusal:
                args.refuse_once.remove(refusal)
                if cmd == "USER":
                    self.respond("421 Too many connections from this IP.")
                    self.close_when_done()
                elif cmd in ("STOR", "APPE", "RETR"):
                    self.respond("425 Can't open data connection.")
                else:
                    self.respond("450 Requested action not taken, try again.")
                return
            super().pre_process_command(line, cmd, arg)

        def decode(self, data):
            return data.decode(args.encoding, self.unicode_errors)

        def push(self, text):
            super(FTPHandler, self).push(text.encode(args.encoding, self.unicode_errors))

        def ftp_REST(self, line):
            if not args.ignore_rest:
                return super().ftp_REST(line)
            self.respond("350 Restarting at %s." % line)
            return None

        def ftp_RNTO(self, path):
            if args.rename_keeps_target and self._rnfr and os.path.exists(path):
                self._rnfr = None
                self.respond("550 Cannot create a file when that file already exists.")
                return None
            return super().ftp_RNTO(path)

        hash_name = "SHA-256"

        def file_digest(self, path, name):
            crc = 0
            digest = hashlib.new(DIGESTS[name]) if name != "CRC32" else None
            size = 0
            with open(path, "rb") as f:
                while True:
                    block = f.read(1 << 20)
                    if not block:
                        break
                    if digest:
                        digest.update(block)
                    else:
                        crc = zlib.crc32(block, crc)
                    size += len(block)
            if args.digests == "lie":  # the digest of other bytes
                if digest:
                    digest.update(b"x")
                else:
                    crc = zlib.crc32(b"x", crc)
            return (digest.hexdigest() if digest else "%x" % (crc & 0xFFFFFFFF)), size

        def ftp_HASH(self, path):
            if not os.path.isfile(path):
                self.respond("550 Not a file.")
                return
            digest, size = self.file_digest(path, self.hash_name)
            self.respond("213 %s 0-%d %s %s" % (self.hash_name, size, digest,
                                                 self.fs.fs2ftp(path)))

        def x_digest(self, path, name):
            if not os.path.isfile(path):
                self.respond("550 Not a file.")
                return
            digest, _ = self.file_digest(path, name)
            # As servers in the field do: upper case, and a CRC without leading zeros.
            self.respond("250 %s" % (digest.lstrip("0") or "0").upper()
                         if name == "CRC32" else "250 " + digest.upper())

        def ftp_XSHA256(self, path):
            self.x_digest(path, "SHA-256")

        def ftp_XSHA1(self, path):
            self.x_digest(path, "SHA-1")

        def ftp_XMD5(self, path):
            self.x_digest(path, "MD5")

        def ftp_XCRC(self, path):
            self.x_digest(path, "CRC32")

        def ftp_OPTS(self, line):
            command, _, choice = line.partition(" ")
            if command.upper() != "HASH" or "HASH" not in self.proto_cmds:
                return super().ftp_OPTS(line)
            if choice.upper() not in DIGESTS:
                self.respond("501 Unknown algorithm.")
                return
            self.hash_name = choice.upper()
            self.respond("200 " + self.hash_name)

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

    Handler.proto_cmds = dict(FTPHandler.proto_cmds)
    for command in offered:
        Handler.proto_cmds[command] = dict(perm="r", auth=True, arg=True,
                                           help="Syntax: %s <SP> file-name." % command)

    if args.no_rest:
        Handler.proto_cmds = {k: v for k, v in Handler.proto_cmds.items() if k != "REST"}
    cuts = list(args.cut_after)  # one per file transfer, in order
    lost_226 = [args.lose_226]

    def faulty(base):
        class FaultyDTP(base):
            cut = None  # bytes after which this transfer is cut; -1: never

            def cut_at(self):
                if self.cut is None and self.file_obj is not None:
                    self.cut = cuts.pop(0) if cuts else -1
                return -1 if self.cut is None else self.cut

            def cut_now(self):
                # A reset, as a router or a server gone away gives.
                self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                self.transfer_finished = False
                self._resp = None if args.cut_control else (
                    "426 Connection cut by the test server.", lambda *a, **k: None)
                control = self.cmd_channel
                self.close()
                if args.cut_control:
                    control.socket.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                    control.close()

            def recv(self, size):
                cut = self.cut_at()
                if cut >= 0:
                    size = max(1, min(size, cut - self.tot_bytes_received))
                return super().recv(size)

            def handle_read(self):
                super().handle_read()
                if self.cut_at() >= 0 and self.tot_bytes_received >= self.cut and not self._closed:
                    self.cut_now()

            handle_read_event = handle_read  # pyftpdlib calls it by this name

            def send(self, data):
                cut = self.cut_at()
                if cut >= 0:
                    data = data[:max(0, cut - self.tot_bytes_sent)]
                sent = super().send(data) if data else 0
                if cut >= 0 and self.tot_bytes_sent >= cut and not self._closed:
                    self.cut_now()
                return sent

            def close(self):
                if (not self._closed and self.receive and self.transfer_finished
                        and self.file_obj is not None and lost_226[0] > 0):
                    lost_226[0] -= 1
                    self._resp = None
                if not self._closed and self.receive and args.received_log:
                    with open(args.received_log, "a", encoding="utf-8") as log:
                        log.write("%d\n" % self.tot_bytes_received)
                super().close()
        return FaultyDTP

    Handler.authorizer = authorizer
    Handler.banner = "Norvo test FTP server ready."
    Handler.passive_ports = None
    Handler.auth_failed_timeout = 0  # answer a refused login at once
    if args.list_only:
        Handler.proto_cmds = {k: v for k, v in Handler.proto_cmds.items()
                              if k not in ("MLSD", "MLST")}
    if args.no_active:
        Handler.proto_cmds = {k: v for k, v in Handler.proto_cmds.items()
                              if k not in ("PORT", "EPRT")}
    if args.throttle > 0:
        dtp = ThrottledDTPHandler
        dtp.read_limit = args.throttle
        dtp.write_limit = args.throttle
        Handler.dtp_handler = dtp
    Handler.use_sendfile = False
    Handler.dtp_handler = faulty(Handler.dtp_handler)

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
