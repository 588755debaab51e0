"""ExtractZip and CreateZip against archives another tool (Python's zipfile, unzip)
makes and reads, and the hostile archives ExtractZip must refuse without writing a
byte outside its folder."""
import os
import stat
import struct
import subprocess
import unittest
import zipfile

from harness import fresh_folder, lisp_string, run_lisp


def files_under(folder):
    found = set()
    for root, dirs, names in os.walk(folder):
        for name in dirs + names:
            found.add(os.path.relpath(os.path.join(root, name), folder))
    return found


def add_symlink(archive, name, target):
    info = zipfile.ZipInfo(name)
    info.create_system = 3  # Unix, so the mode bits count
    info.external_attr = (stat.S_IFLNK | 0o777) << 16
    archive.writestr(info, target)


def claim_size(path, entry_index, claimed):
    """Rewrites the uncompressed size an entry declares, in its local header and in the
    central directory, leaving its data as it is."""
    data = bytearray(open(path, "rb").read())
    with zipfile.ZipFile(path) as archive:
        info = archive.infolist()[entry_index]
    struct.pack_into("<I", data, info.header_offset + 22, claimed)
    central = data.find(b"PK\x01\x02")
    for _ in range(entry_index):
        name_len, extra_len, comment_len = struct.unpack_from("<HHH", data, central + 28)
        central += 46 + name_len + extra_len + comment_len
    struct.pack_into("<I", data, central + 24, claimed)
    open(path, "wb").write(bytes(data))


class ExtractZipTest(unittest.TestCase):
    def setUp(self):
        self.work = fresh_folder("extract-" + self._testMethodName)
        self.outside = os.path.join(self.work, "outside")
        os.makedirs(self.outside)
        self.target = os.path.join(self.work, "target")

    def extract(self, archive, target=None):
        values, output = run_lisp(["(ExtractZip %s %s)" % (lisp_string(archive), lisp_string(target or self.target))],
                                  self.work)
        return values[0]

    def test_archive_made_by_zipfile_extracts_whole(self):
        path = os.path.join(self.work, "made.zip")
        contents = {
            "readme.txt": b"first line\r\nsecond\n",
            "data/deep/values.bin": bytes(range(256)) * 40,
            "data/stored.txt": b"kept as stored",
            "caf\u00e9/r\u00e9sum\u00e9.txt": "\u00e9t\u00e9".encode("utf-8"),
        }
        with zipfile.ZipFile(path, "w") as archive:
            for name, data in contents.items():
                method = zipfile.ZIP_STORED if "stored" in name else zipfile.ZIP_DEFLATED
                archive.writestr(name, data, compress_type=method)
            archive.writestr("empty/", b"")
        # The target does not exist yet and is created; a Windows path form works too.
        self.assertEqual(self.extract(path.replace("/", "\\"), self.target.replace("/", "\\")), "T")
        for name, data in contents.items():
            with open(os.path.join(self.target, name), "rb") as f:
                self.assertEqual(f.read(), data, name)
        self.assertTrue(os.path.isdir(os.path.join(self.target, "empty")))

    def test_link_inside_the_folder_is_kept(self):
        path = os.path.join(self.work, "links.zip")
        with zipfile.ZipFile(path, "w") as archive:
            archive.writestr("readme.txt", b"text")
            add_symlink(archive, "docs/readme-link", "../readme.txt")
        self.assertEqual(self.extract(path), "T")
        link = os.path.join(self.target, "docs", "readme-link")
        self.assertTrue(os.path.islink(link))
        self.assertEqual(open(link, "rb").read(), b"text")

    def test_hostile_archives_are_refused_and_write_nothing(self):
        absolute = os.path.join(self.outside, "absolute.txt")
        cases = [
            ("parent segment", [("../escaped.txt", b"x")]),
            ("parent segment deeper", [("ok.txt", b"x"), ("sub/../../escaped.txt", b"x")]),
            ("backslash parent", [("..\\escaped.txt", b"x")]),
            ("absolute path", [(absolute, b"x")]),
            ("drive letter", [("C:\\escaped.txt", b"x")]),
            ("drive relative", [("C:escaped.txt", b"x")]),
            ("link to a parent", [("link", "../outside", "link"), ("link/escaped.txt", b"x")]),
            ("link to an absolute path", [("etc", self.outside, "link"), ("etc/escaped.txt", b"x")]),
            ("link chain through a link to the folder itself",
             [("d", ".", "link"), ("e", "d/d/../outside", "link")]),
        ]
        for label, entries in cases:
            with self.subTest(label):
                path = os.path.join(self.work, "hostile.zip")
                with zipfile.ZipFile(path, "w") as archive:
                    for entry in entries:
                        if len(entry) == 3:
                            add_symlink(archive, entry[0], entry[1])
                        else:
                            archive.writestr(zipfile.ZipInfo(entry[0]), entry[1])
                self.assertEqual(self.extract(path), "nil")
                self.assertEqual(files_under(self.outside), set())
                self.assertFalse(os.path.exists(os.path.join(self.work, "escaped.txt")))
                # Only links whose danger shows once made are made at all, and removed.
                self.assertEqual([n for n in files_under(self.target) if n.endswith("escaped.txt")]
                                 if os.path.isdir(self.target) else [], [])
                if os.path.isdir(self.target):
                    self.assertFalse(any(os.path.islink(os.path.join(self.target, n))
                                         for n in files_under(self.target)), label)

    def test_link_already_in_the_folder_is_not_followed(self):
        os.makedirs(self.target)
        os.symlink(self.outside, os.path.join(self.target, "escape"))
        path = os.path.join(self.work, "innocent.zip")
        with zipfile.ZipFile(path, "w") as archive:
            archive.writestr("escape/planted.txt", b"x")
        self.assertEqual(self.extract(path), "nil")
        self.assertEqual(files_under(self.outside), set())

    def test_broken_archives_give_nil(self):
        good = os.path.join(self.work, "good.zip")
        with zipfile.ZipFile(good, "w") as archive:
            archive.writestr("a.txt", b"a" * 5000)
            archive.writestr("b.txt", os.urandom(5000))
        data = open(good, "rb").read()
        truncated = os.path.join(self.work, "truncated.zip")
        open(truncated, "wb").write(data[: len(data) // 2])
        text = os.path.join(self.work, "plain.zip")
        open(text, "w").write("this is not an archive\n")
        empty = os.path.join(self.work, "empty.zip")
        open(empty, "wb").write(b"")
        for label, path in [("truncated", truncated), ("not a zip", text), ("empty file", empty),
                            ("missing", os.path.join(self.work, "missing.zip")),
                            ("a folder", self.outside)]:
            with self.subTest(label):
                self.assertEqual(self.extract(path), "nil")

    def test_zip_bombs_stop_at_the_limit(self):
        # Two entries that claim 3 GB each: refused before anything is written.
        claimed = os.path.join(self.work, "claimed.zip")
        with zipfile.ZipFile(claimed, "w", zipfile.ZIP_STORED) as archive:
            archive.writestr("one.bin", b"1" * 10)
            archive.writestr("two.bin", b"2" * 10)
        claim_size(claimed, 0, 3_000_000_000)
        claim_size(claimed, 1, 3_000_000_000)
        self.assertEqual(self.extract(claimed), "nil")
        self.assertFalse(os.path.exists(os.path.join(self.target, "one.bin")))
        # An entry that claims 10 bytes and inflates to a megabyte: stopped, no file left.
        lying = os.path.join(self.work, "lying.zip")
        with zipfile.ZipFile(lying, "w", zipfile.ZIP_DEFLATED) as archive:
            archive.writestr("zeros.bin", b"\0" * 1_000_000)
        claim_size(lying, 0, 10)
        self.assertEqual(self.extract(lying), "nil")
        self.assertFalse(os.path.exists(os.path.join(self.target, "zeros.bin")))

    def test_wrong_arguments_give_nil(self):
        values, output = run_lisp(["(ExtractZip)", "(ExtractZip 1 2)", '(ExtractZip "a.zip")',
                                   '(ExtractZip "a.zip" nil)', "(ExtractZip '(\"a\") \"b\")"], self.work)
        self.assertEqual(values, ["nil"] * 5)
        self.assertNotIn("Wrong type", output)


class CreateZipTest(unittest.TestCase):
    def setUp(self):
        self.work = fresh_folder("create-" + self._testMethodName)
        self.files = []
        for name, data in [("first.txt", b"first\n"), ("second.dwg", os.urandom(70000)),
                           ("n\u00e4me.nv", b"unicode name")]:
            folder = os.path.join(self.work, "src", name.split(".")[0])
            os.makedirs(folder)
            path = os.path.join(folder, name)
            open(path, "wb").write(data)
            self.files.append((path, name, data))

    def create(self, archive, files_form):
        values, _ = run_lisp(["(CreateZip %s %s)" % (lisp_string(archive), files_form)], self.work)
        return values[0]

    def lisp_list(self, paths):
        return "(list " + " ".join(lisp_string(p) for p in paths) + ")"

    def test_archive_reads_back_in_other_tools(self):
        archive = os.path.join(self.work, "out.zip")
        # Windows separators in every path; entries are named by the file name alone.
        paths = [p.replace("/", "\\") for p, _, _ in self.files]
        self.assertEqual(self.create(archive.replace("/", "\\"), self.lisp_list(paths)), "T")
        with zipfile.ZipFile(archive) as z:
            self.assertEqual(sorted(z.namelist()), sorted(n for _, n, _ in self.files))
            for _, name, data in self.files:
                self.assertEqual(z.read(name), data)
        self.assertEqual(subprocess.run(["unzip", "-tq", archive], capture_output=True).returncode, 0)

    def test_list_shapes(self):
        cases = [
            ("empty list writes an empty archive", "nil", "T", []),
            ("no list at all writes an empty archive", "", "T", []),
            ("a non-string ends the walk", "(list %s 5 %s)" % (lisp_string(self.files[0][0]), lisp_string(self.files[1][0])),
             "T", [self.files[0][1]]),
            ("strings without a list", "%s %s" % (lisp_string(self.files[0][0]), lisp_string(self.files[1][0])),
             "T", [self.files[0][1], self.files[1][1]]),
        ]
        for label, form, result, names in cases:
            with self.subTest(label):
                archive = os.path.join(self.work, "shape.zip")
                if os.path.exists(archive):
                    os.remove(archive)
                self.assertEqual(self.create(archive, form), result)
                with zipfile.ZipFile(archive) as z:
                    self.assertEqual(sorted(z.namelist()), sorted(names))

    def test_failures_write_nothing(self):
        archive = os.path.join(self.work, "kept.zip")
        with zipfile.ZipFile(archive, "w") as z:
            z.writestr("old.txt", b"old")
        before = open(archive, "rb").read()
        missing = os.path.join(self.work, "missing.txt")
        cases = [
            ("a missing file", archive, self.lisp_list([self.files[0][0], missing])),
            ("a folder in the list", archive, self.lisp_list([os.path.join(self.work, "src")])),
        ]
        for label, target, form in cases:
            with self.subTest(label):
                self.assertEqual(self.create(target, form), "nil")
                self.assertEqual(open(archive, "rb").read(), before)
        with self.subTest("archive in a missing folder"):
            target = os.path.join(self.work, "nowhere", "a.zip")
            self.assertEqual(self.create(target, self.lisp_list([self.files[0][0]])), "nil")
            self.assertFalse(os.path.exists(os.path.dirname(target)))
        with self.subTest("wrong arguments"):
            values, output = run_lisp(["(CreateZip)", "(CreateZip 5 nil)"], self.work)
            self.assertEqual(values, ["nil", "nil"])

    def test_round_trip_through_extract(self):
        archive = os.path.join(self.work, "round.zip")
        target = os.path.join(self.work, "back")
        values, _ = run_lisp(["(CreateZip %s %s)" % (lisp_string(archive), self.lisp_list([p for p, _, _ in self.files])),
                              "(ExtractZip %s %s)" % (lisp_string(archive), lisp_string(target))], self.work)
        self.assertEqual(values, ["T", "T"])
        for _, name, data in self.files:
            self.assertEqual(open(os.path.join(target, name), "rb").read(), data)


if __name__ == "__main__":
    unittest.main()
