;; Only Jet's SQL reaches the database: what Jet has no syntax for is DAO's 3129, the
;; catalog is read-only to SQL, SQLite's own functions are undefined; a long statement
;; stops at Escape (a "*cancel*" waiting in the input queue) and leaves the records as
;; they were; a fail-hard connect that fails prints and keeps its error.
(vl-file-delete "hard.mdb")
(tb_create_db "hard.mdb")
;=>T
(tb_connect "hard.mdb")
;=>T
(tb_command "CREATE TABLE Digits (D LONG)")
;=>0
(foreach d '(0 1 2 3 4 5 6 7 8 9) (tb_command (strcat "INSERT INTO Digits VALUES (" (itoa d) ")")))
(defun refused (sql) (tb_resetLastError) (list (tb_command sql) (substr (tb_lastError) 1 6)))
(mapcar 'refused
        '("PRAGMA writable_schema=ON" "PRAGMA locking_mode=EXCLUSIVE" "PRAGMA journal_mode=OFF"
          "ATTACH DATABASE 'other.mdb' AS o" "VACUUM" "BEGIN" "SAVEPOINT a" "REINDEX"
          "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c) SELECT x FROM c"
          "DELETE FROM MSysObjects" "UPDATE MSysColumns SET Type = 4"
          "SELECT hex(fts3_tokenizer('simple'))" "SELECT * FROM sqlite_master"))
;=>((nil "(3129)") (nil "(3129)") (nil "(3129)") (nil "(3129)") (nil "(3129)") (nil "(3129)") (nil "(3129)") (nil "(3129)") (nil "(3129)") (nil "(3027)") (nil "(3027)") (nil "(3085)") (nil "(3078)"))
(tb_lastError)
;=>"(3078) The Microsoft Jet database engine cannot find the input table or query 'sqlite_master'.  Make sure it exists and that its name is spelled correctly."
;; The file is still the engine's: its tables, its records, writable by a new connection.
(tb_sql "SELECT count(*), sum(D) FROM Digits")
;=>((("Expr1000" . 10) ("Expr1001" . 45)))
(tb_close_db)
;=>nil
(tb_connect "hard.mdb")
;=>T
(tb_command "UPDATE Digits SET D = D WHERE D = 1")
;=>1
;; A queued Escape: a short statement leaves it for later; a long one takes it and
;; stops, and the records are as they were.
(host:input "*cancel*")
(tb_sql "SELECT count(*) FROM Digits")
;=>(10)
(tb_command "INSERT INTO Digits (D) SELECT a.D FROM Digits a, Digits b, Digits c, Digits d, Digits e, Digits f, Digits g")
;/
;/Tabrik Error: Operation canceled by user.
;=>nil
(tb_lastError)
;=>"(3059) Operation canceled by user."
(tb_sql "SELECT count(*) FROM Digits")
;=>(10)
(tb_command "UPDATE Digits SET D = D + 0")
;=>10
;; A fail-hard connect that fails: the message is printed and kept.
(setq f (open "broken.mdb" "w"))
(write-line "not a database" f)
(close f)
(defun compactDatabase (path dest mode) nil)
(tb_resetLastError)
;=>""
(tb_connect "broken.mdb" "w" T)
;/
;/Tabrik Error: Unrecognized database format 'broken.mdb'.
;!ADS request error
(tb_lastError)
;=>"(3343) Unrecognized database format 'broken.mdb'."
(tb_compact "broken.mdb" "broken-copy.mdb" nil)
;/
;/Tabrik Error: Unrecognized database format 'broken.mdb'.
;=>3343
