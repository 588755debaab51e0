;; Optional arguments of the tb_ functions: a value the argument's reader cannot read
;; takes the default, with no wrong-type error.
(vl-file-delete "optional.mdb")
(tb_create_db "optional.mdb")
;=>T
;; tb_connect: a mode that is not a string is the default, read and write.
(tb_connect "optional.mdb" 7)
;=>T
(tb_create_table "Steps" '(("ID" "LONG" nil nil "I" T T) ("Name" "TEXT" 10 nil "")))
;=>"Steps"
(tb_table "Steps" "ID")
;=>"Steps"
(foreach name '("one" "two" "three" "four") (tb_append (list (list "Name" name))))
;; tb_skip from the first record; each row: the arguments, the name it lands on.
(setq rows '((nil "two") (("x") "two") ((nil) "two") (((1 2)) "two") ((2) "three")
             ((2.9) "three") ((3) "four") ((-1) nil) ((0) nil) ((4) nil)))
(defun landed (args)
  (tb_top)
  (cdr (assoc "Name" (apply 'tb_skip args))))
(vl-remove-if '(lambda (row) (equal (landed (car row)) (cadr row))) rows)
;=>nil
;; tb_sql: a mode that is not an integer is mode 0.
(tb_sql "SELECT Name FROM Steps WHERE ID = 3" "x")
;=>("three")
;; tb_delete_table: a flag its reader cannot read (a list opens) is nil.
(tb_delete_table "Steps" '(1))
;=>nil
(tb_table "Steps")
;=>nil
(tb_close_db)
(vl-file-delete "optional.mdb")
;=>T
