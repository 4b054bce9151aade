#!/usr/bin/env python3
"""The maker's update server on the loopback, for the tests and the demo.

Serves the files under --root over HTTP/1.0, one reply per connection, closed
by the server. --mode makes every reply misbehave in one chosen way. Prints
its port on the first line of its output and runs until SIGTERM or SIGINT.
"""
import argparse
import json
import os
import signal
import socket
import struct
import sys
import threading
import time

MODES = ("normal", "no-marker", "empty", "chunks", "one-chunk", "drip",
         "hang", "reset", "404")
REQUEST_END = b"\r\n\r\n"
REQUEST_WAIT_S = 5.0
NOT_FOUND = (b"HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\n\r\n"
             b"<html><body>404 not found</body></html>")
BAD_REQUEST = (b"HTTP/1.0 400 Bad Request\r\nContent-Type: text/html\r\n\r\n"
               b"<html><body>400 bad request</body></html>")


def positive(text):
    value = int(text)
    if value <= 0:
        raise argparse.ArgumentTypeError(f"{text} is not above 0")
    return value


def read_request(conn):
    """Bytes up to the blank line, or what came before the peer closed or the wait ended."""
    data = b""
    deadline = time.monotonic() + REQUEST_WAIT_S
    while REQUEST_END not in data:
        left = deadline - time.monotonic()
        if left <= 0:
            break
        conn.settimeout(left)
        try:
            piece = conn.recv(4096)
        except OSError:
            break
        if not piece:
            break
        data += piece
    conn.settimeout(None)
    return data


def request_path(request):
    """The path behind the host of an absolute URL or behind the '/'; None when malformed."""
    words = request.split(b"\r\n", 1)[0].split(b" ")
    if len(words) != 3 or words[0] != b"GET" or not words[2].startswith(b"HTTP/"):
        return None
    target = words[1].decode("latin-1")
    if target.lower().startswith("http://"):
        rest = target[len("http://"):]
        if "/" not in rest or rest.startswith("/"):
            return None
        return rest.split("/", 1)[1]
    if target.startswith("/"):
        return target[1:]
    return None


def read_file(root, path):
    """The file's bytes, or None for a missing file or a path that leaves the root."""
    if not path or "\\" in path or "\0" in path or path.startswith("/") or ".." in path.split("/"):
        return None
    full = os.path.realpath(os.path.join(root, path))
    if os.path.commonpath([root, full]) != root or not os.path.isfile(full):
        return None
    try:
        with open(full, "rb") as f:
            return f.read()
    except OSError:
        return None


def build_reply(mode, body):
    if mode == "404" or body is None:
        return NOT_FOUND, b""
    if mode == "empty":
        body = b""
    kind = b"application/octet-stream" if mode == "no-marker" else b"text/plain"
    head = b"HTTP/1.0 200 OK\r\nContent-Length: %d\r\nContent-Type: %s\r\n\r\n" % (len(body), kind)
    return head, body


class Server:
    def __init__(self, args):
        self.root = os.path.realpath(args.root)
        self.mode = args.mode
        self.chunk = args.chunk
        self.start = time.monotonic()
        self.log = open(args.log, "w", encoding="ascii") if args.log else None
        self.log_lock = threading.Lock()

    def write_log(self, t_ms, request, path, status, sent):
        if self.log is None:
            return
        line = json.dumps({"t_ms": round(t_ms, 3), "request": request.decode("latin-1"),
                           "path": path, "status": status, "mode": self.mode, "sent": sent},
                          separators=(",", ":"))
        with self.log_lock:
            self.log.write(line + "\n")
            self.log.flush()

    def send(self, conn, head, body, progress):
        """Writes the reply the way the mode wants; progress[0] counts the bytes written."""
        def put(data):
            conn.sendall(data)
            progress[0] += len(data)

        reply = head + body
        if self.mode == "one-chunk":
            put(reply)
        elif self.mode == "chunks":
            put(head)
            for at in range(0, len(body), self.chunk):
                put(body[at:at + self.chunk])
                time.sleep(0.001)
        elif self.mode == "drip":
            for at in range(len(reply)):
                put(reply[at:at + 1])
                time.sleep(0.1)
        elif self.mode == "reset":
            put(reply[:len(reply) // 2])
            conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        else:
            put(head)
            if body:
                put(body)

    def serve(self, conn):
        progress = [0]
        with conn:
            request = read_request(conn)
            t_ms = (time.monotonic() - self.start) * 1000.0
            path = request_path(request)
            if path is None:
                status, head, body = 400, BAD_REQUEST, b""
            else:
                head, body = build_reply(self.mode, read_file(self.root, path))
                status = 404 if head is NOT_FOUND else 200
            try:
                self.send(conn, head, body, progress)
            except OSError:
                pass
            self.write_log(t_ms, request, path, status, progress[0])
            if self.mode == "hang":
                try:
                    while conn.recv(4096):
                        pass
                except OSError:
                    pass


def stop(_signum, _frame):
    sys.exit(0)


def main():
    parser = argparse.ArgumentParser(description="Update server stand-in on 127.0.0.1.")
    parser.add_argument("--root", required=True, help="directory whose files are served")
    parser.add_argument("--port", type=int, default=0, help="port to listen on; 0 picks a free one")
    parser.add_argument("--log", help="JSON lines file, one line per request")
    parser.add_argument("--mode", choices=MODES, default="normal")
    parser.add_argument("--chunk", type=positive, default=1000, help="piece size of --mode chunks")
    args = parser.parse_args()
    if not os.path.isdir(args.root):
        parser.error(f"--root {args.root} is not a directory")

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    server = Server(args)
    try:
        listener = socket.create_server(("127.0.0.1", args.port), backlog=64)
    except OSError as error:
        parser.exit(1, f"updateserver: cannot listen on 127.0.0.1:{args.port}: {error}\n")
    print(listener.getsockname()[1], flush=True)
    while True:
        conn, _ = listener.accept()
        threading.Thread(target=server.serve, args=(conn,), daemon=True).start()


if __name__ == "__main__":
    main()
