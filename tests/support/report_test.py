"""nv_nv-submitBug end to end: the dialog filled in by dialog scripts, the report
mailed to an SMTP server on the loopback address (STARTTLS and login), or saved on the
desktop when the user asks or the server cannot be reached; every validation message;
the registry values and the submission log."""
import json
import os
import socket
import subprocess
import sys
import unittest
import zipfile

from harness import WORK, fresh_folder, lisp_string, run_lisp
from read_mail import unpack

HERE = os.path.dirname(os.path.abspath(__file__))
SUPPORT = "help@example.com"


class Server:
    """smtp_server.py in the background, with a certificate made now."""

    def __init__(self, folder, refuse=False):
        self.folder = folder
        os.makedirs(folder, exist_ok=True)
        self.cert = os.path.join(folder, "cert.pem")
        key = os.path.join(folder, "key.pem")
        subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                        "-nodes", "-days", "1", "-subj", "/CN=127.0.0.1", "-addext",
                        "subjectAltName=IP:127.0.0.1", "-keyout", key, "-out", self.cert],
                       check=True, capture_output=True)
        args = [sys.executable, os.path.join(HERE, "smtp_server.py"), "--dir", os.path.join(folder, "got"),
                "--cert", self.cert, "--key", key, "--user", "mailer", "--password", "s3cret"]
        if refuse:
            args.append("--refuse")
        self.process = subprocess.Popen(args, stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.port = int(self.process.stdout.readline().split()[1])

    def messages(self):
        got = os.path.join(self.folder, "got")
        return sorted(n for n in os.listdir(got) if n.endswith(".eml")) if os.path.isdir(got) else []

    def close(self):
        self.process.stdin.close()
        self.process.wait(timeout=30)


def dialog_script(name="Zoe O/Brien", email="zoe@example.org", repeat=None, phone="555-0100",
                  info="The leader loses its symbol. It happens every time.", desktop=None, extra=()):
    actions = [("set", "Name:", name), ("set", "Email Address (required):", email),
               ("set", "Re-enter Email Address:", email if repeat is None else repeat),
               ("set", "Phone Number:", phone), ("set", "Additional Information:", info)]
    if desktop is not None:
        actions.append(("set", "Save to desktop (check if sending fails or crashes)", desktop))
    actions.extend(extra)
    actions.append(("press", "OK"))
    return "(list " + " ".join(lisp_action(a) for a in actions) + ")"


def lisp_action(action):
    parts = []
    for value in action:
        if value is True:
            parts.append("T")
        elif value is False:
            parts.append("nil")
        else:
            parts.append(lisp_string(value))
    return "(list " + " ".join(parts) + ")"


class SubmitBugTest(unittest.TestCase):
    def setUp(self):
        self.work = fresh_folder("report-" + self._testMethodName)
        self.home = os.path.join(self.work, "home")
        self.desktop = os.path.join(self.home, "Desktop")
        os.makedirs(self.desktop)
        os.makedirs(os.path.join(self.work, "config"))
        os.makedirs(os.path.join(self.work, "tmp"))
        os.makedirs(os.path.join(self.work, "logs"))
        self.drawing = os.path.join(self.work, "Plan.dwg")
        open(self.drawing, "wb").write(os.urandom(50000))
        self.database = os.path.join(self.work, "Std.nv")
        open(self.database, "wb").write(b"standards" * 100)
        self.server = None

    def tearDown(self):
        if self.server:
            self.server.close()

    def env(self, port):
        return {"HOME": self.home, "XDG_CONFIG_HOME": os.path.join(self.work, "config"),
                "TMPDIR": os.path.join(self.work, "tmp"), "TABRIK_SMTP_SERVER": "127.0.0.1:%d" % port,
                "TABRIK_SMTP_USER": "mailer", "TABRIK_SMTP_PASSWORD": "s3cret",
                "TABRIK_SMTP_CA_FILE": self.server.cert if self.server else "",
                "TABRIK_SUPPORT_ADDRESS": SUPPORT, "TABRIK_MAKER_DOMAIN": "norvane.com",
                "TABRIK_SMTP_TIMEOUT": "2"}

    def submit(self, scripts, answers=(), kind=1, label="Project X", port=None, files=None, more=()):
        files = [self.drawing, "", self.database] if files is None else files
        queue = " ".join(scripts) + " " + " ".join(lisp_string(a) for a in answers)
        forms = ["(host:answer %s)" % queue,
                 "(nv_nv-submitBug %d %s %s %s (list %s))" % (
                     kind, lisp_string(label), lisp_string(os.path.join(self.work, "logs") + "/"),
                     lisp_string("Version 7.1"), " ".join(lisp_string(f) for f in files)),
                 "(host:dialogs)", "(host:message-boxes)", "(host:shell-log)"] + list(more)
        values, output = run_lisp(forms, self.work, env=self.env(port or (self.server.port if self.server else 9)))
        return values, output

    def registry(self, names=("Name", "Email", "Phone", "bSendToDesktop2")):
        forms = ['(vl-registry-read "HKEY_CURRENT_USER\\\\Software\\\\Norvane Software\\\\Shared" %s)'
                 % lisp_string(n) for n in names]
        values, _ = run_lisp(forms, self.work)
        return dict(zip(names, values))

    def log(self):
        return open(os.path.join(self.work, "logs", "nv_submit.log")).read()

    def test_report_is_mailed_with_its_files_in_one_archive(self):
        self.server = Server(os.path.join(self.work, "server"))
        values, output = self.submit([dialog_script()])
        self.assertEqual(values[1], "nil", output)
        self.assertEqual(self.server.messages(), ["message-1.eml"], output)
        headers, body, names = unpack(os.path.join(self.work, "server", "got", "message-1.eml"),
                                      os.path.join(self.work, "unpacked"))
        self.assertEqual(headers["Subject"], "NV Bug: The leader loses its symbol")
        self.assertEqual(headers["From"], "Zoe O/Brien <zoe@example.org>")
        self.assertEqual(headers["To"], SUPPORT)
        self.assertEqual(body, "555-0100\n\nThe leader loses its symbol. It happens every time.\n\nVersion 7.1\n")
        self.assertEqual(names, ["Zoe OBrien Project X.zip"])
        with zipfile.ZipFile(os.path.join(self.work, "unpacked", "attachment-Zoe OBrien Project X.zip")) as z:
            self.assertEqual(sorted(z.namelist()), ["Plan.dwg", "Std.nv"])
            self.assertEqual(z.read("Plan.dwg"), open(self.drawing, "rb").read())
        session = json.load(open(os.path.join(self.work, "server", "got", "session-1.json")))
        self.assertEqual((session["tls"], session["user"]), (True, "mailer"))
        self.assertIn('("Norvane" "Message sent successfully."', values[3])
        self.assertEqual(self.registry(), {"Name": '"Zoe O/Brien"', "Email": '"zoe@example.org"',
                                           "Phone": '"555-0100"', "bSendToDesktop2": '"0"'})
        self.assertEqual(self.log(), "Set user registry...\nDone\nSet email registry...\nDone\nSetup SMTP...\nDone\n"
                         "Verify connection...\nDone\nCreate email text...\nDone\nAdd attachments...\nDone\n"
                         "Compress attachments...\nDone\nSending...\nDone\nCleanup...\nDone\n")
        self.assertEqual(os.listdir(self.desktop), [])

    def desktop_archive(self, name="Zoe OBrien Project X.zip"):
        return os.path.join(self.desktop, "Send to %s--%s" % (SUPPORT, name))

    def test_server_down_offers_the_desktop_archive(self):
        # Nothing listening, and a server that takes the connection but never answers
        # (the timeout is 2 seconds here).
        silent = socket.socket()
        silent.bind(("127.0.0.1", 0))
        silent.listen(5)
        try:
            for label, port in [("nothing listening", 9), ("silent server", silent.getsockname()[1])]:
                with self.subTest(label):
                    for leftover in os.listdir(self.desktop):
                        os.remove(os.path.join(self.desktop, leftover))
                    # The first round left the check box set; the user clears it.
                    values, output = self.submit([dialog_script(desktop=False)], answers=["YES"], port=port)
                    self.check_desktop_fallback(values)
        finally:
            silent.close()

    def check_desktop_fallback(self, values):
        boxes = values[3]
        self.assertIn("Message could not be sent.\\nCould not connect to the SMTP server.", boxes)
        self.assertIn('("EMAIL NOT SENT!" "EMAIL NOT SENT!\\n\\nFile \\"', boxes)
        archive = self.desktop_archive()
        with zipfile.ZipFile(archive) as z:
            self.assertEqual(sorted(z.namelist()), ["Plan.dwg", "Std.nv", "nv_error.txt"])
            self.assertEqual(z.read("nv_error.txt").decode(),
                             "555-0100\n\nThe leader loses its symbol. It happens every time.\n\nVersion 7.1\n")
        self.assertTrue(os.path.isfile(os.path.join(self.work, "nv_submiterror.xml")))
        self.assertEqual(self.registry()["bSendToDesktop2"], '"1"')
        self.assertTrue(self.log().startswith("Set user registry...\nDone\nSet email registry...\nDone\n"
                                              "Setup SMTP...\nDone\nVerify connection...\nCleanup...\n"))

    def test_server_down_and_no_keeps_the_dialog_open(self):
        values, output = self.submit([dialog_script()], answers=["NO"], port=9)
        self.assertEqual(os.listdir(self.desktop), [])
        # The script ended with the dialog still open: it was cancelled, not closed by OK.
        self.assertIn(" 2 ", values[2])
        self.assertEqual(self.registry()["Name"], '"Zoe O/Brien"')

    def test_desktop_check_box_saves_without_mailing(self):
        values, output = self.submit([dialog_script(name="", desktop=True)], label="Std", port=9)
        with zipfile.ZipFile(self.desktop_archive("NV Attachment Std.zip")) as z:
            self.assertEqual(sorted(z.namelist()), ["Plan.dwg", "Std.nv", "nv_error.txt"])
        self.assertNotIn("Message could not be sent", values[3])
        self.assertEqual(self.registry()["bSendToDesktop2"], '"1"')

    def test_attachment_list_edits_what_is_sent(self):
        notes = os.path.join(self.work, "Notes.ies")
        open(notes, "w").write("photometric data\n")
        nested = ('(list (list "dump") (list "select" "Files" 0) (list "press" "Remove") (list "press" "Add")'
                  ' (list "press" "Add") (list "press" "Add") (list "press" "OK"))')
        main = dialog_script(desktop=True, extra=[("press", "Attachments. . ."), ("dump",)])
        # The file dialog takes the string answers: a new file, the same file in other
        # letter case (not added twice), a cancel.
        values, output = self.submit([main, nested], answers=[notes, notes.upper(), "*cancel*"], port=9)
        dialogs = values[2]
        self.assertIn('("IDD_ATTACHMENTS" "Norvane Attachments" 1 ((("list" "Files:" nil %s %s)))'
                      % (lisp_string(self.drawing), lisp_string(self.database)), dialogs)
        self.assertIn('("static" 2207 "(2 files)")', dialogs)
        with zipfile.ZipFile(self.desktop_archive()) as z:
            self.assertEqual(sorted(z.namelist()), ["Notes.ies", "Std.nv", "nv_error.txt"])
        shell = values[4]
        self.assertEqual(shell, '(("startapp" %s 1))' % lisp_string("explorer.exe /select," + self.desktop_archive().replace(self.desktop + "/", self.desktop + "\\")))

    def test_count_label(self):
        for files, label in [([], '""'), ([self.drawing], '"(1 file)"'), ([self.drawing, "", self.database], '"(2 files)"')]:
            with self.subTest(files=files):
                values, _ = self.submit(['(list (list "dump"))'], files=files, port=9)
                self.assertIn('("static" 2207 %s)' % label, values[2])

    def test_every_validation_message(self):
        cases = [
            ("", "", "An e-mail address is needed."),
            ("zoe@@example.org", None, "Invalid e-mail address."),
            ("zoe@example", None, "Invalid e-mail address."),
            ("help@norvane.com", None, "Enter your email address. We will use this email address to reply to you."),
            ("Zoe@example.org", "zoe@example.org", "The e-mail addresses do not match."),
        ]
        for email, repeat, message in cases:
            with self.subTest(message, email=email):
                values, output = self.submit([dialog_script(email=email, repeat=repeat)], port=9)
                self.assertIn('("Norvane" %s 48)' % lisp_string(message), values[3])
                self.assertNotIn("Could not connect", values[3])
                self.assertIn(" 2 ", values[2])  # still open when the script ended

    def test_second_opening_shows_what_the_first_stored(self):
        # A mail attempt (the server down, the desktop declined) stores all three
        # details and clears the check box; a desktop save stores the check box.
        for label, first, answers, checked in [
                ("after a mail attempt", dialog_script(), ["NO"], "nil"),
                ("after a desktop save", dialog_script(name="Ann", phone="", desktop=True), [], "T")]:
            with self.subTest(label):
                self.submit([first], answers=answers, port=9)
                values, output = self.submit(['(list (list "dump"))'], port=9)
                dump = values[2]
                name, phone = ("Ann", "") if checked == "T" else ("Zoe O/Brien", "555-0100")
                for entry in ['("edit" "Name:" %s)' % lisp_string(name),
                              '("edit" "Email Address (required):" "zoe@example.org")',
                              '("edit" "Re-enter Email Address:" "zoe@example.org")',
                              '("edit" "Phone Number:" %s)' % lisp_string(phone),
                              '("check" "Save to desktop (check if sending fails or crashes)" %s)' % checked]:
                    self.assertIn(entry, dump)

    def test_titles_by_kind(self):
        for kind, title in [(0, "Send Project to Norvane Support"), (1, "Send Bug to Norvane Support"),
                            (4, "Send Master and Standards Databases to Norvane Support"),
                            (5, "Send Standards Databases to Norvane Support"), (7, "Send to Norvane Support")]:
            with self.subTest(kind=kind):
                values, _ = self.submit([], kind=kind, port=9)
                self.assertIn('("nv_tabrik:SubmitBug" %s' % lisp_string(title), values[2])

    def test_wrong_arguments(self):
        values, output = run_lisp(['(nv_nv-submitBug)', '(nv_nv-submitBug 1 "a" "b")',
                                   '(nv_nv-submitBug "1" "a" "b" "c")', '(nv_nv-submitBug 1 "a" "b" 4)'], self.work)
        self.assertNotIn("nil", values)  # each call failed
        self.assertEqual(output.count("Wrong type of arguments passed."), 4)
        self.assertNotIn("nv_tabrik:SubmitBug", output)


if __name__ == "__main__":
    unittest.main()
