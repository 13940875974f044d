#!/usr/bin/env python3
"""A small upgrade server for the simulated devices, for the demo and the tests.

  upgrade_server.py make-images DIR
      writes the firmware images of the catalogue below into DIR.
  upgrade_server.py serve --port PORT --images DIR [--until-stdin-closes]
      serves the catalogue on 127.0.0.1 only; PORT 0 picks a free port. The
      server's base address ("http://127.0.0.1:<port>") is the first line it
      prints; it runs until it is terminated or, with --until-stdin-closes,
      until its standard input reaches its end (so that it never outlives
      the process that holds the other end).

A query "/?SN=<32 hex digits>" carries a device identity as the program sends
it: the model name in bytes 0..5, the identity word big-endian in bytes 8..9.
ESC models and boxes ("BOX...") asked with identity word 0 get their version
list; any other identity, or a malformed one, gets an empty list. The images
are served from "/firmware/<name>".
"""

import argparse
import hashlib
import http.server
import json
import os
import signal
import sys
import threading
import urllib.parse

HOST = "127.0.0.1"
HEADER_SIZE = 32
FIRMWARE_PATH = "/firmware/"

ESC_MODELS = ("ESC08", "ESC12", "PW5M")

# Per device kind (its image tag): the versions offered, oldest first. The
# simulated ESC runs 1.05 and the simulated box 1.00.
CATALOGUE = {
    "ESC": [
        {"version": (1, 4), "address": 0x0400, "length": 5120,
         "memo": {"cn": "油门响应更平顺", "en": "Smoother throttle response"}},
        {"version": (1, 8), "address": 0x0400, "length": 6144,
         "memo": {"cn": "改进刹车曲线和温度保护", "en": "Better brake curves and heat protection"}},
    ],
    "BOX": [
        {"version": (0, 90), "address": 0x1000, "length": 2048,
         "memo": {"cn": "首个版本", "en": "First release"}},
        {"version": (1, 2), "address": 0x1000, "length": 3072,
         "memo": {"cn": "连接更稳定", "en": "Steadier connection to the ESC"}},
    ],
}


def version_text(entry):
    major, minor = entry["version"]
    return "%d.%02d" % (major, minor)


def image_name(tag, entry):
    return "%s_%s.bin" % (tag, version_text(entry))


def make_body(tag, entry):
    """Bytes that differ from image to image and cover every byte value."""
    seed = ("%s %s" % (tag, version_text(entry))).encode()
    body = bytearray()
    counter = 0
    while len(body) < entry["length"]:
        body += hashlib.sha256(seed + counter.to_bytes(4, "big")).digest()
        counter += 1
    return bytes(body[:entry["length"]])


def make_image(tag, entry):
    """The 32-byte header (address and body length big-endian, the version,
    the tag, a label, a check byte that makes the header sum to 0) and the body."""
    header = bytearray(HEADER_SIZE)
    header[0:2] = entry["address"].to_bytes(2, "big")
    header[2:4] = entry["length"].to_bytes(2, "big")
    header[4:6] = bytes(entry["version"])
    header[8:11] = tag.encode()
    label = ("CORVANE %s" % version_text(entry)).encode()
    header[12:12 + len(label)] = label
    header[HEADER_SIZE - 1] = -sum(header) & 0xFF
    return bytes(header) + make_body(tag, entry)


def make_images(directory):
    os.makedirs(directory, exist_ok=True)
    for tag, entries in CATALOGUE.items():
        for entry in entries:
            with open(os.path.join(directory, image_name(tag, entry)), "wb") as out:
                out.write(make_image(tag, entry))


def device_kind(serial):
    """The image tag for a query's identity, or None for one we hold nothing for."""
    if len(serial) != 32:
        return None
    try:
        identity = bytes.fromhex(serial)
    except ValueError:
        return None
    model = identity[0:6].split(b"\0", 1)[0].decode("ascii", "replace").rstrip()
    if int.from_bytes(identity[8:10], "big") != 0:
        return None
    if model in ESC_MODELS:
        return "ESC"
    if model.startswith("BOX"):
        return "BOX"
    return None


def version_list(kind, base, images):
    """The reply: a JSON list of entries with their members in the order the
    program reads them, slashes escaped as many servers write them."""
    entries = []
    for number, entry in enumerate(CATALOGUE.get(kind, []), start=1):
        name = image_name(kind, entry)
        with open(os.path.join(images, name), "rb") as image:
            checksum = hashlib.md5(image.read()).hexdigest().upper()
        entries.append({
            "id": "%s-%d" % (kind.lower(), number),
            "version": version_text(entry),
            "memo": entry["memo"],
            "checksum": checksum,
            "download_url": base + FIRMWARE_PATH + name,
        })
    text = json.dumps(entries, ensure_ascii=False, separators=(",", ":"))
    return text.replace("/", "\\/").encode("utf-8")


class Handler(http.server.BaseHTTPRequestHandler):
    server_version = "CorvaneUpgrade/1"

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        if url.path == "/":
            serial = urllib.parse.parse_qs(url.query).get("SN", [""])[0]
            kind = device_kind(serial)
            body = version_list(kind, self.server.base, self.server.images) if kind else b"[]"
            self.reply(200, "application/json; charset=utf-8", body)
            return
        name = url.path[len(FIRMWARE_PATH):] if url.path.startswith(FIRMWARE_PATH) else ""
        known = {image_name(tag, e) for tag, entries in CATALOGUE.items() for e in entries}
        if name not in known:
            self.reply(404, "text/plain", b"not found\n")
            return
        with open(os.path.join(self.server.images, name), "rb") as image:
            self.reply(200, "application/octet-stream", image.read())

    def reply(self, status, content_type, body):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, format, *args):
        pass  # quiet beside the program; the program shows what it got


def serve(port, images, until_stdin_closes):
    server = http.server.ThreadingHTTPServer((HOST, port), Handler)
    server.images = images
    server.base = "http://%s:%d" % (HOST, server.server_address[1])
    if until_stdin_closes:
        def watch():
            while sys.stdin.buffer.read(4096):
                pass
            server.shutdown()
        threading.Thread(target=watch, daemon=True).start()
    print(server.base, flush=True)
    try:
        server.serve_forever()
    finally:
        server.server_close()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    commands = parser.add_subparsers(dest="command", required=True)
    make = commands.add_parser("make-images")
    make.add_argument("directory")
    run = commands.add_parser("serve")
    run.add_argument("--port", type=int, required=True)
    run.add_argument("--images", required=True)
    run.add_argument("--until-stdin-closes", action="store_true")
    args = parser.parse_args()
    if args.command == "make-images":
        make_images(args.directory)
        return
    # Terminated or interrupted: the listening socket is closed on the way out.
    for sig in (signal.SIGTERM, signal.SIGINT):
        signal.signal(sig, lambda *_: sys.exit(0))
    serve(args.port, args.images, args.until_stdin_closes)


if __name__ == "__main__":
    main()
