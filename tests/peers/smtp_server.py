#!/usr/bin/python3
"""SMTP server for tests: aiosmtpd with AUTH on a free loopback port.

Prints "PORT <n>" on stdout once it listens, then writes one JSON line per
event to the log file: {"event": "auth", "login", "ok"} for each login
attempt and {"event": "message", "mail_from", "rcpt_tos", "data_b64",
"login", ...} for each accepted message: data_b64 holds the raw DATA bytes,
the other fields what Python's mail parser reads from them.
Runs until it is terminated.
"""
import argparse
import asyncio
import base64
import email
import email.policy
import json
import sys

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


class Recorder:
    def __init__(self, log_path, user, password):
        self.log_path = log_path
        self.user = user.encode()
        self.password = password.encode()

    def write(self, record):
        with open(self.log_path, "a", encoding="utf-8") as log:
            log.write(json.dumps(record) + "\n")

    def authenticate(self, server, session, envelope, mechanism, auth_data):
        if not isinstance(auth_data, LoginPassword):
            return AuthResult(success=False, handled=False)
        ok = auth_data.login == self.user and auth_data.password == self.password
        self.write({"event": "auth", "mechanism": mechanism,
                    "login": auth_data.login.decode(errors="replace"), "ok": ok})
        if not ok:
            # handled=False makes aiosmtpd answer 535; True would send nothing.
            return AuthResult(success=False, handled=False)
        return AuthResult(success=True, auth_data=auth_data.login.decode())

    async def handle_DATA(self, server, session, envelope):
        raw = envelope.original_content
        # Python's own mail parser decodes the headers and the body, so tests
        # see what a mail reader would show.
        parsed = email.message_from_bytes(raw, policy=email.policy.default)
        sender = parsed["from"].addresses[0] if parsed["from"] else None
        self.write({"event": "message",
                    "mail_from": envelope.mail_from,
                    "rcpt_tos": envelope.rcpt_tos,
                    "data_b64": base64.b64encode(raw).decode(),
                    "login": session.auth_data if session.authenticated else None,
                    "from_name": sender.display_name if sender else None,
                    "from_addr": sender.addr_spec if sender else None,
                    "to": [a.addr_spec for a in parsed["to"].addresses] if parsed["to"] else [],
                    "subject": str(parsed["subject"]),
                    "date": str(parsed["date"]),
                    "content_type": parsed.get_content_type(),
                    "charset": parsed.get_content_charset(),
                    "body_b64": base64.b64encode(parsed.get_payload(decode=True) or b"").decode()})
        return "250 OK"


async def serve(args):
    recorder = Recorder(args.log, args.user, args.password)
    loop = asyncio.get_running_loop()
    server = await loop.create_server(
        lambda: SMTP(recorder, authenticator=recorder.authenticate,
                     auth_required=True, auth_require_tls=False,
                     hostname="peer.test"),
        "127.0.0.1", 0)
    port = server.sockets[0].getsockname()[1]
    print(f"PORT {port}", flush=True)
    async with server:
        await server.serve_forever()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--log", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    try:
        asyncio.run(serve(parser.parse_args()))
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
