#!/usr/bin/python3
"""A hostile FTP server for the tests: it logs anyone on, stores uploads in
memory, and answers one thing without end.

Usage: ftp_hostile.py --flood WHAT [--trickle] [--log FILE]
  WHAT     FEAT     the reply to FEAT is a multi-line reply that never ends
           LISTING  the data of every MLSD or LIST never ends
  --trickle  send one line every 0.2 seconds (each wait is short, the whole
             never ends) instead of as fast as the client reads
  FILE     gets every command line received, one per line (--command-log
           is the same, as the pyftpdlib stand-in names it)
The first line on stdout is "PORT <n>". Passive mode only (EPSV and PASV).
"""
import argparse
import socket
import sys
import threading
import time

FEAT = b"211-Features:\r\n MLST type*;size*;modify*;\r\n EPSV\r\n211 End\r\n"


def endless(sock, line, trickle):
    """Sends the line again and again until the client goes away."""
    chunk = line if trickle else line * 4096
    try:
        while True:
            sock.sendall(chunk)
            if trickle:
                time.sleep(0.2)
    except OSError:
        pass


class Session:
    def __init__(self, client, args):
        self.client = client
        self.args = args
        self.listener = None
        self.files = {}

    def reply(self, text):
        self.client.sendall(text.encode("latin-1") + b"\r\n")

    def data_connection(self):
        if self.listener is None:
            return None
        data, _ = self.listener.accept()
        self.listener.close()
        self.listener = None
        return data

    def passive(self, extended):
        self.listener = socket.socket()
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(1)
        port = self.listener.getsockname()[1]
        if extended:
            self.reply("229 Entering Extended Passive Mode (|||%d|)" % port)
        else:
            self.reply("227 Entering Passive Mode (127,0,0,1,%d,%d)" % (port >> 8, port & 255))

    def listing(self):
        self.reply("150 Here comes the listing.")
        data = self.data_connection()
        if self.args.flood == "LISTING":
            endless(data, b"type=file;size=1;modify=20240101000000; ARC1C001.RAR\r\n", self.args.trickle)
            return False
        for name, size in self.files.items():
            data.sendall(b"type=file;size=%d;modify=20240101000000; %s\r\n" % (size, name.encode("latin-1")))
        data.close()
        self.reply("226 Listing sent.")
        return True

    def store(self, path):
        self.reply("150 Send it.")
        data = self.data_connection()
        size = 0
        while True:
            chunk = data.recv(65536)
            if not chunk:
                break
            size += len(chunk)
        data.close()
        self.files[path.rsplit("/", 1)[-1]] = size
        self.reply("226 Stored.")

    def command(self, verb, argument):
        """False when the session is over."""
        simple = {"USER": "331 Password please.", "PASS": "230 Welcome.", "TYPE": "200 Type set.",
                  "CWD": "250 Folder changed.", "MKD": "257 \"%s\" made." % argument,
                  "DELE": "250 Deleted.", "RNFR": "350 Name please.", "RNTO": "250 Renamed.",
                  "OPTS": "200 Ok.", "NOOP": "200 Ok.", "SYST": "215 UNIX Type: L8"}
        if verb == "FEAT":
            if self.args.flood == "FEAT":
                self.client.sendall(b"211-Features:\r\n")
                endless(self.client, b" XFLOOD\r\n", self.args.trickle)
                return False
            self.client.sendall(FEAT)
        elif verb == "PWD":
            self.reply('257 "/" is the current folder.')
        elif verb in ("EPSV", "PASV"):
            self.passive(verb == "EPSV")
        elif verb in ("MLSD", "LIST"):
            return self.listing()
        elif verb == "STOR":
            self.store(argument)
        elif verb == "QUIT":
            self.reply("221 Bye.")
            return False
        elif verb in simple:
            self.reply(simple[verb])
        else:
            self.reply("502 Not here.")
        return True

    def serve(self):
        self.reply("220 Hostile test server.")
        buffered = b""
        try:
            while True:
                data = self.client.recv(4096)
                if not data:
                    return
                buffered += data
                while b"\n" in buffered:
                    line, buffered = buffered.split(b"\n", 1)
                    text = line.rstrip(b"\r").decode("latin-1")
                    if self.args.log:
                        with open(self.args.log, "a", encoding="utf-8") as log:
                            log.write(text + "\n")
                    verb, _, argument = text.partition(" ")
                    if not self.command(verb.upper(), argument):
                        return
        except OSError:
            pass
        finally:
            self.client.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--flood", choices=("FEAT", "LISTING"), required=True)
    parser.add_argument("--trickle", action="store_true")
    parser.add_argument("--log", "--command-log", dest="log")
    args = parser.parse_args()
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(8)
    print("PORT %d" % listener.getsockname()[1], flush=True)
    while True:
        client, _ = listener.accept()
        threading.Thread(target=Session(client, args).serve, daemon=True).start()


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        pass
