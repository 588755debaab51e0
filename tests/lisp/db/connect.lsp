;; Opening, creating and closing databases, the failure report and the last-error
;; text, and the argument errors of the database functions. Tables come from the
;; module tests (no LISP function makes one yet); here every table is missing.
;; The working folder outlives a run: files of an earlier one go first.
(foreach name '("one.mdb" "junk.mdb" "sub\\found.mdb") (vl-file-delete name))
(tb_readonly)
;=>T
(tb_mdb)
;=>nil
(tb_current_table)
;=>nil
(tb_current_index)
;=>nil
(tb_lastError)
;=>""
(tb_create_db "one.mdb")
;=>T
;; Creating does not open: still no current connection.
(tb_mdb)
;=>nil
;; The file exists now; the creation's own error is neither printed nor kept.
(tb_create_db "one.mdb")
;=>nil
(tb_lastError)
;=>""
(tb_connect "one.mdb")
;=>T
(tb_mdb)
;=>"one.mdb"
(tb_readonly)
;=>nil
(tb_current_table)
;=>""
(tb_current_index)
;=>""
(tb_exist "Parts")
;=>nil
(tb_table "Parts" "PrimaryKey")
;/
;/Tabrik Error: The Microsoft Jet database engine cannot find the input table or query 'Parts'.  Make sure it exists and that its name is spelled correctly.
;=>nil
(tb_lastError)
;=>"(3078) The Microsoft Jet database engine cannot find the input table or query 'Parts'.  Make sure it exists and that its name is spelled correctly."
(tb_resetLastError)
;=>""
(tb_lastError)
;=>""
;; Without a current table every cursor and record function answers nil quietly.
(list (tb_top) (tb_bottom) (tb_skip) (tb_skip 0) (tb_seek 1) (tb_count) (tb_getrec))
;=>(nil nil nil nil nil nil nil)
(list (tb_append '(("Name" "x"))) (tb_replace '(("Name" "x"))) (tb_delete) (tb_close_table) (tb_closeall_tables))
;=>(nil nil nil nil nil)
(tb_lastError)
;=>""
;; The mode: read-write only for exactly "w"; the same database in the same mode
;; is kept, another mode reopens it.
(tb_connect "one.mdb" "w")
;=>T
(tb_connect "one.mdb" "r")
;=>T
(tb_readonly)
;=>T
(tb_connect "one.mdb" "W")
;=>T
(tb_readonly)
;=>T
(tb_connect "one.mdb" "w" nil)
;=>T
(tb_readonly)
;=>nil
(tb_close_db)
;=>nil
(tb_mdb)
;=>nil
(tb_readonly)
;=>T
;; A path that names no file is looked for in the search folders, in order.
(vl-mkdir "sub")
(tb_create_db "sub\\found.mdb")
;=>T
(host:set-search-path "nowhere;sub")
(tb_connect "found.mdb")
;=>T
(tb_mdb)
;=>"sub\\found.mdb"
(tb_connect "missing.mdb")
;=>nil
;; A file DAO cannot open goes to the application's compactDatabase; nil from it
;; means the connect fails, with DAO's error kept and printed.
(setq f (open "junk.mdb" "w"))
(write-line "not a database" f)
(close f)
(defun compactDatabase (path dest mode) (setq calls (cons (list path dest mode) calls)) nil)
(tb_connect "junk.mdb")
;=>nil
calls
;=>(("junk.mdb" nil "Repair"))
(substr (tb_lastError) 1 7)
;=>"(3343) "
(tb_mdb)
;=>nil
(tb_connect "junk.mdb" "w" T)
;!ADS request error
;; A repair that leaves a database behind lets the connect go on.
(defun compactDatabase (path dest mode) (vl-file-delete path) (tb_create_db path))
(tb_connect "junk.mdb")
;=>T
(tb_mdb)
;=>"junk.mdb"
;; Argument errors.
(tb_connect)
;!ADS request error
(tb_connect 5)
;!ADS request error
(tb_create_db nil)
;!ADS request error
(tb_exist 3)
;!ADS request error
(tb_table)
;/
;/Too few arguments passed.
;!ADS request error
(tb_table "Parts" 5)
;!ADS request error
(tb_seek)
;!ADS request error
;; An optional count its reader cannot read is the default, not a wrong type.
(tb_skip "one")
;=>nil
(tb_append_withindex "x" '(("Name" "x")))
;!ADS request error
