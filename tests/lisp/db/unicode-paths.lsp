;; Paths with any characters, written with either separator, through every function
;; that takes one: the database is created, connected, linked and compacted, and a
;; drawing saved and opened, under names with umlauts, CJK and characters past U+FFFF.
(foreach name '("ü.mdb" "図面.mdb" "😀.mdb" "ü-copy.mdb" "図面-copy.mdb" "😀-copy.mdb"
                "Ordner-ü/😀 plan.mdb" "Ordner-ü/😀 plan-copy.mdb")
  (vl-file-delete name))
(vl-mkdir "Ordner-ü")
;; Each name: created, connected, written, closed, compacted; the copy holds the row.
(defun tour (name copy / result)
  (setq result
    (list (tb_create_db name)
          (tb_connect name)
          (tb_readonly)
          (tb_command "CREATE TABLE Teile (Nr LONG, Name TEXT(20))")
          (tb_command (strcat "INSERT INTO Teile VALUES (1, '" name "')"))
          (tb_mdb)))
  (tb_close_db)
  (append result
          (list (tb_compact name copy)
                (tb_connect copy)
                (tb_sql "SELECT Name FROM Teile"))))
(tour "ü.mdb" "ü-copy.mdb")
;=>(T T nil 0 1 "ü.mdb" "OK" T ("ü.mdb"))
(tour "図面.mdb" "図面-copy.mdb")
;=>(T T nil 0 1 "図面.mdb" "OK" T ("図面.mdb"))
(tour "😀.mdb" "😀-copy.mdb")
;=>(T T nil 0 1 "😀.mdb" "OK" T ("😀.mdb"))
;; A Windows path into a folder with a non-ASCII name, and a file name with a blank.
(tour "Ordner-ü\\😀 plan.mdb" "Ordner-ü/😀 plan-copy.mdb")
;=>(T T nil 0 1 "Ordner-ü\\😀 plan.mdb" "OK" T ("Ordner-ü\\😀 plan.mdb"))
(list (findfile "Ordner-ü/😀 plan.mdb") (findfile "Ordner-ü/😀 plan-copy.mdb"))
;=>("Ordner-ü/😀 plan.mdb" "Ordner-ü/😀 plan-copy.mdb")
;; An existing file connects again (it is found, not created).
(tb_close_db)
(tb_connect "ü.mdb")
;=>T
(tb_sql "SELECT count(*) FROM Teile")
;=>(1)
;; A table of another database linked under its non-ASCII path.
(tb_link_table "Fremd" "図面.mdb" "Teile")
;=>T
(tb_sql "SELECT Name FROM Fremd")
;=>("図面.mdb")
(tb_link_table "Lachend" "Ordner-ü\\😀 plan.mdb" "Teile")
;=>T
(tb_sql "SELECT Name FROM Lachend")
;=>("Ordner-ü\\😀 plan.mdb")
(tb_close_db)
;; A file that is not there is reported with its name, not a raised error.
(tb_connect "fehlt-ü.mdb")
;=>nil
;; Drawings: saved and opened again under the same names.
(host:save-as "Zeichnung-ü-😀.dxf")
;=>T
;; The file has the name as LISP's own file functions spell it.
(findfile "Zeichnung-ü-😀.dxf")
;=>"Zeichnung-ü-😀.dxf"
(host:close-drawing)
;=>T
(host:open-drawing "Zeichnung-ü-😀.dxf")
;=>"Zeichnung-ü-😀.dxf"
(host:save-as "Ordner-ü\\図面.dxf")
;=>T
(findfile "Ordner-ü/図面.dxf")
;=>"Ordner-ü/図面.dxf"
