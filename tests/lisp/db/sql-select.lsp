;; SELECT statements through tb_sql, tb_sql-nil and tb_sql-error: rows as LISP lists,
;; Jet SQL, the three ways a failing statement ends, the close-and-reopen retry and
;; the connection-error box. The working folder outlives a run: old files go first.
(vl-file-delete "sql.mdb")
(tb_create_db "sql.mdb")
;=>T
(tb_connect "sql.mdb")
;=>T
(tb_command "CREATE TABLE Parts (ID COUNTER PRIMARY KEY, Name TEXT(20), s_Code TEXT(10), Price DOUBLE, Made DATETIME, Stock YESNO)")
;=>0
(tb_command "INSERT INTO Parts (Name, s_Code, Price, Made, Stock) VALUES ('bolt  ', 'B1  ', 0.25, #3/5/2024#, True)")
;=>1
(tb_command "INSERT INTO Parts (Name, s_Code, Price, Made, Stock) VALUES ('nut', ' ', 0.1, #1/1/2000 2:30:00 PM#, False)")
;=>1
(tb_command "INSERT INTO Parts (Name, s_Code, Price, Stock) VALUES (\"Washer\", 'W', 0.05, No)")
;=>1
;; One column: a flat list of values, text without its trailing blanks.
(tb_sql "SELECT Name FROM Parts ORDER BY ID")
;=>("bolt" "nut" "Washer")
;; Several columns: one record list per row. A field named "s_..." keeps its blanks,
;; and its single blank reads as the empty text.
(tb_sql "SELECT ID, Name, s_Code FROM Parts ORDER BY ID")
;=>((("ID" . 1) ("Name" . "bolt") ("s_Code" . "B1  ")) (("ID" . 2) ("Name" . "nut") ("s_Code" . "")) (("ID" . 3) ("Name" . "Washer") ("s_Code" . "W")))
;; Dates come back as text, Yes/No as -1 and 0, Null as nil.
(tb_sql "SELECT Made, Stock FROM Parts ORDER BY ID")
;=>((("Made" . "3/5/2024") ("Stock" . -1)) (("Made" . "1/1/2000 2:30:00 PM") ("Stock" . 0)) (("Made") ("Stock" . 0)))
(tb_sql "SELECT Price FROM Parts WHERE ID = 1")
;=>(0.25)
;; No rows: nil.
(tb_sql "SELECT Name FROM Parts WHERE ID > 10")
;=>nil
(tb_sql "SELECT ID, Name FROM Parts WHERE ID > 10")
;=>nil
;; Jet SQL: wildcards, IIf, #dates#, case-blind text, & and expression columns.
(tb_sql "SELECT Name FROM Parts WHERE Name Like 'b*' OR Name Like '?ut' ORDER BY Name")
;=>("bolt" "nut")
(tb_sql "SELECT Name FROM Parts WHERE Name Like 'W[a-c]sh*'")
;=>("Washer")
(tb_sql "SELECT IIf(Price > 0.2, 'dear', 'cheap') AS Cost FROM Parts ORDER BY ID")
;=>("dear" "cheap" "cheap")
(tb_sql "SELECT Name FROM Parts WHERE Made < #1/1/2010#")
;=>("nut")
(tb_sql "SELECT ID FROM Parts WHERE Name = 'WASHER'")
;=>(3)
(tb_sql "SELECT Name & '/' & ID, ID FROM Parts WHERE ID = 2")
;=>((("Expr1000" . "nut/2") ("ID" . 2)))
;; The mode argument: 1 and 2 end a failing statement as tb_sql-nil and
;; tb_sql-error do; neither shows a box.
(tb_resetLastError)
;=>""
(tb_sql "SELECT * FROM Missing" 1)
;=>nil
(tb_sql "SELECT * FROM Missing" 2)
;=>"*ERROR*"
(tb_sql-nil "SELECT * FROM Missing")
;=>nil
(tb_sql-error "SELECT * FROM Missing")
;=>"*ERROR*"
(tb_sql-error "SELECT Name FROM Parts WHERE ID = 3")
;=>("Washer")
(host:message-boxes)
;=>nil
(tb_lastError)
;=>""
;; Mode 0 (also a mode that is not an integer): the box, No by default, then nil.
(tb_sql "SELECT * FROM Missing")
;=>nil
(host:message-boxes)
;=>(("Norvane" "Database connection error.\nClose and reopen AutoCAD.\n\nIf you are getting this error frequently, press \"Yes\" to send an error report to Norvane Support." 276))
(tb_sql "SELECT * FROM Missing" "x")
;=>nil
(length (host:message-boxes))
;=>1
;; Yes: the failing attempt and the statement, DAO's message, and a LISP error.
(host:answer "YES")
(tb_sql "SELECT * FROM Missing")
;/
;/Query 2: SELECT * FROM Missing
;/Tabrik Error: The Microsoft Jet database engine cannot find the input table or query 'Missing'.  Make sure it exists and that its name is spelled correctly.
;/Bad data passed .
;!ADS request error
(tb_lastError)
;=>"(3078) The Microsoft Jet database engine cannot find the input table or query 'Missing'.  Make sure it exists and that its name is spelled correctly."
;; The retry closed and reopened the database: its table cursors are gone, the
;; database is as usable as before, and a read-only connection stays read-only.
(tb_table "Parts")
;=>"Parts"
(tb_sql-nil "SELECT Nothing FROM Missing")
;=>nil
(tb_current_table)
;=>""
(tb_sql "SELECT count(*) FROM Parts")
;=>(3)
(tb_connect "sql.mdb" "r")
;=>T
(tb_sql-nil "SELECT * FROM Missing")
;=>nil
(tb_readonly)
;=>T
(tb_sql "SELECT Name FROM Parts WHERE ID = 1")
;=>("bolt")
;; A closed database: nothing to reopen, so the statement fails at once.
(tb_close_db)
;=>nil
(tb_sql-error "SELECT Name FROM Parts")
;=>"*ERROR*"
(tb_sql "SELECT Name FROM Parts" 1)
;=>nil
;; A drawing without a connection answers nil.
(host:new-drawing)
;=>"Drawing2.dwg"
(list (tb_sql "SELECT 1") (tb_sql-nil "SELECT 1") (tb_sql-error "SELECT 1"))
;=>(nil nil nil)
(host:activate "Drawing1.dwg")
;=>T
;; Argument errors.
(tb_sql)
;/
;/Too few arguments passed.
;!ADS request error
(tb_sql 5)
;/
;/Wrong type of arguments passed.
;!ADS request error
(tb_sql-nil)
;/
;/Wrong type of arguments passed.
;!ADS request error
(tb_sql-error '("SELECT 1"))
;!ADS request error
