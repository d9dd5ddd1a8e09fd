#!/usr/bin/python3
"""Stand-in for the provider's account service.

Answers GET /funciones.php?Tipo=N on a free loopback port and records every
request, in order, as one JSON line: {"path", "raw_query", "query": [[key,
value], ...], "headers": {name: value, ...}} with values percent-decoded as
Windows-1252 ("+" kept as it is).

Usage: account_service.py --log FILE [--config FILE]
The first line on stdout is the port. The configuration (JSON) may hold:
  "tipo3": reply text of Tipo=3 (default "")
  "tipo8": reply text of Tipo=8 (default "")
  "delay_s": {"3": seconds, ...}   wait before answering that Tipo
  "drop": ["3", ...]               close the connection without an answer
  "status": {"3": 500, ...}        answer with that HTTP status
  "repeat": {"3": n, ...}          the reply text n times over (a huge answer)
  "cut": {"3": n, ...}             announce the whole reply, send its first n
                                   bytes and close the connection
  "moved": {"3": "/path", ...}     answer a request to /funciones.php with a
                                   redirect (302) to that path and the same
                                   query; the other paths answer as usual
A reply given as a list of numbers is sent as those bytes (garbage).
The configuration file is read again for every request, so a test may change it.
"""
import argparse
import json
import socket
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer


def decode_query(raw):
    pairs = []
    for part in raw.split("&") if raw else []:
        key, _, value = part.partition("=")
        pairs.append([urllib.parse.unquote(key, encoding="cp1252"),
                      urllib.parse.unquote(value, encoding="cp1252")])
    return pairs


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        path, _, raw = self.path.partition("?")
        query = decode_query(raw)
        with self.server.lock:
            with open(self.server.log_path, "a", encoding="utf-8") as log:
                log.write(json.dumps({"path": path, "raw_query": raw, "query": query,
                                      "headers": dict(self.headers.items())}) + "\n")
        config = self.server.load_config()
        tipo = dict(query).get("Tipo", "")
        moved = config.get("moved", {}).get(tipo)
        if moved and path == "/funciones.php":
            self.send_response(302)
            self.send_header("Location", moved + "?" + raw)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        delay = config.get("delay_s", {}).get(tipo, 0)
        if delay:
            time.sleep(delay)
        if tipo in config.get("drop", []):
            self.connection.shutdown(socket.SHUT_RDWR)
            self.close_connection = True
            return
        body = config.get("tipo" + tipo, "") if tipo in ("3", "8") else "OK"
        data = body.encode("cp1252", errors="replace") if isinstance(body, str) else bytes(body)
        data *= config.get("repeat", {}).get(tipo, 1)
        cut = config.get("cut", {}).get(tipo)
        self.send_response(config.get("status", {}).get(tipo, 200))
        self.send_header("Content-Type", "text/html; charset=windows-1252")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        try:
            if cut is not None:
                self.wfile.write(data[:cut])
                self.wfile.flush()
                self.connection.shutdown(socket.SHUT_RDWR)
                self.close_connection = True
                return
            for start in range(0, len(data), 65536):
                self.wfile.write(data[start:start + 65536])
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True  # the client stopped reading


class Server(ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, log_path, config_path):
        super().__init__(("127.0.0.1", 0), Handler)
        self.log_path = log_path
        self.config_path = config_path
        self.lock = threading.Lock()

    def load_config(self):
        if not self.config_path:
            return {}
        try:
            with open(self.config_path, encoding="utf-8") as f:
                return json.load(f)
        except FileNotFoundError:
            return {}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--log", required=True)
    parser.add_argument("--config")
    args = parser.parse_args()
    server = Server(args.log, args.config)
    print(server.server_address[1], flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
