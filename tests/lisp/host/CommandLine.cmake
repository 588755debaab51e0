# Checks the `tabrik` command: exit statuses 0/1/2, what run and eval print, options.
# Run with -DTABRIK=<the host> -DWORK=<a scratch folder>.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(failures 0)

# expect(NAME STATUS STDOUT-REGEX ARGS...)
function(expect name status pattern)
  execute_process(COMMAND ${TABRIK} --no-module --quiet ${ARGN}
                  WORKING_DIRECTORY ${WORK} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result STREQUAL "${status}" OR NOT out MATCHES "${pattern}")
    message(SEND_ERROR "${name}: status ${result} (expected ${status})\nstdout: [${out}]\nexpected: ${pattern}\nstderr: [${err}]")
  endif()
endfunction()

# expect_stderr(NAME STATUS STDERR-REGEX ARGS...)
function(expect_stderr name status pattern)
  execute_process(COMMAND ${TABRIK} --no-module --quiet ${ARGN}
                  WORKING_DIRECTORY ${WORK} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result STREQUAL "${status}" OR NOT err MATCHES "${pattern}")
    message(SEND_ERROR "${name}: status ${result} (expected ${status})\nstderr: [${err}]\nexpected: ${pattern}")
  endif()
endfunction()

file(WRITE ${WORK}/good.lsp "(princ \"good\")\n(terpri)\n")
file(WRITE ${WORK}/bad.lsp "(princ \"before\")\n(car 1)\n(princ \"after\")\n")
file(WRITE ${WORK}/handler.lsp "(defun *error* (m) (princ (strcat \"[\" m \"]\")) (princ))\n(/ 1 0)\n(princ \"not reached\")\n")
file(WRITE ${WORK}/input.txt "first line\n2.5,3\n")
file(WRITE ${WORK}/ask.lsp "(princ (getstring T \"Name: \"))\n(princ (getpoint))\n(getpoint)\n")
file(WRITE ${WORK}/scenario-fails.lsp "(+ 1 2)\n;=>4\n")
file(WRITE ${WORK}/scenario-passes.lsp "(+ 1 2)\n;=>3\n(princ \"a\\nb\")\n;/a\n;/b\n(car 1)\n;!bad argument type: consp 1\n")

expect(eval-value 0 "^3\n$" eval "(+ 1 2)")
expect(eval-each-value 0 "^3\n\"x\"\n$" eval "(+ 1 2) \"x\"")
expect(eval-printed-then-value 0 "^x\n\"x\"\n$" eval "(princ \"x\")")
expect(eval-null-symbol 0 "^$" eval "(princ)")
expect(eval-error 1 "^; error: bad argument type: consp 1\n$" eval "(car 1)")
expect(eval-reader-error 1 "; error: malformed list on input" eval "(+ 1")
expect(eval-next-expression-runs 1 "error: .*\n5\n$" eval "(car 1)" "5")
expect(run-good 0 "^good\n$" run good.lsp)
expect(run-abandons-file 1 "^before\n; error: bad argument type: consp 1\ngood\n$" run bad.lsp good.lsp)
expect(run-calls-error-handler 1 "^\\[divide by zero\\]$" run handler.lsp)
expect(run-unreadable-file 2 "^good\n$" run missing.lsp good.lsp)
expect(run-input-queue 1 "^Name: first line\\(2.5 3.0 0.0\\)\n; error: Function cancelled\n$" run --input input.txt ask.lsp)
expect(run-without-file 2 "^$" run)
expect(unknown-option 2 "^$" run --frobnicate good.lsp)
expect(missing-input-file 2 "^$" run --input nonexistent.txt good.lsp)
expect(search-path 0 "^\"/a/b\"\n$" eval --search-path /a/b "(getvar \"ACADPREFIX\")")
expect(test-passes 0 "^PASS scenario-passes.lsp \\(3 forms, 0 failed\\)\n$" test scenario-passes.lsp)
expect(test-fails 1 "expected value: 4\n  actual value:   3" test scenario-fails.lsp)
expect(test-unreadable 2 "^$" test missing.lsp)
expect(save-option 0 "^3\n$" eval --save saved.dxf "(+ 1 2)")
expect(save-exploded-option 0 "^3\n$" eval --save-exploded plain.dxf "(+ 1 2)")
expect(save-exploded-drawing 0 "^\\(\"plain.dxf\"\\)\n$" eval --drawing plain.dxf "(host:documents)")
expect(save-exploded-function 0 "^T\n\\(\"Drawing1.dwg\"\\)\n$" eval "(host:save-exploded \"plain2.dxf\")" "(host:documents)")
expect(drawing-option 0 "^\\(\"saved.dxf\"\\)\n$" eval --drawing saved.dxf "(host:documents)")
expect(drawings-last-active 0 "^\"saved.dxf\"\n$" eval --drawing saved.dxf --drawing ${WORK}/saved.dxf "(getvar \"DWGNAME\")")
expect(unreadable-drawing 2 "^$" eval --drawing missing.dxf "(+ 1 2)")
expect(missing-module-is-not-fatal 0 "^3\n$" eval --module ${WORK}/nothing.arx "(+ 1 2)")

# A drawing that cannot be read names the line and the reason; one that loses an object
# on the way (a LINE without its subclass markers) opens and says which.
file(WRITE ${WORK}/broken.dxf "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  5\nA\n100\nAcDbEntity\n  8\n0\n100\nAcDbLine\n 10\n5,0\n 20\n1\n  0\nENDSEC\n  0\nEOF\n")
expect_stderr(broken-drawing-names-line-and-reason 2
  "cannot open drawing broken.dxf: line 15: a number was expected in group 10 \\(error status 106\\)"
  eval --drawing broken.dxf "(+ 1 2)")
file(WRITE ${WORK}/unmarked.dxf "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  8\n0\n 10\n1\n 20\n2\n 30\n0\n 11\n3\n 21\n4\n 31\n0\n  0\nENDSEC\n  0\nEOF\n")
expect_stderr(left-out-object-is-reported 0
  "drawing unmarked.dxf: line 5: a LINE was left out: its subclass markers"
  eval --drawing unmarked.dxf "(+ 1 2)")

# Command scripts: a space or a newline ends each answer, ";" lines are comments, LISP
# expressions answer with their value; the drawing they describe is saved.
file(WRITE ${WORK}/plan.scr "; the plan's layers\n-LAYER M WALLS C 3 \n\n(setq n 2)\n-LAYER N (strcat \"W\" (itoa n)) \n")
expect(script-runs-commands 0 "^Command: -LAYER\n.*Command: -LAYER\n.*W2\n" run --save plan.dxf plan.scr)
expect(script-drawing-saved 0 "^\\(\"WALLS\" 3 T\\)\n$" eval --drawing plan.dxf
  "(list (getvar \"CLAYER\") (cdr (assoc 62 (tblsearch \"LAYER\" \"WALLS\"))) (and (tblsearch \"LAYER\" \"W2\") T))")
expect(script-unreadable 2 "^$" run missing.scr)
