"""DownloadFile against an HTTP server on the loopback address: a whole file, a
redirect, a 404, a server that stops midway, a folder that does not exist. The result
is always nil; what counts is the file, which exists under its name only when all of
it arrived."""
import http.server
import os
import threading
import unittest

from harness import fresh_folder, lisp_string, run_lisp

PAYLOAD = bytes(range(256)) * 1000  # 256 000 bytes


class Handler(http.server.BaseHTTPRequestHandler):
    requests = []

    def log_message(self, *args):
        pass

    def do_GET(self):
        Handler.requests.append((self.path, dict(self.headers)))
        if self.path == "/file.bin":
            self.send_response(200)
            self.send_header("Content-Length", str(len(PAYLOAD)))
            self.end_headers()
            self.wfile.write(PAYLOAD)
        elif self.path == "/moved":
            self.send_response(302)
            self.send_header("Location", "/file.bin")
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif self.path == "/midway":
            self.send_response(200)
            self.send_header("Content-Length", str(len(PAYLOAD)))
            self.end_headers()
            self.wfile.write(PAYLOAD[: len(PAYLOAD) // 3])
            self.wfile.flush()
            self.close_connection = True
        else:
            self.send_error(404)


class DownloadFileTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        cls.base = "http://127.0.0.1:%d" % cls.server.server_address[1]
        threading.Thread(target=cls.server.serve_forever, daemon=True).start()

    @classmethod
    def tearDownClass(cls):
        cls.server.shutdown()
        cls.server.server_close()

    def setUp(self):
        self.work = fresh_folder("download-" + self._testMethodName)
        Handler.requests.clear()

    def leftovers(self):
        return sorted(n for n in os.listdir(self.work) if n not in ("registry", "script.lsp"))

    def download(self, address, path):
        values, output = run_lisp(["(DownloadFile %s %s)" % (lisp_string(address), lisp_string(path))], self.work)
        self.assertEqual(values[0], "nil")
        self.assertEqual(output.split("@@0 ", 1)[1].strip(), "nil")  # nothing printed, ever

    def test_whole_file_arrives_fresh(self):
        for label, path in [("direct", "/file.bin"), ("through a redirect", "/moved")]:
            with self.subTest(label):
                target = os.path.join(self.work, "got.bin")
                self.download(self.base + path, target.replace("/", "\\"))
                self.assertEqual(open(target, "rb").read(), PAYLOAD)
                headers = {k.lower(): v for k, v in Handler.requests[-1][1].items()}
                self.assertEqual(headers.get("cache-control"), "no-cache")
                self.assertEqual(headers.get("pragma"), "no-cache")
                self.assertEqual(self.leftovers(), ["got.bin"])
                os.remove(target)

    def test_failures_leave_no_file_under_the_name(self):
        cases = [
            ("404", "/missing", "got.bin"),
            ("server stops midway", "/midway", "got.bin"),
            ("nothing listening", None, "got.bin"),
            ("folder missing", "/file.bin", os.path.join("nowhere", "got.bin")),
        ]
        for label, path, name in cases:
            with self.subTest(label):
                target = os.path.join(self.work, name)
                address = self.base + path if path else "http://127.0.0.1:9/file.bin"
                self.download(address, target)
                self.assertFalse(os.path.exists(target))
                self.assertEqual(self.leftovers(), [])

    def test_failure_keeps_the_earlier_file(self):
        target = os.path.join(self.work, "kept.bin")
        open(target, "wb").write(b"earlier version")
        self.download(self.base + "/midway", target)
        self.assertEqual(open(target, "rb").read(), b"earlier version")

    def test_wrong_arguments_and_addresses_without_a_web_scheme(self):
        values, output = run_lisp(["(DownloadFile)", '(DownloadFile "x")', "(DownloadFile 1 2)",
                                   '(DownloadFile "file:///etc/hostname" "copy.txt")',
                                   '(DownloadFile "127.0.0.1:%d/file.bin" "copy.txt")' % self.server.server_address[1]], self.work)
        self.assertEqual(values, ["nil"] * 5)
        self.assertFalse(os.path.exists(os.path.join(self.work, "copy.txt")))


if __name__ == "__main__":
    unittest.main()
