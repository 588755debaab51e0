;; A database on a server, named by a DAO connect string where a path would stand:
;; made, opened, written and read; reached again through a pointer file; its table
;; linked into a file database; and a refused password that no message or last-error
;; text ever shows.
(setq cs (getenv "TABRIK_TEST_PG_CONNECT"))
(foreach name '("standards.mdb" "local.mdb") (vl-file-delete name))
(tb_create_db cs)
;=>T
;; Creating does not open.
(tb_mdb)
;=>nil
(tb_connect cs)
;=>T
(= (tb_mdb) cs)
;=>T
(tb_readonly)
;=>nil
(tb_command "CREATE TABLE Parts (Code LONG PRIMARY KEY, Name TEXT(20))")
;=>0
(tb_command "INSERT INTO Parts VALUES (1, 'elbow')")
;=>1
(tb_command "INSERT INTO Parts VALUES (2, 'Tee')")
;=>1
(tb_sql "SELECT Name FROM Parts WHERE Name Like 't*'")
;=>("Tee")
;; The same string again keeps the connection; read-only reopens it.
(tb_connect cs)
;=>T
(tb_connect cs "r")
;=>T
(tb_readonly)
;=>T
;; As on a read-only file: nil, no message, nothing changed.
(tb_command "INSERT INTO Parts VALUES (3, 'cap')")
;=>nil
(tb_sql "SELECT count(*) FROM Parts")
;=>(2)
(tb_close_db)
;=>nil
;; A pointer file standing where the database file was reaches the same database.
(setq f (open "standards.mdb" "w"))
(write-line "# moved to the office server" f)
(write-line cs f)
(close f)
(tb_connect "standards.mdb")
;=>T
(tb_sql "SELECT Code FROM Parts ORDER BY Name")
;=>(1 2)
(tb_close_db)
;=>nil
;; A file database links the server's table by its connect string.
(tb_create_db "local.mdb")
;=>T
(tb_connect "local.mdb")
;=>T
(tb_link_table "Stock" cs "Parts")
;=>T
(tb_sql "SELECT Name FROM Stock WHERE Code = 2")
;=>("Tee")
(tb_link_table "Gone" cs "Shapes")
;/
;/Tabrik Error: The Microsoft Jet database engine could not find the object 'Shapes'.  Make sure the object exists and that you spell its name and the path name correctly.
;=>nil
(tb_link_table "Far" (strcat cs ";PWD=Wrong-Secret-42") "Parts")
;/
;/Tabrik Error: ODBC--connection to 'tabrik on 127.0.0.1' failed.
;=>nil
(tb_close_db)
;=>nil
;; A wrong password: the server refuses, the message names the database and host
;; only, and the password is nowhere in what the program can read.
(tb_connect (strcat cs ";PWD=Wrong-Secret-42"))
;/
;/Tabrik Error: ODBC--connection to 'tabrik on 127.0.0.1' failed.
;=>nil
(tb_lastError)
;=>"(3151) ODBC--connection to 'tabrik on 127.0.0.1' failed."
(tb_mdb)
;=>nil
(tb_create_db (strcat cs ";PWD=Wrong-Secret-42"))
;=>nil
(vl-string-search "Wrong-Secret" (tb_lastError))
;=>nil
;; A string naming another driver is no server of ours: nothing is opened, and its
;; password is masked too.
(tb_connect "ODBC;DRIVER={SQL Server};SERVER=x;DATABASE=y;PWD=Other-Secret")
;=>nil
(tb_lastError)
;=>"(3151) ODBC--connection to 'ODBC;DRIVER={SQL Server};SERVER=x;DATABASE=y;PWD=***' failed."
(tb_mdb)
;=>nil
