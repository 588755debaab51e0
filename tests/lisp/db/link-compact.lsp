;; Linked tables (tb_link_table) and compaction (tb_compact): a table of a second
;; database read through the first, and a closed file compacted into a new one, with
;; the "Database Error" box naming the computer when it fails.
(foreach name '("main.mdb" "other.mdb" "copy.mdb" "copy2.mdb") (vl-file-delete name))
(tb_create_db "other.mdb")
;=>T
(tb_connect "other.mdb")
;=>T
(tb_command "CREATE TABLE Colours (Code LONG PRIMARY KEY, Name TEXT(20))")
;=>0
(tb_command "INSERT INTO Colours VALUES (1, 'red')")
;=>1
(tb_command "INSERT INTO Colours VALUES (5, 'blue')")
;=>1
(tb_close_db)
;=>nil
(tb_create_db "main.mdb")
;=>T
(tb_connect "main.mdb")
;=>T
(tb_link_table "Palette" "other.mdb" "Colours")
;=>T
(tb_exist "Palette")
;=>T
(tb_sql "SELECT Name FROM Palette WHERE Code > 2")
;=>("blue")
(tb_sql "SELECT Name FROM Palette WHERE Name Like 'R*'")
;=>("red")
;; The link is read-only to SQL, and the name is taken.
(tb_link_table "Palette" "other.mdb" "Colours")
;/
;/Tabrik Error: Table 'Palette' already exists.
;=>nil
;; A file or table that is not there.
(tb_link_table "Gone" "missing.mdb" "Colours")
;/
;/Tabrik Error: Could not find file 'missing.mdb'.
;=>nil
(tb_lastError)
;=>"(3024) Could not find file 'missing.mdb'."
(tb_link_table "Gone" "other.mdb" "Shapes")
;/
;/Tabrik Error: The Microsoft Jet database engine could not find the object 'Shapes'.  Make sure the object exists and that you spell its name and the path name correctly.
;=>nil
(tb_exist "Gone")
;=>nil
;; Compaction works on closed files and needs no connection; the source stays.
(tb_close_db)
;=>nil
(tb_compact "other.mdb" "copy.mdb")
;=>"OK"
(list (findfile "other.mdb") (findfile "copy.mdb") (host:message-boxes))
;=>("other.mdb" "copy.mdb" nil)
(tb_connect "copy.mdb")
;=>T
(tb_sql "SELECT Code FROM Colours ORDER BY Code")
;=>(1 5)
(tb_close_db)
;=>nil
;; Onto an existing file: DAO's error code, its message, and the box.
(tb_resetLastError)
;=>""
(tb_compact "other.mdb" "copy.mdb")
;/
;/Tabrik Error: Database already exists.
;=>3204
(tb_lastError)
;=>"(3204) Database already exists."
(setq boxes (host:message-boxes))
(list (length boxes) (car (car boxes)) (caddr (car boxes)))
;=>(1 "Database Error" 16)
(wcmatch (cadr (car boxes)) "Database already exists`.\n(Your computer name is *`.)")
;=>T
;; With the flag nil: no box.
(tb_compact "other.mdb" "copy.mdb" nil)
;/
;/Tabrik Error: Database already exists.
;=>3204
(host:message-boxes)
;=>nil
;; Any other flag value shows it.
(tb_compact "missing.mdb" "copy2.mdb" 0)
;/
;/Tabrik Error: Could not find file 'missing.mdb'.
;=>3024
(length (host:message-boxes))
;=>1
(findfile "copy2.mdb")
;=>nil
;; Compaction leaves the current connection alone.
(tb_connect "main.mdb")
;=>T
(tb_compact "other.mdb" "copy2.mdb")
;=>"OK"
(tb_mdb)
;=>"main.mdb"
(tb_sql "SELECT count(*) FROM Palette")
;=>(2)
;; Argument errors.
(tb_link_table "A" "B")
;/
;/Too few arguments passed.
;!ADS request error
(tb_link_table "A" "B" 3)
;/
;/Wrong type of arguments passed.
;!ADS request error
(tb_compact "a.mdb")
;/
;/Too few arguments passed.
;!ADS request error
(tb_compact 1 "b.mdb")
;/
;/Wrong type of arguments passed.
;!ADS request error
;; A drawing without a connection cannot link, but can compact.
(host:new-drawing)
;=>"Drawing2.dwg"
(tb_link_table "X" "other.mdb" "Colours")
;=>nil
(vl-file-delete "copy2.mdb")
;=>T
(tb_compact "other.mdb" "copy2.mdb")
;=>"OK"
