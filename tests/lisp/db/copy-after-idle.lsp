;; A database copied as users copy it, the .mdb alone: after the host's idle time it
;; holds every committed record although the session still has it open, and after
;; the connection closes as well.
(foreach name '("live.mdb" "idle-copy.mdb" "closed-copy.mdb") (vl-file-delete name))
(tb_create_db "live.mdb")
;=>T
(tb_connect "live.mdb")
;=>T
(tb_command "CREATE TABLE Log (Nr LONG, Note TEXT(40))")
;=>0
(setq i 0)
(repeat 25 (tb_command (strcat "INSERT INTO Log VALUES (" (itoa (setq i (1+ i))) ", 'entry')")))
(host:idle)
;=>nil
(vl-file-copy "live.mdb" "idle-copy.mdb")
(repeat 5 (tb_command (strcat "INSERT INTO Log VALUES (" (itoa (setq i (1+ i))) ", 'later')")))
(tb_close_db)
;=>nil
(vl-file-copy "live.mdb" "closed-copy.mdb")
(tb_connect "idle-copy.mdb")
;=>T
(tb_sql "SELECT count(*) FROM Log")
;=>(25)
(tb_close_db)
(tb_connect "closed-copy.mdb")
;=>T
(tb_sql "SELECT count(*) FROM Log")
;=>(30)
