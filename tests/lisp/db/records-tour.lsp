;; A newcomer's first session with records: make a database and a table, fill it,
;; seek, walk, replace and delete, with a second drawing holding a database of its
;; own, and DAO's texts in tb_lastError when something goes wrong.
(foreach name '("tour-a.mdb" "tour-b.mdb") (vl-file-delete name))
(tb_create_db "tour-a.mdb")
;=>T
(tb_connect "tour-a.mdb")
;=>T
(tb_create_table "Parts" '(("ID" "LONG" nil nil "I" T T) ("Name" "TEXT" 10 nil "" "A") ("Qty" "LONG" nil 0) ("s_Code" "TEXT" 5 nil "")))
;=>"Parts"
(tb_table "Parts" "ID")
;=>"Parts"
(tb_count)
;=>0
;; Filling: both record shapes are accepted; the key is the table's to give.
(tb_append '(("Name" "Bolt") ("Qty" 10) ("s_Code" "A ")))
;=>(("ID" . 1) ("Name" . "Bolt") ("Qty" . 10) ("s_Code" . "A "))
(tb_append "Name" "Nut" "Qty" 20 "s_Code" "")
;=>(("ID" . 2) ("Name" . "Nut") ("Qty" . 20) ("s_Code" . ""))
(tb_append '(("ID" 99) ("Name" "Washer with a long name") ("Qty" 30)))
;=>(("ID" . 3) ("Name" . "Washer wit") ("Qty" . 30) ("s_Code"))
;; A dotted pair is not a supplied record: nil, nothing printed, nothing added.
(tb_append '(("Name" . "Screw")))
;=>nil
(tb_count)
;=>3
;; Seeking on the key and, after a change of index, on the name (case does not
;; matter); an index made from a field definition bears the field's name.
(tb_seek 2)
;=>(("ID" . 2) ("Name" . "Nut") ("Qty" . 20) ("s_Code" . ""))
(tb_seek 7)
;=>nil
(tb_table "Parts" "Name")
;=>"Parts"
(tb_current_index)
;=>"Name"
(cdr (assoc "ID" (tb_seek "WASHER WIT")))
;=>3
;; Walking in name order from the top, and past the end.
(tb_top)
;=>(("ID" . 1) ("Name" . "Bolt") ("Qty" . 10) ("s_Code" . "A "))
(progn (setq names '()) (while (setq r (tb_skip)) (setq names (cons (cdr (assoc "Name" r)) names))) (reverse names))
;=>("Nut" "Washer wit")
(tb_getrec)
;=>nil
(cdr (assoc "Name" (tb_skip -1)))
;=>"Washer wit"
;; Replacing the current record, then deleting it.
(tb_replace '(("Qty" 31)))
;=>(("ID" . 3) ("Name" . "Washer wit") ("Qty" . 31) ("s_Code"))
(tb_delete)
;=>T
(tb_count)
;=>2
;; The second drawing works on a database of its own; the first keeps its table.
(host:new-drawing)
;=>"Drawing2.dwg"
(tb_create_db "tour-b.mdb")
;=>T
(tb_connect "tour-b.mdb")
;=>T
(tb_create_table "Notes" '(("Text" "TEXT" 20 nil "")))
;=>"Notes"
(tb_table "Notes" "")
;=>"Notes"
(tb_append '(("Text" "from drawing 2")))
;=>(("Text" . "from drawing 2"))
(tb_exist "Parts")
;=>nil
(host:activate "Drawing1.dwg")
;=>T
(tb_current_table)
;=>"Parts"
(tb_count)
;=>2
(tb_exist "Notes")
;=>nil
;; DAO's texts: the current record deleted, a missing field, a missing table.
(tb_resetLastError)
;=>""
(tb_replace '(("Qty" 1)))
;/
;/Tabrik Error: Record is deleted.
;=>nil
(tb_lastError)
;=>"(3167) Record is deleted."
(cdr (assoc "Name" (tb_top)))
;=>"Bolt"
(tb_replace '(("Colour" "red")))
;/
;/Tabrik Error: Item not found in this collection.
;=>nil
(tb_lastError)
;=>"(3265) Item not found in this collection."
(tb_table "Orders" "")
;/
;/Tabrik Error: The Microsoft Jet database engine cannot find the input table or query 'Orders'.  Make sure it exists and that its name is spelled correctly.
;=>nil
(tb_lastError)
;=>"(3078) The Microsoft Jet database engine cannot find the input table or query 'Orders'.  Make sure it exists and that its name is spelled correctly."
;; Read-only: writes fail quietly.
(tb_connect "tour-a.mdb" "r")
;=>T
(tb_table "Parts" "ID")
;=>"Parts"
(list (tb_append '(("Name" "x"))) (tb_replace '(("Qty" 1))) (tb_delete))
;=>(nil nil nil)
(tb_count)
;=>2
(tb_close_db)
;=>nil
(host:activate "Drawing2.dwg")
;=>T
(tb_mdb)
;=>"tour-b.mdb"
(tb_close_db)
;=>nil
