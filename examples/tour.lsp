;;; A short tour of Tabrik's headless host: plain AutoLISP first, then a few of the
;;; functions the Tabrik module adds (when the module is loaded).
;;;   build/tabrik run examples/tour.lsp

(defun show (label value)
  (princ (strcat "\n  " label ": "))
  (prin1 value)
  (princ))

(princ "\nAutoLISP in the headless host")
(show "(+ 1 2)" (+ 1 2))
(show "(/ 7 2) integer division" (/ 7 2))
(show "(/ 7 2.0)" (/ 7 2.0))
(show "(sqrt 2)" (sqrt 2))
(show "(strcat \"Tab\" \"rik\")" (strcat "Tab" "rik"))
(show "(strcase \"quiet\")" (strcase "quiet"))
(show "(mapcar '1+ '(1 2 3))" (mapcar '1+ '(1 2 3)))
(show "(assoc 'b '((a . 1) (b . 2)))" (assoc 'b '((a . 1) (b . 2))))

(defun square (n) (* n n))
(show "(square 12), a defun of our own" (square 12))
(show "an error caught" (vl-catch-all-error-message (vl-catch-all-apply '/ '(1 0))))

(princ "\n\nDrawings")
(show "open drawings" (host:documents))
(show "its leader scale, DIMSCALE" (getvar "DIMSCALE"))

(princ "\n\nThe Tabrik module")
(if (= (type nv::pow) 'EXRXSUBR)
  (progn
    (show "(type nv::pow), a function of the module" (type nv::pow))
    (show "(nv::pow 2.0 10.0)" (nv::pow 2.0 10.0))
    (show "(nv_atof \"3.25\")" (nv_atof "3.25"))
    (show "(asin 1.0)" (asin 1.0))
    (show "(nv::pow \"two\" 2), a wrong argument" (vl-catch-all-error-p (vl-catch-all-apply 'nv::pow '("two" 2)))))
  (princ "\n  not loaded: build it, or run without --no-module."))
(princ "\n")
(princ)
