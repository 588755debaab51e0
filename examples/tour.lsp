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

(princ "\n\nA database of the module's own (an Access-style file on SQLite)")
(if (= (type tb_connect) 'EXRXSUBR)
  (progn
    (setq tour-db "/tmp/tabrik-tour.mdb")
    (vl-file-delete tour-db)
    (show "(tb_create_db tour-db)" (tb_create_db tour-db))
    (show "(tb_connect tour-db)" (tb_connect tour-db))
    (show "(tb_create_table \"Parts\" ...)"
          (tb_create_table "Parts" '(("ID" "LONG" nil nil "I" T T) ("Name" "TEXT" 20 nil "" "A") ("Qty" "LONG" nil 0))))
    (show "(tb_table \"Parts\" \"Name\")" (tb_table "Parts" "Name"))
    (foreach part '(("Bolt" 10) ("nut" 20) ("Washer" 30))
      (tb_append (list (list "Name" (car part)) (list "Qty" (cadr part)))))
    (show "(tb_count)" (tb_count))
    (show "(tb_seek \"NUT\"), blind to case" (tb_seek "NUT"))
    (show "(tb_sql \"SELECT Name FROM Parts WHERE Name Like 'b*' Or Qty > 25\")"
          (tb_sql "SELECT Name FROM Parts WHERE Name Like 'b*' Or Qty > 25"))
    (show "(tb_command \"UPDATE Parts SET Qty = Qty + 1\"), records changed" (tb_command "UPDATE Parts SET Qty = Qty + 1"))
    (show "(tb_seek \"Bolt\") again" (tb_seek "Bolt"))
    (show "(tb_table \"Nowhere\")" (tb_table "Nowhere"))
    (show "(tb_lastError)" (tb_lastError))
    (tb_close_db))
  (princ "\n  not loaded."))
(princ "\n")
(princ)
