#!/usr/bin/python3
"""A faulty FTP server for the tests: a proxy in front of a real one that
misbehaves when the client sends a chosen command.

Usage: ftp_fault_proxy.py --upstream PORT --on COMMAND --mode MODE [--log FILE]
  COMMAND  the command that triggers the fault (STOR, RNFR, PWD, ...), or
           GREETING for the server's first reply
  MODE     drop     close the control connection instead of passing it on
           garbage  answer with binary junk and a reply code no command has,
                    instead of passing it on
           junk     answer with binary junk only (no reply code at all)
           refuse   answer "550" instead of passing it on
  FILE     gets one line per fault made (the command line that met it), so a
           test can tell that the fault happened at all
Data connections go straight to the real server (its PASV address). The
command that triggers a fault never reaches the real server, so a test can
check that nothing on it changed. The first line on stdout is the port.
"""
import argparse
import socket
import sys
import threading

GARBAGE = b"\x00\xff\xfe\x1b[2J garbage \xe9\xe8;;;\r\n999 ?\r\n"
REFUSAL = b"550 Refused by the test proxy.\r\n"
JUNK = b"\x00\xff\xfe\x1b[2J garbage with no reply code \xe9\xe8\r\n"


def pump(source, sink):
    """Copies the real server's replies to the client until either side closes."""
    try:
        while True:
            data = source.recv(65536)
            if not data:
                break
            sink.sendall(data)
    except OSError:
        pass
    for s in (source, sink):
        try:
            s.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass


def misbehave(client, mode, log, line):
    """True when the connection was dropped."""
    if log:
        with open(log, "ab") as out:
            out.write(line.rstrip(b"\r\n") + b"\n")
    if mode == "drop":
        client.shutdown(socket.SHUT_RDWR)
        client.close()
        return True
    client.sendall({"garbage": GARBAGE, "refuse": REFUSAL}.get(mode, JUNK))
    return False


def serve(client, upstream_port, trigger, mode, log):
    if trigger == "GREETING":
        if not misbehave(client, mode, log, b"GREETING"):
            # The client waits for a greeting that never comes right.
            client.recv(65536)
            client.close()
        return
    server = socket.create_connection(("127.0.0.1", upstream_port))
    threading.Thread(target=pump, args=(server, client), daemon=True).start()
    buffered = b""
    try:
        while True:
            data = client.recv(65536)
            if not data:
                break
            buffered += data
            while b"\n" in buffered:
                line, buffered = buffered.split(b"\n", 1)
                command = line.strip().split(b" ", 1)[0].decode("latin-1").upper()
                if command == trigger:
                    if misbehave(client, mode, log, line):
                        server.close()
                        return
                    continue
                server.sendall(line + b"\n")
    except OSError:
        pass
    server.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--upstream", type=int, required=True)
    parser.add_argument("--on", required=True)
    parser.add_argument("--mode", choices=("drop", "garbage", "junk", "refuse"), required=True)
    parser.add_argument("--log")
    args = parser.parse_args()
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(8)
    print(listener.getsockname()[1], flush=True)
    while True:
        client, _ = listener.accept()
        threading.Thread(target=serve, args=(client, args.upstream, args.on.upper(), args.mode, args.log),
                         daemon=True).start()


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        pass
