"""Encoding and decoding of the TDS 7.x messages the SQL Server stand-in needs.

Only the parts FreeTDS's ODBC driver uses against a plain SQL login: packet
framing, PRELOGIN, LOGIN7, SQL batches and the result tokens for errors,
messages, environment changes, INT4 and NVARCHAR columns and DONE.
"""
import struct

# Packet types
SQL_BATCH = 0x01
REPLY = 0x04
ATTENTION = 0x06
LOGIN7 = 0x10
PRELOGIN = 0x12

# DONE status bits
DONE_FINAL = 0x00
DONE_MORE = 0x01
DONE_ERROR = 0x02
DONE_COUNT = 0x10
DONE_ATTN = 0x20

# The collation sent with every NVARCHAR column (Latin1_General_CI_AS).
COLLATION = bytes([0x09, 0x04, 0xD0, 0x00, 0x34])
SERVER_NAME = "NORVOTDS"
PACKET_SIZE = 4096


def utf16(text):
    return text.encode("utf-16-le")


def b_varchar(text):
    return bytes([len(text)]) + utf16(text)


def us_varchar(text):
    return struct.pack("<H", len(text)) + utf16(text)


def read_exact(sock, count):
    data = bytearray()
    while len(data) < count:
        chunk = sock.recv(count - len(data))
        if not chunk:
            return None
        data += chunk
    return bytes(data)


def read_message(sock):
    """One client message (all packets up to end-of-message): (type, payload) or None."""
    payload = bytearray()
    while True:
        header = read_exact(sock, 8)
        if header is None:
            return None
        kind, status, length = header[0], header[1], struct.unpack(">H", header[2:4])[0]
        body = read_exact(sock, length - 8)
        if body is None:
            return None
        payload += body
        if status & 0x01:
            return kind, bytes(payload)


def send_message(sock, payload, kind=REPLY, packet_size=PACKET_SIZE):
    """Frames a reply into packets of the negotiated size and sends it."""
    room = packet_size - 8
    offsets = range(0, max(len(payload), 1), room)
    packet_id = 1
    for start in offsets:
        chunk = payload[start:start + room]
        last = start + room >= len(payload)
        header = struct.pack(">BBHHBB", kind, 0x01 if last else 0x00, len(chunk) + 8, 0, packet_id & 0xFF, 0)
        sock.sendall(header + chunk)
        packet_id += 1


def prelogin_reply():
    """VERSION, ENCRYPTION not supported, INSTOPT, THREADID, MARS off."""
    options = [
        (0x00, struct.pack(">IH", 0x0F000000 | 4000, 0)),
        (0x01, bytes([0x02])),
        (0x02, bytes([0x00])),
        (0x03, struct.pack(">I", 0)),
        (0x04, bytes([0x00])),
    ]
    table_length = 5 * len(options) + 1
    table, data = bytearray(), bytearray()
    for token, value in options:
        table += struct.pack(">BHH", token, table_length + len(data), len(value))
        data += value
    return bytes(table) + b"\xff" + bytes(data)


def unscramble_password(raw):
    """The client swaps the nibbles of every byte and XORs it with 0xA5."""
    plain = bytes((((b ^ 0xA5) << 4) & 0xF0) | (((b ^ 0xA5) >> 4) & 0x0F) for b in raw)
    return plain.decode("utf-16-le", errors="replace")


class Login:
    """The fields of a LOGIN7 message that the stand-in looks at."""

    def __init__(self, payload):
        self.tds_version = struct.unpack("<I", payload[4:8])[0]
        self.packet_size = struct.unpack("<I", payload[8:12])[0]
        self.integrated = bool(payload[25] & 0x80)
        self.host = self._text(payload, 36)
        self.user = self._text(payload, 40)
        self.password = unscramble_password(self._raw(payload, 44))
        self.app = self._text(payload, 48)
        self.database = self._text(payload, 68)

    @staticmethod
    def _raw(payload, at):
        offset, chars = struct.unpack("<HH", payload[at:at + 4])
        return payload[offset:offset + 2 * chars]

    def _text(self, payload, at):
        return self._raw(payload, at).decode("utf-16-le", errors="replace")

    @property
    def wide(self):
        """TDS 7.2 and later: 8-byte DONE counts, 4-byte user types, ALL_HEADERS."""
        return (self.tds_version >> 24) >= 0x72


def batch_text(payload, wide):
    """The statement text of a SQL batch, after the ALL_HEADERS block from TDS 7.2 on."""
    if wide and len(payload) >= 4:
        total = struct.unpack("<I", payload[:4])[0]
        if 4 <= total <= len(payload):
            payload = payload[total:]
    return payload.decode("utf-16-le", errors="replace")


def token_with_length(token, body):
    return bytes([token]) + struct.pack("<H", len(body)) + body


def loginack(login):
    # The version goes back big-endian, as the client's LOGIN7 value.
    version = struct.pack(">I", login.tds_version)
    body = bytes([0x01]) + version + b_varchar("Microsoft SQL Server") + bytes([15, 0, 0x0F, 0xA0])
    return token_with_length(0xAD, body)


def envchange(kind, new, old):
    return token_with_length(0xE3, bytes([kind]) + b_varchar(new) + b_varchar(old))


def collation_change():
    body = bytes([7, len(COLLATION)]) + COLLATION + bytes([0])
    return token_with_length(0xE3, body)


def message(token, number, text, severity, wide, state=1, proc=""):
    line = struct.pack("<I", 1) if wide else struct.pack("<H", 1)
    body = (struct.pack("<IBB", number, state, severity) + us_varchar(text)
            + b_varchar(SERVER_NAME) + b_varchar(proc) + line)
    return token_with_length(token, body)


def error(number, text, wide, severity=16, proc=""):
    return message(0xAA, number, text, severity, wide, proc=proc)


def info(number, text, wide, proc=""):
    return message(0xAB, number, text, 0, wide, proc=proc)


def done(status, count=0, wide=True, token=0xFD, command=0xC1):
    count_bytes = struct.pack("<Q", count) if wide else struct.pack("<I", count)
    return bytes([token]) + struct.pack("<HH", status, command) + count_bytes


def colmetadata(columns, wide):
    """columns: list of (name, kind) with kind "int" or "nvarchar"."""
    body = bytearray(struct.pack("<H", len(columns)))
    for name, kind in columns:
        body += struct.pack("<I", 0) if wide else struct.pack("<H", 0)
        if kind == "int":
            body += struct.pack("<H", 0x0000) + bytes([0x38])
        else:
            body += struct.pack("<H", 0x0001) + bytes([0xE7]) + struct.pack("<H", 256) + COLLATION
        body += b_varchar(name)
    return bytes([0x81]) + bytes(body)


def row(values, columns):
    body = bytearray([0xD1])
    for value, (_, kind) in zip(values, columns):
        if kind == "int":
            body += struct.pack("<i", int(value))
        else:
            encoded = utf16(str(value))
            body += struct.pack("<H", len(encoded)) + encoded
    return bytes(body)
