; 100 000 rows of 3 columns as LISP record lists, held in a variable.
(tb_connect "/tmp/tabrik_parts.mdb")
(setq rows (tb_sql "SELECT ID, Code, Name FROM Parts"))
(princ (length rows))
