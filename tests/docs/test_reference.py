"""Tests of reference.py: the checks find each kind of gap between the pages and the
function list, and the runner fails on an example whose output differs, naming the
page's line. TABRIK names the host for the runner's cases."""
import contextlib
import io
import os
import shutil
import tempfile
import textwrap
import unittest

import reference

FUNCTION_LIST = """\
// TABRIK_LISP_FUNCTION(body, "lisp-name", table, family, state)
TABRIK_LISP_FUNCTION(tb_a, "tb_a", Database, alpha, Built)
TABRIK_LISP_FUNCTION(tb_b, "tb_b-x", Database, alpha, Pending)
TABRIK_LISP_FUNCTION(c_c, "c::c", Drawing, beta, Built)
"""

ALPHA = """\
# Alpha

Intro, linking [c::c](beta.md#cc).

## tb_a

Does a.

```
(tb_a)
```

```lisp
(tb_a)
;=>T
```

## Not yet available

- `tb_b-x`
"""

BETA = """\
# Beta

<!-- fixture: data.txt -->

## c::c

See [tb_a](alpha.md#tb_a).

```lisp
(c::c)
;=>nil
```
"""

INDEX = """\
# Index

[Alpha](alpha.md): [tb_a](alpha.md#tb_a), [tb_b-x](alpha.md#not-yet-available)

[Beta](beta.md): [c::c](beta.md#cc)
"""


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


class Reference:
    """A small reference in a temporary folder, changed by each case."""

    def __init__(self, folder):
        self.folder = folder
        self.list = os.path.join(folder, "List.def")
        self.pages = os.path.join(folder, "pages")
        write(self.list, FUNCTION_LIST)
        write(os.path.join(self.pages, "alpha.md"), ALPHA)
        write(os.path.join(self.pages, "beta.md"), BETA)
        write(os.path.join(self.pages, "README.md"), INDEX)
        write(os.path.join(self.pages, "fixtures", "data.txt"), "x\n")

    def edit(self, page, old, new):
        path = os.path.join(self.pages, page)
        with open(path, encoding="utf-8") as f:
            text = f.read()
        assert old in text, (page, old)
        write(path, text.replace(old, new))

    def problems(self):
        return reference.check(self.list, self.pages)


class FunctionListTest(unittest.TestCase):
    def test_reads_entries_not_the_comment_that_shows_the_form(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "List.def")
            write(path, FUNCTION_LIST)
            functions = reference.read_function_list(path)
        self.assertEqual(
            [(f.name, f.family, f.built) for f in functions],
            [("tb_a", "alpha", True), ("tb_b-x", "alpha", False), ("c::c", "beta", True)],
        )

    def test_anchors_are_the_code_hosts(self):
        for heading, expected in [
            ("tb_sql-nil", "tb_sql-nil"),
            ("nv::pow", "nvpow"),
            ("AcDbCurve::getLength", "acdbcurvegetlength"),
            ("Not yet available", "not-yet-available"),
            ("tb_indexUnique", "tb_indexunique"),
        ]:
            with self.subTest(heading=heading):
                self.assertEqual(reference.anchor(heading), expected)


class ScenarioTest(unittest.TestCase):
    def test_only_lisp_blocks_run_and_lines_keep_their_numbers(self):
        page_text = textwrap.dedent("""\
            # T
            prose (tb_x)
            ```
            (not run)
            ```
            ```lisp
            (+ 1 2)
            ;=>3
            ```
            ## tb_a
            ```lisp
            (tb_a)
            ```
            """)
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "t.md")
            write(path, page_text)
            scenario = reference.Page(path).scenario().split("\n")
        self.assertEqual(len(scenario), len(page_text.split("\n")))
        kept = {n: line for n, line in enumerate(scenario, start=1) if line}
        self.assertEqual(kept, {7: "(+ 1 2)", 8: ";=>3", 12: "(tb_a)"})


class CheckTest(unittest.TestCase):
    def test_a_reference_that_follows_the_list_passes(self):
        with tempfile.TemporaryDirectory() as folder:
            self.assertEqual(Reference(folder).problems(), [])

    def test_each_gap_is_reported(self):
        cases = [
            ("no section", "alpha.md", "## tb_a\n", "## tb_z\n", "no section '## tb_a'"),
            ("unknown section", "alpha.md", "## tb_a\n", "## tb_z\n", "'tb_z' names no function"),
            ("no example", "beta.md", "```lisp\n(c::c)\n;=>nil\n```\n", "", "'c::c' has no example"),
            ("example only in a plain block", "beta.md", "```lisp\n(c::c)", "```\n(c::c)",
             "'c::c' has no example"),
            ("pending with a section", "alpha.md", "## Not yet available\n\n- `tb_b-x`\n",
             "## tb_b-x\n\n```lisp\n(tb_b-x)\n```\n", "'tb_b-x' is Pending"),
            ("pending not listed", "alpha.md", "- `tb_b-x`\n", "", "'tb_b-x' (Pending) is not listed"),
            ("built listed as pending", "alpha.md", "- `tb_b-x`\n", "- `tb_b-x`\n- `tb_a`\n",
             "'tb_a' is Built"),
            ("section on another family's page", "beta.md", "## c::c", "## tb_a", "belongs on alpha.md"),
            ("index link missing", "README.md", "[tb_a](alpha.md#tb_a), ", "", "no link [tb_a](alpha.md#tb_a)"),
            ("link to a missing heading", "beta.md", "alpha.md#tb_a", "alpha.md#tb_q", "no such heading"),
            ("missing fixture", "beta.md", "data.txt", "other.txt", "fixture 'other.txt'"),
            ("unclosed block", "beta.md", ";=>nil\n```\n", ";=>nil\n", "code block not closed"),
        ]
        for name, page, old, new, expected in cases:
            with self.subTest(name), tempfile.TemporaryDirectory() as folder:
                ref = Reference(folder)
                ref.edit(page, old, new)
                problems = ref.problems()
                self.assertTrue(any(expected in p for p in problems), problems)

    def test_a_missing_page_is_reported(self):
        with tempfile.TemporaryDirectory() as folder:
            ref = Reference(folder)
            os.remove(os.path.join(ref.pages, "beta.md"))
            self.assertTrue(any("beta.md: missing (family 'beta')" in p for p in ref.problems()))


@unittest.skipUnless(os.environ.get("TABRIK"), "TABRIK names the host")
class RunTest(unittest.TestCase):
    def setUp(self):
        parent = os.environ.get("TABRIK_TEST_WORK")
        if parent:
            os.makedirs(parent, exist_ok=True)
        self.folder = tempfile.mkdtemp(dir=parent)
        self.work = os.path.join(self.folder, "work")
        write(os.path.join(self.folder, "fixtures", "made.lsp"),
              '(setq f (open "made.txt" "w"))\n(write-line "x" f)\n(close f)\n')
        write(os.path.join(self.folder, "fixtures", "given.txt"), "y\n")

    def tearDown(self):
        shutil.rmtree(self.folder)

    def run_page(self, text):
        page = os.path.join(self.folder, "page.md")
        write(page, text)
        output = io.StringIO()
        with contextlib.redirect_stdout(output):
            status = reference.run(os.environ["TABRIK"], self.work, page)
        return status, output.getvalue(), page

    def test_matching_examples_pass_in_a_fresh_folder_with_their_fixtures(self):
        os.makedirs(self.work)
        write(os.path.join(self.work, "stale.txt"), "left by an earlier run\n")
        status, output, _ = self.run_page(textwrap.dedent("""\
            <!-- fixture: given.txt -->
            <!-- fixture: made.lsp -->
            ```lisp
            (list (findfile "given.txt") (findfile "made.txt") (findfile "stale.txt"))
            ;=>("given.txt" "made.txt" nil)
            (princ "two\\nlines")
            ;/two
            ;/lines
            ;=>"two\\nlines"
            ```
            """))
        self.assertEqual(status, 0, output)
        self.assertIn("PASS", output)

    def test_a_differing_value_fails_and_names_the_pages_line(self):
        status, output, page = self.run_page(textwrap.dedent("""\
            # Page
            ```lisp
            (+ 1 2)
            ;=>3
            ```
            Prose between.
            ```lisp
            (* 2 3)
            ;=>7
            ```
            """))
        self.assertEqual(status, 1)
        self.assertIn(f"{page}:8: FAILED (* 2 3)", output)
        self.assertNotIn(":3: FAILED", output)

    def test_differing_output_and_an_unexpected_error_fail(self):
        for example in ['(princ "a")\n;/b\n;=>"a"\n', "(car 1)\n;=>nil\n"]:
            with self.subTest(example=example):
                status, output, _ = self.run_page("```lisp\n" + example + "```\n")
                self.assertEqual(status, 1, output)

    def test_fill_puts_what_the_forms_gave_in_place_of_the_holes(self):
        status, output, page = self.run_page(textwrap.dedent("""\
            ```lisp
            (+ 1 2)
            ;=>?
            (setq x 1)
            (progn (princ "x") (terpri) 5)
            ;=>?
            (* 2 3)
            ;=>6
            (car 1)
            ;=>?
            ```
            """))
        self.assertEqual(status, 1)
        with contextlib.redirect_stdout(io.StringIO()):
            unfilled = reference.fill(os.environ["TABRIK"], self.work, page)
        self.assertEqual(unfilled, 0)
        with open(page, encoding="utf-8") as f:
            lines = f.read().split("\n")
        self.assertEqual(lines[1:9], ["(+ 1 2)", ";=>3", "(setq x 1)",
                                      '(progn (princ "x") (terpri) 5)', ";/x", ";=>5", "(* 2 3)", ";=>6"])
        self.assertEqual(lines[9], "(car 1)")
        self.assertTrue(lines[10].startswith(";!") and len(lines[10]) > 2, lines[10])
        with contextlib.redirect_stdout(io.StringIO()):
            self.assertEqual(reference.run(os.environ["TABRIK"], self.work, page), 0)

    def test_a_page_without_examples_fails(self):
        status, output, _ = self.run_page("# Nothing to run\n```\n(+ 1 2)\n```\n")
        self.assertEqual(status, 1)
        self.assertIn("no examples", output)

    def test_a_failing_fixture_stops_the_run(self):
        write(os.path.join(self.folder, "fixtures", "bad.lsp"), "(car 1)\n")
        status, output, _ = self.run_page("<!-- fixture: bad.lsp -->\n```lisp\n(+ 1 2)\n;=>3\n```\n")
        self.assertEqual(status, 1)
        self.assertIn("fixture bad.lsp failed", output)


if __name__ == "__main__":
    unittest.main()
