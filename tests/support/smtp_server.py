"""A small SMTP server for the mail tests, on the loopback address: EHLO, STARTTLS
(with --cert/--key), AUTH PLAIN and LOGIN (with --user/--password: required before
MAIL when given), MAIL, RCPT, DATA, RSET, NOOP, QUIT. Each message received is saved as
message-N.eml in --dir with session-N.json beside it (whether TLS was on, who logged
in, the envelope). --refuse answers every connection with 554. Prints "PORT n" once it
listens; runs until killed or until its standard input closes."""
import argparse
import base64
import json
import os
import socketserver
import ssl
import sys
import threading


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dir", required=True)
    parser.add_argument("--cert")
    parser.add_argument("--key")
    parser.add_argument("--user")
    parser.add_argument("--password")
    parser.add_argument("--refuse", action="store_true")
    args = parser.parse_args()
    os.makedirs(args.dir, exist_ok=True)
    context = None
    if args.cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.cert, args.key)
    counter = {"n": 0}
    lock = threading.Lock()

    class Session(socketserver.StreamRequestHandler):
        def reply(self, text):
            self.wfile.write((text + "\r\n").encode())
            self.wfile.flush()

        def line(self):
            data = self.rfile.readline(100000)
            if not data:
                raise EOFError
            return data.decode("utf-8", "replace").rstrip("\r\n")

        def handle(self):
            try:
                self.converse()
            except (EOFError, ConnectionError, ssl.SSLError):
                pass

        def converse(self):
            if args.refuse:
                self.reply("554 no service here")
                return
            tls = False
            user = None
            envelope = {"from": None, "to": []}
            self.reply("220 localhost test server")
            while True:
                command = self.line()
                verb = command.split(" ", 1)[0].upper()
                if verb in ("EHLO", "HELO"):
                    lines = ["localhost"]
                    if context and not tls:
                        lines.append("STARTTLS")
                    if args.user and (tls or not context):
                        lines.append("AUTH PLAIN LOGIN")
                    for i, text in enumerate(lines):
                        self.reply(("250 " if i == len(lines) - 1 else "250-") + text)
                elif verb == "STARTTLS" and context and not tls:
                    self.reply("220 go ahead")
                    self.request = context.wrap_socket(self.request, server_side=True)
                    self.rfile = self.request.makefile("rb")
                    self.wfile = self.request.makefile("wb")
                    tls = True
                elif verb == "AUTH":
                    parts = command.split()
                    if parts[1].upper() == "PLAIN":
                        blob = parts[2] if len(parts) > 2 else (self.reply("334 ") or self.line())
                        _, name, password = base64.b64decode(blob).decode().split("\0")
                    else:
                        self.reply("334 " + base64.b64encode(b"Username:").decode())
                        name = base64.b64decode(self.line()).decode()
                        self.reply("334 " + base64.b64encode(b"Password:").decode())
                        password = base64.b64decode(self.line()).decode()
                    if name == args.user and password == args.password:
                        user = name
                        self.reply("235 welcome")
                    else:
                        self.reply("535 authentication failed")
                elif verb == "MAIL":
                    if args.user and not user:
                        self.reply("530 log in first")
                        continue
                    envelope = {"from": command[10:].strip(), "to": []}
                    self.reply("250 ok")
                elif verb == "RCPT":
                    envelope["to"].append(command[8:].strip())
                    self.reply("250 ok")
                elif verb == "DATA":
                    self.reply("354 end with .")
                    lines = []
                    while True:
                        data = self.rfile.readline(1 << 20)
                        if not data:
                            raise EOFError
                        if data in (b".\r\n", b".\n"):
                            break
                        lines.append(data[1:] if data.startswith(b"..") else data)
                    with lock:
                        counter["n"] += 1
                        n = counter["n"]
                    with open(os.path.join(args.dir, "message-%d.eml" % n), "wb") as f:
                        f.write(b"".join(lines))
                    with open(os.path.join(args.dir, "session-%d.json" % n), "w") as f:
                        json.dump({"tls": tls, "user": user, "from": envelope["from"],
                                   "to": envelope["to"]}, f)
                    self.reply("250 queued")
                elif verb == "QUIT":
                    self.reply("221 bye")
                    return
                elif verb in ("RSET", "NOOP"):
                    self.reply("250 ok")
                else:
                    self.reply("502 not implemented")

    socketserver.ThreadingTCPServer.allow_reuse_address = True
    server = socketserver.ThreadingTCPServer(("127.0.0.1", 0), Session)
    server.daemon_threads = True
    print("PORT %d" % server.server_address[1], flush=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    sys.stdin.read()
    server.shutdown()


if __name__ == "__main__":
    main()
