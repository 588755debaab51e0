;; Action statements through tb_command: DML and Jet DDL, the count of records
;; affected (a real once it passes 16 bits), failures, read-only databases and
;; argument errors.
(vl-file-delete "command.mdb")
(tb_create_db "command.mdb")
;=>T
;; No connection yet: nil, nothing runs.
(tb_command "CREATE TABLE Digits (D LONG)")
;=>nil
(tb_connect "command.mdb")
;=>T
(tb_command "CREATE TABLE Digits (D LONG)")
;=>0
(tb_exist "Digits")
;=>T
(foreach d '(0 1 2 3 4 5 6 7 8 9) (tb_command (strcat "INSERT INTO Digits VALUES (" (itoa d) ")")))
(tb_command "UPDATE Digits SET D = D WHERE D < 3")
;=>3
(tb_command "DELETE FROM Digits WHERE D > 100")
;=>0
;; 40000 records: more than a 16-bit integer holds, so the count is a real.
(tb_command "CREATE TABLE Big (N LONG, Label TEXT(10))")
;=>0
(tb_command "INSERT INTO Big (N) SELECT a.D * 10000 + b.D * 1000 + c.D * 100 + d.D * 10 + e.D FROM Digits AS a, Digits AS b, Digits AS c, Digits AS d, Digits AS e WHERE a.D < 4")
;=>40000.0
(tb_command "UPDATE Big SET Label = 'x' & (N Mod 7)")
;=>40000.0
(tb_command "UPDATE Big SET N = N + 1 WHERE N < 32767")
;=>32767
(tb_sql "SELECT count(*) FROM Big WHERE Label Like 'x[0-3]'")
;=>(22858)
;; Jet DDL keeps the catalog: the new field and index are there for the table functions.
(tb_command "ALTER TABLE Big ADD COLUMN Made DATETIME")
;=>0
(tb_command "CREATE INDEX ByN ON Big (N)")
;=>0
(tb_table "Big" "ByN")
;=>"Big"
(cdr (assoc "N" (tb_seek 2)))
;=>2
(tb_close_table)
;=>nil
(tb_command "ALTER TABLE Big DROP COLUMN Made")
;=>0
(tb_sql "SELECT * FROM Big WHERE N = 2")
;=>((("N" . 2) ("Label" . "x1")))
(tb_command "SELECT N INTO Small FROM Big WHERE N <= 5")
;=>5
(tb_sql "SELECT N FROM Small ORDER BY N")
;=>(1 2 3 4 5)
(tb_command "DROP TABLE Small")
;=>0
;; A statement DAO refuses: nil through the failure report.
(tb_command "UPDATE Big SET WHERE N = 1")
;/
;/Tabrik Error: Syntax error in UPDATE statement.
;=>nil
(tb_lastError)
;=>"(3144) Syntax error in UPDATE statement."
(tb_command "DELETE FROM Nowhere")
;/
;/Tabrik Error: The Microsoft Jet database engine cannot find the input table or query 'Nowhere'.  Make sure it exists and that its name is spelled correctly.
;=>nil
(tb_command "SELECT * FROM Big")
;/
;/Tabrik Error: Cannot execute a select query.
;=>nil
(tb_command "CREATE TABLE Digits (X LONG)")
;/
;/Tabrik Error: Table 'Digits' already exists.
;=>nil
;; A read-only database: nil, no message, nothing changed.
(tb_resetLastError)
;=>""
(tb_connect "command.mdb" "r")
;=>T
(tb_command "DELETE FROM Digits")
;=>nil
(tb_lastError)
;=>""
(tb_connect "command.mdb")
;=>T
(tb_sql "SELECT count(*) FROM Digits")
;=>(10)
;; A closed database: nothing runs.
(tb_close_db)
;=>nil
(tb_command "DELETE FROM Digits")
;=>0
(tb_connect "command.mdb")
;=>T
(tb_sql "SELECT count(*) FROM Digits")
;=>(10)
;; Argument errors.
(tb_command)
;/
;/Too few arguments passed.
;!ADS request error
(tb_command 42)
;/
;/Wrong type of arguments passed.
;!ADS request error
