;; PAUSE, atoms-family, the blackboard, the document namespace, leaving an
;; application, snvalid.
PAUSE
;=>"\\"
(atoms-family 1 '("CAR" "NO-SUCH-FUNCTION-HERE" "PAUSE"))
;=>("CAR" nil "PAUSE")
(setq zz-probe 1)
;=>1
(atoms-family 0 '("zz-probe"))
;=>(ZZ-PROBE)
(if (member "ZZ-PROBE" (atoms-family 1)) T)
;=>T
(atoms-family 2)
;!bad argument value: 2
(atoms-family "0")
;!bad argument type: fixnump: "0"
(vl-bb-ref 'shared)
;=>nil
(vl-bb-set 'shared '(1 "two"))
;=>(1 "two")
(vl-bb-ref 'shared)
;=>(1 "two")
(vl-bb-set "shared" 1)
;!bad argument type: symbolp "shared"
(vl-doc-set 'doc-value 42)
;=>42
doc-value
;=>42
(vl-doc-ref 'doc-value)
;=>42
(setq to-share "everywhere")
;=>"everywhere"
(vl-propagate 'to-share)
;=>"everywhere"
(host:new-drawing)
;=>"Drawing2.dwg"
to-share
;=>"everywhere"
(vl-bb-ref 'shared)
;=>(1 "two")
;; Leaving an application: a value goes back to the caller, an error to its *error*.
(vl-catch-all-apply '(lambda () (vl-exit-with-value 5) (princ "not reached")) nil)
;=>5
(vl-catch-all-error-message
  (vl-catch-all-apply '(lambda () (vl-exit-with-error "stopped by the application")) nil))
;=>"stopped by the application"
(vl-catch-all-error-message
  (vl-catch-all-apply
    '(lambda () (vl-catch-all-apply '/ '(1 0)) (car 1))
    nil))
;=>"bad argument type: consp 1"
(vl-catch-all-error-p (vl-catch-all-apply 'vl-catch-all-apply '(/ (1 0))))
;=>T
(vl-exit-with-error 12)
;!bad argument type: stringp 12
(defun outer (/ *error*)
  (defun *error* (msg) (princ (strcat "handled: " msg)) (princ))
  (vl-exit-with-error "gave up"))
;=>OUTER
(outer)
;/handled: gave up
;!gave up
(snvalid "hocus-pocus")
;=>T
(snvalid "hocus pocus")
;=>T
(snvalid "hocus%pocus")
;=>T
(snvalid "hocus?")
;=>nil
(snvalid "hocus|pocus")
;=>nil
(snvalid "hocus|pocus" 1)
;=>T
(snvalid "|hocus" 1)
;=>nil
(snvalid "")
;=>nil
(snvalid "a<b")
;=>nil
(snvalid (strcat "x" (chr 9)))
;=>nil
(snvalid 5)
;!bad argument type: stringp 5
;; Numbers read as decimals only.
(atof "0x1p4")
;=>0.0
(atof "inf")
;=>0.0
(atof " -2.5e2xyz")
;=>-250.0
(distof "0x10")
;=>nil
;; vl-file-systime: the file's last change in local time, as CDATE has it now.
(setq stamped (vl-filename-mktemp "systime.txt"))
(close (open stamped "w"))
;=>nil
(setq st (vl-file-systime stamped))
(list (length st) (= (car st) (fix (/ (getvar "CDATE") 10000))) (<= 0 (caddr st) 6) (last st))
;=>(8 T T 0)
(vl-file-delete stamped)
;=>T
(vl-file-systime stamped)
;=>nil
(vl-file-systime (getvar "TEMPPREFIX"))
;=>nil
