#!/usr/bin/env python3
"""The tests' local content server.

Serves fixture folders on 127.0.0.1 (never any other address), fails on demand per path,
counts hits and logs every request. Tests steer it over HTTP below /_control/.

Design: every request becomes an Exchange and goes through a Router, an ordered list of
handlers; the first handler that answers wins. Built in, in this order: control, faults
(per-path failures), inline routes, fixture files. Further handlers (the order system) are
modules in handlers/ next to this file; each has register(server) and adds its handler and
control endpoints there, so nothing here changes when one is added.

Body-shaping faults (slow, no-length, nul, short, chunked) are applied by Exchange.send, so they work
for whatever handler produces the body.
"""

import argparse
import glob
import importlib.util
import json
import os
import socket
import ssl
import struct
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlsplit

# Handler modules are loaded from the source tree: write no caches into it.
sys.dont_write_bytecode = True

HERE = os.path.dirname(os.path.abspath(__file__))
CONTROL_PREFIX = "/_control/"
TOKEN = b"@BASE@"
TEXT_EXTENSIONS = {".txt", ".html", ".htm", ".ini", ".def", ".dat", ".csv", ".xml", ".js", ".css", ".url"}
SEND_BLOCK = 1024 * 1024


class Hangup(Exception):
    """Raised by a handler to drop the connection without an answer."""

    def __init__(self, reset=False):
        super().__init__("hang up")
        self.reset = reset


# --- CP932-aware token substitution ---------------------------------------------------

def _is_lead_byte(b):
    return 0x81 <= b <= 0x9F or 0xE0 <= b <= 0xFC


def substitute_base(data, base):
    """Replaces @BASE@ at character boundaries only: '@' (0x40) is also a CP932 trail byte."""
    if TOKEN not in data:
        return data
    out = bytearray()
    i = 0
    n = len(data)
    while i < n:
        if data.startswith(TOKEN, i):
            out += base
            i += len(TOKEN)
        elif _is_lead_byte(data[i]) and i + 1 < n:
            out += data[i:i + 2]
            i += 2
        else:
            out.append(data[i])
            i += 1
    return bytes(out)


# --- state shared by all handlers -----------------------------------------------------

class State:
    def __init__(self, fixture_dirs):
        self.lock = threading.Lock()
        self.fixture_dirs = list(fixture_dirs)
        self.base_url = ""
        self.port = 0
        self.tls_port = 0
        self.untrusted_tls_port = 0
        self.hits = {}
        self.log = []
        self.faults = {}   # path -> list of fault plans, used front first
        self.routes = {}   # path -> route
        self.extra = {}    # handler modules keep their state here, by module name

    def record(self, exchange):
        entry = {
            "seq": 0,
            "time": time.time(),
            "listener": exchange.listener,
            "method": exchange.method,
            "path": exchange.path,
            "query": exchange.query,
            "headers": exchange.headers,
            "body": exchange.body.decode("latin-1"),
        }
        with self.lock:
            entry["seq"] = len(self.log) + 1
            self.log.append(entry)
            self.hits[exchange.path] = self.hits.get(exchange.path, 0) + 1

    def record_event(self, listener, method):
        with self.lock:
            self.log.append({"seq": len(self.log) + 1, "time": time.time(), "listener": listener,
                             "method": method, "path": "", "query": "", "headers": [], "body": ""})

    def take_fault(self, path):
        with self.lock:
            plans = self.faults.get(path)
            if not plans:
                return None
            plan = plans[0]
            if plan["times"] > 0:
                plan["times"] -= 1
                if plan["times"] == 0:
                    plans.pop(0)
            return dict(plan)

    def reset(self):
        with self.lock:
            self.hits.clear()
            self.log.clear()
            self.faults.clear()
            self.routes.clear()
            for value in self.extra.values():
                if hasattr(value, "reset"):
                    value.reset()


# --- one request and its answer -------------------------------------------------------

class Exchange:
    def __init__(self, handler, state, listener):
        self.handler = handler
        self.state = state
        self.listener = listener
        self.method = handler.command
        parts = urlsplit(handler.path)
        self.path = parts.path
        self.query = parts.query
        self.params = {k: v[-1] for k, v in parse_qs(parts.query, keep_blank_values=True).items()}
        self.headers = [[k, v] for k, v in handler.headers.items()]
        length = int(handler.headers.get("Content-Length") or 0)
        self.body = handler.rfile.read(length) if length > 0 else b""
        self.fault = None
        self.answered = False

    def header(self, name):
        for key, value in self.headers:
            if key.lower() == name.lower():
                return value
        return None

    def json(self):
        return json.loads(self.body.decode("utf-8") or "{}")

    def send(self, status=200, body=b"", headers=None, delay=0.0):
        """Answers with body, shaped by this request's fault plan if it has one."""
        if delay:
            time.sleep(delay)
        self._send_shaped(status, body, headers)

    def send_file(self, status, path, headers=None):
        size = os.path.getsize(path)
        with open(path, "rb") as f:
            if self.fault is None:
                self._head(status, headers, size, close=False)
                if size:
                    self.handler.connection.sendfile(f)
                self.answered = True
                return
            body = f.read()
        self.send(status, body, headers)

    def send_text(self, status, text, content_type="text/plain; charset=utf-8"):
        self.send(status, text.encode("utf-8"), {"Content-Type": content_type})

    def send_json(self, value, status=200):
        self.send(status, json.dumps(value).encode("utf-8"), {"Content-Type": "application/json"})

    # Internals ------------------------------------------------------------------------

    def _send_shaped(self, status, whole, headers):
        fault = self.fault or {}
        mode = fault.get("mode")
        out = self.handler.wfile
        if mode == "nul":
            at = fault.get("at", len(whole) // 2)
            whole = whole[:at] + b"\0" + whole[at:]
            self._head(status, headers, len(whole), close=False)
            out.write(whole)
        elif mode == "no-length":
            self._head(status, headers, None, close=True)
            out.write(whole)
        elif mode == "chunked":
            size = max(1, int(fault.get("chunk", 1000)))
            self._head(status, dict(headers or {}, **{"Transfer-Encoding": "chunked"}), None, close=False)
            for i in range(0, len(whole), size):
                piece = whole[i:i + size]
                out.write(b"%x\r\n" % len(piece) + piece + b"\r\n")
            out.write(b"0\r\n\r\n")
        elif mode == "short":
            sent = fault.get("send", len(whole) // 2)
            self._head(status, headers, len(whole), close=True)
            out.write(whole[:sent])
            out.flush()
            raise Hangup()
        elif mode == "slow":
            chunk = max(1, int(fault.get("chunk", 1024)))
            pause = float(fault.get("delay", 0.05))
            self._head(status, headers, len(whole), close=False)
            for i in range(0, len(whole), chunk):
                out.write(whole[i:i + chunk])
                out.flush()
                time.sleep(pause)
        else:
            self._head(status, headers, len(whole), close=False)
            out.write(whole)
        out.flush()
        self.answered = True

    def _head(self, status, headers, length, close):
        h = self.handler
        h.send_response(status)
        sent = set()
        for key, value in (headers or {}).items():
            h.send_header(key, value)
            sent.add(key.lower())
        if "content-type" not in sent:
            h.send_header("Content-Type", "application/octet-stream")
        if length is not None:
            h.send_header("Content-Length", str(length))
        if close:
            h.send_header("Connection", "close")
            h.close_connection = True
        h.end_headers()


# --- the router and the built-in handlers ---------------------------------------------

class Router:
    def __init__(self):
        self.handlers = []   # (name, handler)

    def add(self, name, handler, before=None):
        """Adds a handler, at the end or just before the handler called before."""
        index = len(self.handlers)
        if before is not None:
            index = next(i for i, (n, _) in enumerate(self.handlers) if n == before)
        self.handlers.insert(index, (name, handler))

    def dispatch(self, exchange):
        for _, handler in self.handlers:
            if handler.handle(exchange):
                return
        exchange.send_text(404, "not found\n")


class ControlHandler:
    """Endpoints below /_control/. Handler modules add theirs with add()."""

    def __init__(self, server):
        self.server = server
        self.endpoints = {}
        for method, name, fn in [
            ("POST", "fail", self.fail),
            ("POST", "route", self.route),
            ("POST", "reset", self.reset),
            ("POST", "fixtures", self.fixtures),
            ("GET", "log", self.log),
            ("GET", "hits", self.hits),
            ("GET", "last", self.last),
            ("GET", "info", self.info),
            ("GET", "closed-port", self.closed_port),
            ("GET", "lifeline", self.lifeline),
            ("POST", "shutdown", self.shutdown),
        ]:
            self.add(method, name, fn)

    def add(self, method, name, fn):
        self.endpoints[(method, name)] = fn

    def handle(self, ex):
        if not ex.path.startswith(CONTROL_PREFIX):
            return False
        fn = self.endpoints.get((ex.method, ex.path[len(CONTROL_PREFIX):]))
        if fn is None:
            ex.send_text(404, "no such control endpoint\n")
            return True
        try:
            fn(ex)
        except (ValueError, KeyError, TypeError) as error:
            ex.send_text(400, "bad control request: %r\n" % (error,))
        return True

    @property
    def state(self):
        return self.server.state

    def fail(self, ex):
        plan = ex.json()
        path = plan["path"]
        plan["mode"] = str(plan["mode"])
        plan["times"] = int(plan.get("times", 0))
        with self.state.lock:
            self.state.faults.setdefault(path, []).append(plan)
        ex.send_text(200, "ok\n")

    def route(self, ex):
        wanted = ex.json()
        if "body_hex" in wanted:
            body = bytes.fromhex(wanted["body_hex"])
        else:
            body = wanted.get("body", "").encode("latin-1")
        if "pad_to" in wanted:
            # Long bodies without a long request: filled up to that many bytes.
            fill = wanted.get("fill", " ").encode("latin-1")
            body += fill * (int(wanted["pad_to"]) - len(body))
        route = {
            "status": int(wanted.get("status", 200)),
            "headers": dict(wanted.get("headers", {})),
            "body": body,
            "delay": float(wanted.get("delay", 0)),
            "times": int(wanted.get("times", 0)),
        }
        with self.state.lock:
            self.state.routes[wanted["path"]] = route
        ex.send_text(200, "ok\n")

    def reset(self, ex):
        self.state.reset()
        ex.send_text(200, "ok\n")

    def fixtures(self, ex):
        folder = ex.json()["dir"]
        if not os.path.isdir(folder):
            raise ValueError("no folder " + folder)
        with self.state.lock:
            if folder not in self.state.fixture_dirs:
                self.state.fixture_dirs.insert(0, folder)
        ex.send_text(200, "ok\n")

    def log(self, ex):
        with self.state.lock:
            entries = list(self.state.log)
        if "path" in ex.params:
            entries = [e for e in entries if e["path"] == ex.params["path"]]
        ex.send_json(entries)

    def hits(self, ex):
        with self.state.lock:
            count = self.state.hits.get(ex.params.get("path", ""), 0)
        ex.send_text(200, "%d" % count)

    def last(self, ex):
        """One part of the last request to a path, as raw bytes: body, query, method or
        header:Name."""
        path = ex.params.get("path", "")
        part = ex.params.get("part", "body")
        with self.state.lock:
            entries = [e for e in self.state.log if e["path"] == path]
        if not entries:
            ex.send(404, b"")
            return
        entry = entries[-1]
        if part.startswith("header:"):
            name = part[len("header:"):].lower()
            values = [v for k, v in entry["headers"] if k.lower() == name]
            if not values:
                ex.send(404, b"")
                return
            ex.send(200, values[-1].encode("latin-1"))
        elif part in ("body", "query", "method"):
            ex.send(200, entry[part].encode("latin-1"))
        else:
            raise ValueError("unknown part " + part)

    def info(self, ex):
        ex.send_json({"base": self.state.base_url, "port": self.state.port, "tls_port": self.state.tls_port,
                       "untrusted_tls_port": self.state.untrusted_tls_port})

    def closed_port(self, ex):
        # A port nobody listens on: bound, then given up at once.
        probe = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
        probe.close()
        ex.send_text(200, "%d" % port)

    def lifeline(self, ex):
        # Held open by the test process; when that process ends (even by a crash) its socket
        # closes and the server goes with it.
        ex.handler.send_response(200)
        ex.handler.send_header("Content-Type", "text/plain")
        ex.handler.end_headers()
        ex.handler.wfile.write(b"alive\n")
        ex.handler.wfile.flush()
        ex.answered = True
        ex.handler.close_connection = True
        try:
            while ex.handler.connection.recv(4096):
                pass
        except OSError:
            pass
        self.server.stop()

    def shutdown(self, ex):
        ex.send_text(200, "bye\n")
        self.server.stop()


class FaultHandler:
    """Applies the path's next fault plan: answers itself for status and hang-up modes, and
    leaves the body-shaping modes on the exchange for whoever answers."""

    def __init__(self, server):
        self.server = server

    def handle(self, ex):
        plan = self.server.state.take_fault(ex.path)
        if plan is None:
            return False
        mode = plan["mode"]
        if mode.isdigit():
            ex.send(int(mode), ("fault %s\n" % mode).encode("ascii"), {"Content-Type": "text/plain"})
            return True
        if mode in ("refuse", "close"):
            raise Hangup()
        if mode == "reset":
            raise Hangup(reset=True)
        if mode in ("slow", "no-length", "nul", "short", "chunked"):
            ex.fault = plan
            return False
        raise ValueError("unknown fault mode " + mode)


class RouteHandler:
    def __init__(self, server):
        self.server = server

    def handle(self, ex):
        state = self.server.state
        with state.lock:
            route = state.routes.get(ex.path)
            if route is None:
                return False
            if route["times"] > 0:
                route["times"] -= 1
                if route["times"] == 0:
                    del state.routes[ex.path]
        ex.send(route["status"], route["body"], route["headers"], route["delay"])
        return True


class FixtureHandler:
    """Files of the fixture folders, first folder first. Text files get @BASE@ replaced."""

    def __init__(self, server):
        self.server = server

    def find(self, path):
        relative = os.path.normpath(path.lstrip("/"))
        if relative.startswith("..") or os.path.isabs(relative):
            return None
        with self.server.state.lock:
            folders = list(self.server.state.fixture_dirs)
        for folder in folders:
            candidate = os.path.join(folder, relative)
            if os.path.isfile(candidate):
                return candidate
        return None

    def handle(self, ex):
        if ex.method not in ("GET", "HEAD"):
            return False
        found = self.find(ex.path)
        if found is None:
            return False
        extension = os.path.splitext(found)[1].lower()
        if extension in TEXT_EXTENSIONS:
            with open(found, "rb") as f:
                data = substitute_base(f.read(), self.server.state.base_url.encode("ascii"))
            ex.send(200, data, {"Content-Type": "text/plain"})
        else:
            ex.send_file(200, found)
        return True


# --- HTTP plumbing --------------------------------------------------------------------

class RequestHandler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    fake = None       # the FakeServer, set per listener class
    listener = "http"

    def log_message(self, format, *args):
        pass

    def setup(self):
        self.handshake_failed = False
        self.requests_served = 0
        if self.listener == "https":
            # The handshake runs here, on the connection's own thread, so a client that
            # rejects the certificate is logged and blocks nobody else.
            try:
                self.request.do_handshake()
            except (ssl.SSLError, OSError):
                self.handshake_failed = True
        super().setup()

    def handle(self):
        if self.listener == "https":
            self._handle_tls()
        elif self._starts_with_tls_hello():
            # A TLS client on the plain port: noted, so tests can tell that a client used
            # TLS, and dropped.
            self.fake.state.record_event(self.listener, "TLS-HANDSHAKE")
        else:
            super().handle()

    def _handle_tls(self):
        if self.handshake_failed:
            self.fake.state.record_event(self.listener, "TLS-FAILED")
            return
        try:
            super().handle()
        finally:
            # A client that checks the certificate after the handshake hangs up here.
            if not self.requests_served:
                self.fake.state.record_event(self.listener, "TLS-NO-REQUEST")

    def _starts_with_tls_hello(self):
        try:
            return self.rfile.peek(1)[:1] == b"\x16"
        except OSError:
            return False

    def _serve(self):
        self.requests_served += 1
        ex = Exchange(self, self.fake.state, self.listener)
        if not ex.path.startswith(CONTROL_PREFIX):
            self.fake.state.record(ex)
        try:
            self.fake.router.dispatch(ex)
        except Hangup as hangup:
            self.close_connection = True
            try:
                if hangup.reset:
                    # Linger 0: the close sends RST instead of FIN.
                    self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                else:
                    self.connection.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True
        except Exception as error:  # a broken handler answers 500 and the server goes on
            if not ex.answered:
                try:
                    ex.fault = None
                    ex.send_text(500, "handler error: %r\n" % (error,))
                except OSError:
                    pass
            self.close_connection = True
            print("fake server: handler error on %s: %r" % (ex.path, error), file=sys.stderr)

    do_GET = do_POST = do_PUT = do_HEAD = do_DELETE = _serve


class Listener(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = False
    request_queue_size = 64

    def handle_error(self, request, client_address):
        # Clients that hang up are part of the tests; anything else is worth a trace.
        if not isinstance(sys.exc_info()[1], (ConnectionError, ssl.SSLError, TimeoutError)):
            super().handle_error(request, client_address)


class FakeServer:
    def __init__(self, fixture_dirs, tls_cert=None, tls_key=None, untrusted_cert=None, untrusted_key=None):
        self.state = State(fixture_dirs)
        self.router = Router()
        self.control = ControlHandler(self)
        self.router.add("control", self.control)
        self.router.add("faults", FaultHandler(self))
        self.router.add("routes", RouteHandler(self))
        self.router.add("fixtures", FixtureHandler(self))

        self.listeners = [self._listen("http")]
        self.state.port = self.listeners[0].server_address[1]
        self.state.base_url = "http://127.0.0.1:%d" % self.state.port
        if tls_cert and tls_key:
            self.state.tls_port = self._listen_tls(tls_cert, tls_key)
        if untrusted_cert and untrusted_key:
            self.state.untrusted_tls_port = self._listen_tls(untrusted_cert, untrusted_key)
        self._stopped = threading.Event()
        self.load_handler_modules(os.path.join(HERE, "handlers"))

    def _listen_tls(self, cert, key):
        tls = self._listen("https")
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(cert, key)
        tls.socket = context.wrap_socket(tls.socket, server_side=True, do_handshake_on_connect=False)
        self.listeners.append(tls)
        return tls.server_address[1]

    def _listen(self, kind):
        handler = type("Handler_" + kind, (RequestHandler,), {"fake": self, "listener": kind})
        return Listener(("127.0.0.1", 0), handler)

    def load_handler_modules(self, folder):
        for path in sorted(glob.glob(os.path.join(folder, "*.py"))):
            name = "kavo_handler_" + os.path.splitext(os.path.basename(path))[0]
            found = importlib.util.spec_from_file_location(name, path)
            module = importlib.util.module_from_spec(found)
            found.loader.exec_module(module)
            if hasattr(module, "register"):
                module.register(self)

    def serve(self):
        threads = [threading.Thread(target=l.serve_forever, daemon=True) for l in self.listeners]
        for t in threads:
            t.start()
        self._stopped.wait()
        for l in self.listeners:
            l.shutdown()
            l.server_close()

    def stop(self):
        self._stopped.set()


def write_atomically(path, text):
    temporary = path + ".tmp"
    with open(temporary, "w") as f:
        f.write(text)
    os.replace(temporary, path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--fixtures", action="append", default=[], help="folder to serve (repeatable)")
    parser.add_argument("--port-file", help="written with the port (and the TLS ports) once listening")
    parser.add_argument("--tls", action="store_true", help="also listen with TLS, on a trusted and an untrusted test certificate")
    parser.add_argument("--max-lifetime", type=float, default=3600.0,
                        help="seconds after which the server ends by itself")
    args = parser.parse_args()

    # Two TLS listeners: one whose certificate chains to the test root (test-root.pem, which
    # the tests trust) and a self-signed one that every client must refuse.
    certs = [None] * 4
    if args.tls:
        certs = [os.path.join(HERE, name) for name in
                 ("test-cert.pem", "test-key.pem", "untrusted-cert.pem", "untrusted-key.pem")]
    server = FakeServer([os.path.abspath(d) for d in args.fixtures], *certs)
    # A test process that never comes back must not leave a server behind for ever.
    if args.max_lifetime > 0:
        timer = threading.Timer(args.max_lifetime, server.stop)
        timer.daemon = True
        timer.start()
    line = "%d %d %d\n" % (server.state.port, server.state.tls_port, server.state.untrusted_tls_port)
    if args.port_file:
        write_atomically(args.port_file, line)
    else:
        print(line.strip(), flush=True)
    server.serve()
    os._exit(0)


if __name__ == "__main__":
    main()
