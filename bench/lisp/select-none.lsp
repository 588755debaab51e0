; The same session with no rows: the floor the peak is measured from.
(tb_connect "/tmp/tabrik_parts.mdb")
(setq rows (tb_sql "SELECT ID, Code, Name FROM Parts WHERE ID < 0"))
(princ (length rows))
