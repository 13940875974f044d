"""The local upgrade server: loopback only, nothing offered to devices it does
not know, valid images; and the program's unattended run against it ends.

Run by ctest with a group name (Server or UnattendedRun); the paths come from
the environment ctest sets."""

import http.client
import os
import socket
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.environ["CORVANE_UPGRADE_SERVER_SCRIPT"]
IMAGES = os.environ["CORVANE_FIRMWARE_DIR"]
GUARD = 120  # seconds: against a hang, not a timing check


class LocalServer:
    def __enter__(self):
        self.process = subprocess.Popen(
            [sys.executable, SCRIPT, "serve", "--port", "0", "--images", IMAGES, "--until-stdin-closes"],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.base = self.process.stdout.readline().strip()
        self.port = int(self.base.rsplit(":", 1)[1]) if self.base.startswith("http://127.0.0.1:") else 0
        return self

    def get(self, path):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=GUARD)
        connection.request("GET", path)
        reply = connection.getresponse()
        result = reply.status, reply.read()
        connection.close()
        return result

    def __exit__(self, *_):
        self.process.stdin.close()
        self.process.wait(GUARD)
        self.process.stdout.close()


def serial(model, word=0):
    identity = bytearray(16)
    identity[0:len(model)] = model.encode()
    identity[8:10] = word.to_bytes(2, "big")
    identity[11:13] = (1, 5)
    return identity.hex().upper()


class Server(unittest.TestCase):
    def test_listens_on_loopback_only_and_ends_with_its_input(self):
        with LocalServer() as server:
            self.assertNotEqual(server.port, 0, server.base)
            # Another loopback address reaches a socket bound to any address.
            with self.assertRaises(ConnectionRefusedError):
                socket.create_connection(("127.0.0.2", server.port), timeout=GUARD).close()
            self.assertEqual(server.get("/")[0], 200)
        self.assertEqual(server.process.returncode, 0)

    def test_nothing_for_devices_it_does_not_know(self):
        with LocalServer() as server:
            for query in ["/?SN=" + serial("XYZ99"),     # unknown model
                          "/?SN=" + serial("ESC12", 3),  # another identity word
                          "/?SN=" + serial("BOX01")[:31],
                          "/?SN=" + "G" * 32,
                          "/"]:
                self.assertEqual(server.get(query), (200, b"[]"), query)
            for path in ["/firmware/missing.bin", "/firmware/../upgrade_server.py", "/ESC_1.08.bin"]:
                self.assertEqual(server.get(path)[0], 404, path)
            self.assertIn(b'"download_url"', server.get("/?SN=" + serial("ESC12"))[1])
            self.assertIn(b'"download_url"', server.get("/?SN=" + serial("BOX01"))[1])

    def test_images_have_valid_headers(self):
        names = sorted(os.listdir(IMAGES))
        self.assertTrue(names)
        for name in names:
            with open(os.path.join(IMAGES, name), "rb") as file:
                image = file.read()
            with self.subTest(name):
                self.assertEqual(sum(image[:32]) % 256, 0)
                self.assertEqual(image[8:11].decode(), name[:3])
                self.assertEqual(int.from_bytes(image[2:4], "big"), len(image) - 32)


class UnattendedRun(unittest.TestCase):
    def test_ends_with_a_screenshot_after_declining_the_offers(self):
        with LocalServer() as server, tempfile.TemporaryDirectory() as directory:
            shot = os.path.join(directory, "shot.png")
            environment = dict(os.environ, QT_QPA_PLATFORM="offscreen", LANG="en_US.UTF-8",
                               CORVANE_DRIVE_C=os.environ["CORVANE_SIM_DRIVE_C"], CORVANE_SCREENSHOT=shot,
                               CORVANE_UPGRADE_SERVER=server.base)
            environment.pop("LC_ALL", None)
            run = subprocess.run([os.environ["CORVANE_PROGRAM"]], env=environment, stdin=subprocess.DEVNULL,
                                 capture_output=True, text=True, timeout=GUARD)
            self.assertEqual(run.returncode, 0, run.stderr)
            self.assertIn("New ESC firmware available.", run.stdout)
            self.assertIn("New Program Box  firmware available.", run.stdout)
            self.assertIn("screenshot after the first settings read", run.stdout)
            self.assertTrue(os.path.getsize(shot) > 0)


if __name__ == "__main__":
    unittest.main()
