"""The fake order system: POST /wso/direct.jsp, as the wizard's order client talks to it.

The form is decoded exactly as the client writes it: fields in their order, values percent
decoded byte by byte into CP932 bytes. A byte outside the client's kept set that is not
escaped, an escape with upper-case digits or a broken escape is a client fault: the answer
is 400, so a test sees it.

Answers come from a scripted queue per request ID when the test filled one, else from a
small state model: a customer with agreements and serials. An order ("1003", "1004") adds
an agreement whose SecurityStatus becomes "2" with the k-th status request ("1002") after
it; a re-installation ("1006") puts its serial to SerialStatus 4 the same way.

All texts of the model and of scripted answers are bytes: JSON strings whose characters are
taken as single bytes (latin-1), as the C++ side writes them (FakeServer::JsonBytes).
"""

import copy
import sys
import threading
import time

# The server's own Hangup class, bound in register(): the server runs as __main__, so an
# import by name would load a second copy whose exception the server does not catch.
Hangup = None

PATH = "/wso/direct.jsp"
# Real answers declare Shift_JIS and carry CP932 bytes.
DEFAULT_ENCODING = "Shift_JIS"
PLAIN_DECLARATION = b"<?xml version=\"1.0\"?>"
KEPT = set(b"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789!'()*-./:_~")
HEX_LOWER = set(b"0123456789abcdef")

DEFAULT_MODEL = {
    "VeldinCommonID": "C0001",
    "AccessKey": "KEY0001",
    "CustomerName": "Customer",
    "MailAddressAL": "customer@example.invalid",
    "BasicSerialCount": 1,
    "agreements": [],      # {SecurityID, AgreementID, SecurityStatus, DateServiceStart}
    "serials": [],         # {SerialID, NickName, SerialStatus, MailAddressSN, Grant..., ...Info}
    "polls_until_done": 2,
    "check_credentials": True,
}

SERIAL_TEXT_FIELDS = ["NickName", "ConstructionEndDate", "MailAddressSN", "OsVerInfo", "MemInfo", "HddInfo",
                      "IeVerInfo", "KavoVerInfo", "StVerInfo"]
PC_FIELDS = ["OsVerInfo", "CpuInfo", "MemInfo", "HddInfo", "IeVerInfo", "KavoVerInfo", "StVerInfo"]


class FormError(ValueError):
    pass


def decode_form(body):
    """[(name, value bytes)] in body order; FormError when the client's escaping rules are broken."""
    fields = []
    if not body:
        return fields
    for part in body.split(b"&"):
        name, sep, value = part.partition(b"=")
        if not sep:
            raise FormError("field without '=': %r" % part)
        fields.append((decode_value(name).decode("latin-1"), decode_value(value)))
    return fields


def decode_value(raw):
    out = bytearray()
    i = 0
    while i < len(raw):
        b = raw[i]
        if b == 0x25:  # '%'
            digits = raw[i + 1:i + 3]
            if len(digits) != 2 or not all(d in HEX_LOWER for d in digits):
                raise FormError("bad escape at %d: %r" % (i, raw[i:i + 3]))
            escaped = int(digits, 16)
            if escaped in KEPT:
                raise FormError("needless escape of %r" % chr(escaped))
            out.append(escaped)
            i += 3
        elif b in KEPT:
            out.append(b)
            i += 1
        else:
            raise FormError("unescaped byte 0x%02x at %d" % (b, i))
    return bytes(out)


def text(value):
    return str(value).encode("latin-1")


def xml_escape(data):
    return data.replace(b"&", b"&amp;").replace(b"<", b"&lt;").replace(b">", b"&gt;").replace(b'"', b"&quot;")


def element(name, value):
    return b"<" + name.encode() + b">" + xml_escape(text(value)) + b"</" + name.encode() + b">"


def declare(body, encoding):
    """The answer with encoding declared in its XML head: "" keeps the head without one (the
    bytes stay CP932), a UTF-8 name also re-encodes the CP932 bytes as UTF-8."""
    if not encoding:
        return body
    if encoding.lower() in ("utf-8", "utf8"):
        body = body.decode("cp932").encode("utf-8")
    return body.replace(PLAIN_DECLARATION,
                        b"<?xml version=\"1.0\" encoding=\"" + text(encoding) + b"\"?>", 1)


class OrderSystem:
    def __init__(self, server):
        self.server = server
        self.lock = threading.Lock()
        self.reset()

    def reset(self):
        with self.lock:
            self.model = copy.deepcopy(DEFAULT_MODEL)
            self.scripts = {}     # request ID -> [entry], front first; "*" for any ID
            self.requests = []    # {"id", "fields": [(name, bytes)], "body"}
            self.pending = []     # {"kind", "key", "polls"}
            self.next_number = 1

    # --- the endpoint ---------------------------------------------------------------

    def handle(self, ex):
        if ex.path != PATH:
            return False
        if ex.method != "POST":
            ex.send(405, b"POST only\n", {"Content-Type": "text/plain"})
            return True
        try:
            fields = decode_form(ex.body)
        except FormError as error:
            ex.send(400, ("malformed form: %s\n" % error).encode(), {"Content-Type": "text/plain"})
            return True
        values = dict(fields)
        request_id = values.get("ID", b"").decode("latin-1")
        with self.lock:
            self.requests.append({"id": request_id, "fields": fields, "body": ex.body})
            entry = self.take_script(request_id)
        if entry is not None and entry.get("mode") in ("refuse", "close"):
            raise Hangup()
        if entry is not None and entry.get("mode") == "reset":
            raise Hangup(reset=True)
        with self.lock:
            if entry is not None and ("body" in entry or "body_hex" in entry):
                body = bytes.fromhex(entry["body_hex"]) if "body_hex" in entry else text(entry["body"])
            else:
                result = entry.get("result") if entry else None
                body = self.answer(request_id, values, result)
        scripted_body = entry is not None and ("body" in entry or "body_hex" in entry)
        if entry is not None and "encoding" in entry:
            body = declare(body, str(entry["encoding"]))
        elif not scripted_body:
            body = declare(body, DEFAULT_ENCODING)
        if entry is not None and entry.get("pad_to"):
            # A comment after the root element makes the answer exactly that long.
            filler = int(entry["pad_to"]) - len(body) - len(b"\r\n<!---->")
            body += b"\r\n<!--" + b"x" * max(0, filler) + b"-->"
        if entry is not None and entry.get("nul"):
            at = int(entry.get("at", len(body) // 2))
            body = body[:at] + b"\0" + body[at:]
        status = int(entry.get("status", 200)) if entry else 200
        delay = float(entry.get("delay", 0)) if entry else 0.0
        date = entry.get("date", "") if entry else ""
        self.send(ex, status, body, date, delay)
        return True

    def take_script(self, request_id):
        for key in (request_id, "*"):
            queue = self.scripts.get(key)
            if queue:
                entry = queue[0]
                times = int(entry.get("times", 1))
                if times > 1:
                    entry["times"] = times - 1
                    return dict(entry)
                return queue.pop(0)
        return None

    def send(self, ex, status, body, date, delay):
        headers = {"Content-Type": "text/xml"}
        if not date:
            ex.send(status, body, headers, delay)
            return
        # A Date of the test's choosing, or none at all: written by hand, because the
        # standard head always adds the current date.
        if delay:
            time.sleep(delay)
        h = ex.handler
        h.send_response_only(status)
        if date != "none":
            h.send_header("Date", date)
        for key, value in headers.items():
            h.send_header(key, value)
        h.send_header("Content-Length", str(len(body)))
        h.end_headers()
        h.wfile.write(body)
        h.wfile.flush()
        ex.answered = True

    # --- the state model ------------------------------------------------------------

    def answer(self, request_id, values, result):
        model = self.model
        if result is None:
            result = "0000"
            if model.get("check_credentials", True) and (
                    values.get("VeldinCommonID", b"") != text(model["VeldinCommonID"])
                    or values.get("AccessKey", b"") != text(model["AccessKey"])):
                result = "0002"
        if result != "0000":
            return self.render(request_id, result, [], [])
        serial_id = values.get("SerialID", b"").decode("latin-1")
        if request_id in ("1001", "1002"):
            if request_id == "1002":
                self.advance_pending()
            return self.render(request_id, result, model["agreements"], model["serials"])
        if request_id in ("1003", "1004"):
            agreement, serials = self.order(request_id)
            return self.render(request_id, result, [agreement], serials)
        serial = self.find_serial(serial_id)
        if request_id in ("1005", "1006", "1007", "1009", "1010", "1011") and serial is None:
            return self.render(request_id, "0005", [], [])
        if request_id in ("1005", "1006", "1007"):
            serial["NickName"] = values.get("NickName", b"").decode("latin-1")
        if request_id in ("1005", "1006", "1010"):
            serial["MailAddressSN"] = values.get("MailAddressSN", b"").decode("latin-1")
        if request_id == "1005":
            serial["SerialStatus"] = 1
        if request_id == "1006":
            serial["SerialStatus"] = 2
            self.pending.append({"kind": "serial", "key": serial_id, "polls": 0})
        if request_id == "1010":
            serial["GrantGetMailAddress"] = int(values.get("GrantGetMailAddress", b"0") or b"0")
        if request_id == "1011":
            for name in ("GrantGetMailAddress", "GrantGetPCInfo", "GrantExtraFunction"):
                serial[name] = int(values.get(name, b"0") or b"0")
            for name in PC_FIELDS:
                serial[name] = values.get(name, b"").decode("latin-1")
        if request_id == "1008":
            for agreement in model["agreements"]:
                agreement["SecurityStatus"] = "9"
        if request_id == "1009":
            serial["SerialStatus"] = 5
        return self.render(request_id, result, model["agreements"], model["serials"])

    def find_serial(self, serial_id):
        for serial in self.model["serials"]:
            if serial.get("SerialID") == serial_id:
                return serial
        return None

    def order(self, request_id):
        number = self.next_number
        self.next_number += 1
        agreement = {"SecurityID": "S%04d" % number, "AgreementID": "A%04d" % number,
                     "SecurityStatus": "1", "DateServiceStart": ""}
        count = max(1, int(self.model.get("BasicSerialCount", 1))) if request_id == "1003" else 1
        serials = [{"SerialID": "SN%04d%02d" % (number, i + 1), "SerialStatus": 0} for i in range(count)]
        self.model["agreements"].append(agreement)
        self.model["serials"].extend(serials)
        self.pending.append({"kind": "agreement", "key": agreement["SecurityID"], "polls": 0})
        return agreement, serials

    def advance_pending(self):
        k = int(self.model.get("polls_until_done", 2))
        still = []
        for work in self.pending:
            work["polls"] += 1
            if work["polls"] < k:
                still.append(work)
            elif work["kind"] == "agreement":
                for agreement in self.model["agreements"]:
                    if agreement["SecurityID"] == work["key"]:
                        agreement["SecurityStatus"] = "2"
            else:
                serial = self.find_serial(work["key"])
                if serial is not None:
                    serial["SerialStatus"] = 4
        self.pending = still

    def render(self, request_id, result, agreements, serials):
        model = self.model
        out = [PLAIN_DECLARATION, b"<VeldinSecurityListing>",
               b"<BaseData>" + element("ID", request_id) + element("ResultCode", result) + b"</BaseData>"]
        if result == "0000":
            out.append(b"<CustomerInformation>" + element("VeldinCommonID", model["VeldinCommonID"]) +
                       element("BasicSerialCount", model["BasicSerialCount"]) +
                       element("CustomerName", model["CustomerName"]) +
                       element("MailAddressAL", model["MailAddressAL"]) + b"</CustomerInformation>")
        for agreement in agreements:
            out.append(b"<SecurityAgreement SecurityID=\"" + xml_escape(text(agreement.get("SecurityID", ""))) +
                       b"\" AgreementID=\"" + xml_escape(text(agreement.get("AgreementID", ""))) + b"\">" +
                       element("SecurityStatus", agreement.get("SecurityStatus", "")) +
                       element("DateServiceStart", agreement.get("DateServiceStart", "")) + b"</SecurityAgreement>")
        for serial in serials:
            parts = [b"<SecuritySerial SerialID=\"" + xml_escape(text(serial.get("SerialID", ""))) + b"\">",
                     element("SerialStatus", serial.get("SerialStatus", 0))]
            for name in ("GrantGetMailAddress", "GrantGetPCInfo", "GrantExtraFunction"):
                parts.append(element(name, serial.get(name, 0)))
            for name in SERIAL_TEXT_FIELDS:
                if name in serial:
                    parts.append(element(name, serial[name]))
            parts.append(b"</SecuritySerial>")
            out.append(b"".join(parts))
        out.append(b"</VeldinSecurityListing>")
        return b"\r\n".join(out)

    # --- control endpoints ----------------------------------------------------------

    def control_model(self, ex):
        wanted = ex.json()
        with self.lock:
            for key, value in wanted.items():
                self.model[key] = copy.deepcopy(value)
        ex.send_text(200, "ok\n")

    def control_script(self, ex):
        entry = ex.json()
        request_id = str(entry.pop("id", "*"))
        with self.lock:
            self.scripts.setdefault(request_id, []).append(entry)
        ex.send_text(200, "ok\n")

    def control_ids(self, ex):
        with self.lock:
            ids = [r["id"] for r in self.requests]
        ex.send(200, ",".join(ids).encode("latin-1"), {"Content-Type": "text/plain"})

    def pick(self, ex):
        n = int(ex.params.get("n", "-1"))
        with self.lock:
            return self.requests[n] if -len(self.requests) <= n < len(self.requests) else None

    def control_field(self, ex):
        """The decoded value of one field of request n (-1 the last), as raw bytes."""
        request = self.pick(ex)
        name = ex.params.get("name", "")
        values = [v for k, v in request["fields"] if k == name] if request else []
        if not values:
            ex.send(404, b"")
            return
        ex.send(200, values[0], {"Content-Type": "application/octet-stream"})

    def control_names(self, ex):
        request = self.pick(ex)
        if request is None:
            ex.send(404, b"")
            return
        ex.send(200, ",".join(k for k, _ in request["fields"]).encode("latin-1"), {"Content-Type": "text/plain"})

    def control_state(self, ex):
        with self.lock:
            ex.send_json({"model": self.model, "pending": self.pending})


def register(server):
    global Hangup
    Hangup = sys.modules[type(server).__module__].Hangup
    orders = OrderSystem(server)
    server.state.extra["orders"] = orders
    server.router.add("orders", orders, before="fixtures")
    server.control.add("POST", "orders/model", orders.control_model)
    server.control.add("POST", "orders/script", orders.control_script)
    server.control.add("GET", "orders/ids", orders.control_ids)
    server.control.add("GET", "orders/field", orders.control_field)
    server.control.add("GET", "orders/names", orders.control_names)
    server.control.add("GET", "orders/state", orders.control_state)
