#!/usr/bin/python3
"""A small SQL Server stand-in speaking TDS 7.x on a free loopback port.

Enough of SQL Server for the database dump of the backup run, as FreeTDS's
ODBC driver talks to it: SQL logins, the database list, the auxiliary
database and its procedure kept as state, BACKUP DATABASE ... TO DISK writing
a file at the given path, RESTORE VERIFYONLY reading such a file back,
configurable refusals, and a record of every statement exactly as received.

Usage: tds_server.py [--config FILE.json] [--log FILE.jsonl] [--drive W=FOLDER ...]
--drive maps a Windows drive letter to a folder, so that a backup path such
as W:\\TEMP_Norvo\\BD05C001.BAK from a Windows client under Wine lands where
that client sees its drive W: (a server on the same computer sees the same drives).
Prints "PORT <n>" on stdout once it listens, then serves until killed.

Configuration (JSON, every key optional):
  user, password          the one SQL login accepted ("sa" / "secret")
  databases               [[dbid, name], ...] the server's databases
  aux_database            true: the auxiliary database "Norvo" exists already
  procedures              ["SP_X", ...] procedures already in "Norvo"
  refuse_backup           true: BACKUP DATABASE is denied (error 262)
  refuse_create_database  true: CREATE DATABASE is denied (error 262)
  fail                    [{"match": "text", "number": n, "message": "..."}]:
                          a statement containing the text fails with that error
  backup_seconds          time a BACKUP takes, with progress messages on the way
  damage_backup           true: BACKUP writes a file with one byte wrong, which
                          RESTORE VERIFYONLY then refuses (error 3241)
The log holds one JSON object per line: {"event": "login", "user", "ok"},
{"event": "sql", "text"} or {"event": "attention"}.
"""
import argparse
import json
import os
import re
import select
import socketserver
import sys
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tds_wire as w  # noqa: E402

def host_path(path, drives):
    """The file a Windows path names on this machine, through --drive."""
    match = re.match(r"^([A-Za-z]):[\\/](.*)$", path, re.DOTALL)
    if not match or match.group(1).upper() not in drives:
        return path
    return os.path.join(drives[match.group(1).upper()], match.group(2).replace("\\", "/"))


IDENT = r'(\[(?:[^\]]|\]\])*\]|"(?:[^"]|"")*"|[A-Za-z_#@][\w@#$]*)'
QUOTED = r"N?'((?:[^']|'')*)'"


def unquote_ident(text):
    if text.startswith("["):
        return text[1:-1].replace("]]", "]")
    if text.startswith('"'):
        return text[1:-1].replace('""', '"')
    return text


def qualified(pattern):
    """A procedure name, with an optional owner prefix such as [dbo]."""
    return r"(?:" + IDENT + r"\s*\.\s*)?" + IDENT + pattern


class Failure(Exception):
    def __init__(self, *errors):
        super().__init__(errors[0][1])
        self.errors = errors  # (number, text) pairs


class ServerState:
    """What outlives a connection: databases and procedures, the log."""

    def __init__(self, config, log_path):
        self.config = config
        self.lock = threading.Lock()
        self.databases = {name.lower(): (int(dbid), name) for dbid, name in config.get("databases", [
            [1, "master"], [2, "tempdb"], [3, "model"], [4, "msdb"]])}
        self.procedures = {}
        if config.get("aux_database"):
            self.add_database("Norvo")
        for name in config.get("procedures", []):
            self.add_database("Norvo")
            self.procedures.setdefault("norvo", {})[name.lower()] = (name, "")
        self.log_file = open(log_path, "a", encoding="utf-8") if log_path else None

    def add_database(self, name):
        if name.lower() not in self.databases:
            next_id = max([dbid for dbid, _ in self.databases.values()] + [4]) + 1
            self.databases[name.lower()] = (next_id, name)

    def log(self, **entry):
        if self.log_file:
            with self.lock:
                self.log_file.write(json.dumps(entry, ensure_ascii=False) + "\n")
                self.log_file.flush()


DUMP_BODY = bytes(range(256)) * 64
DAMAGED_BODY = DUMP_BODY[:1000] + b"\0" + DUMP_BODY[1001:]


def dump_header(database, checksum):
    """The first line of a backup file this server writes."""
    return (b"TAPE\0Norvo stand-in full backup of " + database.encode("utf-8")
            + (b" with checksums" if checksum else b"") + b"\n")


class Session:
    """One client connection: its login, current database and statements."""

    def __init__(self, state, login):
        self.state = state
        self.login = login
        self.wide = login.wide
        self.database = "master"
        self.backup_path = None  # the file of a BACKUP under way

    # Each handler returns a list of reply segments: bytes to send, or a number
    # of seconds to wait between packets.
    def run(self, text):
        statement = text.strip()
        for rule in self.state.config.get("fail", []):
            if rule["match"] in text:
                raise Failure((rule.get("number", 50000), rule.get("message", "Statement refused.")))
        for pattern, handler in self.HANDLERS:
            match = re.fullmatch(pattern, statement, re.IGNORECASE | re.DOTALL)
            if match:
                return handler(self, match)
        word = statement.split()[0] if statement.split() else ""
        raise Failure((102, "Incorrect syntax near '%s'." % word))

    def table(self, columns, rows):
        body = w.colmetadata(columns, self.wide) + b"".join(w.row(r, columns) for r in rows)
        return [body + w.done(w.DONE_COUNT, len(rows), self.wide)]

    def ok(self, *tokens):
        return [b"".join(tokens) + w.done(w.DONE_FINAL, 0, self.wide)]

    def list_databases(self, _):
        with self.state.lock:
            rows = sorted(self.state.databases.values())
        return self.table([("dbid", "int"), ("name", "nvarchar")], rows)

    def find_database(self, match):
        wanted = match.group(1).replace("''", "'").lower()
        with self.state.lock:
            found = [(name, dbid) for key, (dbid, name) in self.state.databases.items() if key == wanted]
        return self.table([("name", "nvarchar"), ("dbid", "int")], found)

    def create_database(self, match):
        name = unquote_ident(match.group(1))
        if self.state.config.get("refuse_create_database"):
            raise Failure((262, "CREATE DATABASE permission denied in database 'master'."))
        with self.state.lock:
            if name.lower() in self.state.databases:
                raise Failure((1801, "Database '%s' already exists. Choose a different database name." % name))
            self.state.add_database(name)
        return self.ok()

    def use(self, match):
        name = unquote_ident(match.group(1))
        with self.state.lock:
            known = self.state.databases.get(name.lower())
        if not known:
            raise Failure((911, "Database '%s' does not exist. Make sure that the name is entered correctly." % name))
        old, self.database = self.database, known[1]
        return self.ok(w.envchange(1, self.database, old),
                       w.info(5701, "Changed database context to '%s'." % self.database, self.wide))

    def procedures_here(self):
        return self.state.procedures.setdefault(self.database.lower(), {})

    def find_object(self, match):
        wanted = match.group(1).replace("''", "'").lower()
        with self.state.lock:
            found = [(name, 1000 + i, "P") for i, (key, (name, _)) in enumerate(self.procedures_here().items())
                     if key == wanted]
        return self.table([("name", "nvarchar"), ("id", "int"), ("xtype", "nvarchar")], found)

    def drop_procedure(self, match):
        name = unquote_ident(match.group(2))
        with self.state.lock:
            if self.procedures_here().pop(name.lower(), None) is None:
                raise Failure((3701, "Cannot drop the procedure '%s', because it does not exist "
                                     "or you do not have permission." % name))
        return self.ok()

    def create_procedure(self, match):
        name, body = unquote_ident(match.group(2)), match.group(3)
        with self.state.lock:
            procedures = self.procedures_here()
            if name.lower() in procedures:
                raise Failure((2714, "There is already an object named '%s' in the database." % name))
            procedures[name.lower()] = (name, body)
        return self.ok()

    def execute_procedure(self, match):
        name = unquote_ident(match.group(2))
        with self.state.lock:
            known = self.procedures_here().get(name.lower())
        if not known:
            raise Failure((2812, "Could not find stored procedure '%s'." % name))
        proc, body = known[0], known[1].strip()
        backup = re.fullmatch(self.BACKUP, body, re.IGNORECASE | re.DOTALL)
        try:
            if not backup:
                raise Failure((102, "Incorrect syntax near '%s'." % (body.split() or [""])[0]))
            segments, status = self.backup_work(backup, proc), 0
        except Failure as failure:
            segments = [b"".join(w.error(n, text, self.wide, proc=proc) for n, text in failure.errors)]
            status = w.DONE_ERROR
        segments.append(w.done(w.DONE_MORE | status, 0, self.wide, token=0xFF)
                        + w.done(w.DONE_MORE | status, 0, self.wide, token=0xFE)
                        + w.done(status, 0, self.wide))
        return segments

    def backup(self, match):
        return self.backup_work(match) + [w.done(w.DONE_FINAL, 0, self.wide)]

    def backup_work(self, match, proc=""):
        """Writes the backup file; the progress messages to send, without DONE."""
        name, path = unquote_ident(match.group(1)), match.group(2).replace("''", "'")
        with self.state.lock:
            known = self.state.databases.get(name.lower())
        if not known:
            raise Failure((911, "Database '%s' does not exist. Make sure that the name is entered correctly." % name))
        if self.state.config.get("refuse_backup"):
            raise Failure((262, "BACKUP DATABASE permission denied in database '%s'." % known[1]),
                          (3013, "BACKUP DATABASE is terminating abnormally."))
        path = host_path(path, self.state.drives)
        self.backup_path = path
        checksum = re.search(r"\bCHECKSUM\b", match.group(3) or "", re.IGNORECASE) is not None
        try:
            with open(path, "wb") as dump:
                dump.write(dump_header(known[1], checksum))
                dump.write(DAMAGED_BODY if self.state.config.get("damage_backup") else DUMP_BODY)
        except OSError as failure:
            raise Failure((3201, "Cannot open backup device '%s'. Operating system error %d(%s)."
                           % (path, failure.errno or 0, failure.strerror or "")),
                          (3013, "BACKUP DATABASE is terminating abnormally."))
        pause = float(self.state.config.get("backup_seconds", 0)) / 10
        segments = []
        for percent in range(10, 101, 10):
            segments.append(w.info(3211, "%d percent processed." % percent, self.wide, proc))
            if pause:
                segments.append(pause)
        segments.append(w.info(4035, "Processed 328 pages for database '%s', file '%s' on file 1."
                               % (known[1], known[1]), self.wide, proc)
                        + w.info(3014, "BACKUP DATABASE successfully processed 330 pages in 0.030 seconds "
                                       "(85.937 MB/sec).", self.wide, proc))
        return segments

    def set_option(self, _):
        return self.ok()

    def verify_only(self, match):
        """Reads a backup file back: it must be one this server wrote, whole."""
        path = host_path(match.group(1).replace("''", "'"), self.state.drives)
        ending = (3013, "VERIFY DATABASE is terminating abnormally.")
        try:
            with open(path, "rb") as dump:
                data = dump.read()
        except OSError as failure:
            raise Failure((3201, "Cannot open backup device '%s'. Operating system error %d(%s)."
                           % (path, failure.errno or 0, failure.strerror or "")), ending)
        header, _, body = data.partition(b"\n")
        known = re.fullmatch(rb"TAPE\0Norvo stand-in full backup of .*?( with checksums)?", header, re.DOTALL)
        if not known or body != DUMP_BODY:
            raise Failure((3241, "The media family on device '%s' is incorrectly formed. "
                                 "SQL Server cannot process this media family." % path), ending)
        if match.group(2) and not known.group(1):
            raise Failure((3187, "RESTORE WITH CHECKSUM cannot be specified because the backup set "
                                 "does not contain checksum information."), ending)
        return self.ok(w.info(3262, "The backup set on file 1 is valid.", self.wide))

    BACKUP = r"BACKUP\s+DATABASE\s+" + IDENT + r"\s+TO\s+DISK\s*=\s*" + QUOTED + r"(?:\s+WITH\s+(.*))?"
    HANDLERS = [
        (r"SELECT\s+dbid\s*,\s*name\s+FROM\s+master\.\.sysdatabases\s+order\s+by\s+dbid", list_databases),
        (r"SELECT\s+\*\s+FROM\s+master\.\.sysdatabases\s+Where\s+name\s*=\s*" + QUOTED, find_database),
        (r"CREATE\s+DATABASE\s+" + IDENT, create_database),
        (r"USE\s+" + IDENT, use),
        (r"SELECT\s+\*\s+FROM\s+sysobjects\s+WHERE\s+name\s*=\s*" + QUOTED, find_object),
        (r"DROP\s+PROCEDURE\s+" + qualified(""), drop_procedure),
        (r"CREATE\s+PROCEDURE\s+" + qualified(r"\s+AS\s+(.*)"), create_procedure),
        (r"EXEC(?:UTE)?\s+" + qualified(""), execute_procedure),
        (BACKUP, backup),
        (r"SET\s+.*", set_option),
        (r"RESTORE\s+VERIFYONLY\s+FROM\s+DISK\s*=\s*" + QUOTED + r"(\s+WITH\s+CHECKSUM)?", verify_only),
    ]


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        state, sock = self.server.state, self.request
        session, packet_size = None, w.PACKET_SIZE
        while True:
            received = w.read_message(sock)
            if received is None:
                return
            kind, payload = received
            if kind == w.PRELOGIN:
                w.send_message(sock, w.prelogin_reply())
            elif kind == w.LOGIN7:
                login = w.Login(payload)
                session = self.log_in(login, sock)
                packet_size = max(512, min(login.packet_size or w.PACKET_SIZE, 32767))
            elif kind == w.ATTENTION:
                state.log(event="attention")
                w.send_message(sock, w.done(w.DONE_ATTN, 0, session.wide if session else True), packet_size=packet_size)
            elif kind == w.SQL_BATCH and session:
                self.batch(session, w.batch_text(payload, session.wide), sock, packet_size)
            else:
                return

    def log_in(self, login, sock):
        state = self.server.state
        config = state.config
        accepted = (not login.integrated and login.user == config.get("user", "sa")
                    and login.password == config.get("password", "secret"))
        state.log(event="login", user=login.user, ok=accepted, tds="%08x" % login.tds_version)
        if not accepted:
            text = ("Login failed. The login is from an untrusted domain and cannot be used with "
                    "Integrated authentication." if login.integrated else "Login failed for user '%s'." % login.user)
            reply = w.error(18452 if login.integrated else 18456, text, login.wide, severity=14)
            w.send_message(sock, reply + w.done(w.DONE_ERROR, 0, login.wide))
            return None
        size = str(max(512, min(login.packet_size or w.PACKET_SIZE, 32767)))
        reply = (w.envchange(1, "master", "") + w.info(5701, "Changed database context to 'master'.", login.wide)
                 + w.collation_change() + w.loginack(login) + w.envchange(4, size, size)
                 + w.done(w.DONE_FINAL, 0, login.wide))
        w.send_message(sock, reply)
        return Session(state, login)

    def batch(self, session, text, sock, packet_size):
        self.server.state.log(event="sql", text=text)
        try:
            segments = session.run(text)
        except Failure as failure:
            tokens = b"".join(w.error(number, message, session.wide) for number, message in failure.errors)
            segments = [tokens + w.done(w.DONE_ERROR, 0, session.wide)]
        pending = b""
        for segment in segments:
            if isinstance(segment, float):
                # Send what is ready as packets without the end-of-message mark, then wait.
                self.send_partial(sock, pending, packet_size)
                pending = b""
                if self.cancelled(sock, segment):
                    # A cancelled BACKUP leaves no file behind.
                    if session.backup_path and os.path.exists(session.backup_path):
                        os.remove(session.backup_path)
                    w.send_message(sock, w.done(w.DONE_ATTN, 0, session.wide), packet_size=packet_size)
                    return
            else:
                pending += segment
        session.backup_path = None
        w.send_message(sock, pending, packet_size=packet_size)

    def cancelled(self, sock, seconds):
        """Waits; true when the client sent ATTENTION meanwhile."""
        readable, _, _ = select.select([sock], [], [], seconds)
        if not readable:
            return False
        received = w.read_message(sock)
        if received and received[0] == w.ATTENTION:
            self.server.state.log(event="attention")
            return True
        return False

    @staticmethod
    def send_partial(sock, data, packet_size):
        room = packet_size - 8
        for start in range(0, len(data), room):
            chunk = data[start:start + room]
            sock.sendall(bytes([w.REPLY, 0x00]) + (len(chunk) + 8).to_bytes(2, "big") + bytes(4) + chunk)


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--config", help="JSON configuration file")
    parser.add_argument("--log", help="file to append the record of logins and statements to")
    parser.add_argument("--drive", action="append", default=[], help="LETTER=FOLDER: a Windows drive")
    args = parser.parse_args()
    config = {}
    if args.config:
        with open(args.config, encoding="utf-8") as source:
            config = json.load(source)
    server = Server(("127.0.0.1", 0), Handler)
    server.state = ServerState(config, args.log)
    server.state.drives = {}
    for mapping in args.drive:
        letter, _, folder = mapping.partition("=")
        server.state.drives[letter.upper()] = folder
    print("PORT %d" % server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
