;; Indexes made by name, what the current table tells of its indexes and fields,
;; tb_field_required (which makes the table current), and fields and indexes added
;; to a table that exists.
(vl-file-delete "schema-indexes.mdb")
(tb_create_db "schema-indexes.mdb")
;=>T
(tb_connect "schema-indexes.mdb")
;=>T
(tb_create_table "Stock" '(("Item" "TEXT" 20 T nil) ("Bin" "LONG" nil nil) ("Qty" "INT" nil "0")))
;=>"Stock"
(tb_create_table "Bins" '("Name" "TEXT" 10 nil nil))
;=>"Bins"
;; Without a current table the inspecting functions answer nil quietly.
(list (tb_structure) (tb_list_indexes) (tb_attributes "Item") (tb_indexUnique "Item") (tb_indexFields "Item"))
;=>(nil nil nil nil nil)
(tb_table "Stock")
;=>"Stock"
;; A table without indexes has no list of them.
(tb_list_indexes)
;=>nil
(tb_create_index "Stock" "Item" T T)
;=>T
;; The table's cursor is closed, so that it does not go on with the indexes it had.
(tb_current_table)
;=>""
(tb_create_index "Stock" "Bin" nil nil)
;=>T
(tb_table "Stock")
;=>"Stock"
(tb_list_indexes)
;=>("Item" "Bin")
(list (tb_indexUnique "Item") (tb_indexUnique "Bin") (tb_indexUnique "Nope"))
;=>(T nil nil)
(list (tb_indexFields "Bin") (tb_indexFields "Nope"))
;=>(("Bin") nil)
;; Any value other than nil is true for the flags.
(tb_create_index "Stock" "Qty" 0 nil)
;=>T
(tb_table "Stock")
;=>"Stock"
(tb_indexUnique "Qty")
;=>T
;; DAO refuses a second index of a name, a second primary key, fields and tables
;; that do not exist.
(tb_create_index "Stock" "Item" nil nil)
;/
;/Tabrik Error: Index already exists.
;=>nil
(tb_create_table "Keyed" '(("A" "LONG" nil nil "X" T T) ("B" "LONG" nil nil)))
;=>"Keyed"
(tb_create_index "Keyed" "B" T T)
;/
;/Tabrik Error: Primary key already exists.
;=>nil
(tb_create_index "Stock" "Nope" nil nil)
;/
;/Tabrik Error: Item not found in this collection.
;=>nil
(tb_create_index "Nope" "Item" nil nil)
;/
;/Tabrik Error: Item not found in this collection.
;=>nil
;; All four arguments are required.
(tb_create_index "Stock" "Item" T)
;/
;/Wrong type of arguments passed.
;!ADS request error
(tb_create_index "Stock" 5 T T)
;/
;/Wrong type of arguments passed.
;!ADS request error
(tb_indexUnique 1)
;/
;/Wrong type of arguments passed.
;!ADS request error
(tb_indexFields)
;/
;/Wrong type of arguments passed.
;!ADS request error
;; The unique index made by name holds.
(tb_table "Stock" "Item")
;=>"Stock"
(cdr (assoc "Item" (tb_append '(("Item" "bolt") ("Bin" 1)))))
;=>"bolt"
(tb_append '(("Item" "BOLT") ("Bin" 2)))
;/
;/Tabrik Error: The changes you requested to the table were not successful because they would create duplicate values in the index, primary key, or relationship.  Change the data in the field or fields that contain duplicate data, remove the index, or redefine the index to permit duplicate entries and try again.
;=>nil
;; tb_field_required answers for the field and makes its table the current one.
(tb_field_required "Bins" "Name")
;=>nil
(tb_current_table)
;=>"Bins"
(tb_field_required "Stock" "Item")
;=>T
(tb_current_table)
;=>"Stock"
(tb_field_required "Bins" "")
;=>nil
(tb_current_table)
;=>"Bins"
(tb_field_required "Stock" "Nope")
;/
;/Tabrik Error: Item not found in this collection.
;=>nil
(tb_field_required "Nope" "Item")
;/
;/Tabrik Error: The Microsoft Jet database engine cannot find the input table or query 'Nope'.  Make sure it exists and that its name is spelled correctly.
;=>nil
(tb_field_required "Stock")
;/
;/Wrong type of arguments passed.
;!ADS request error
;; Adding to a table that exists: the records it has get their auto-numbers, and
;; its open cursor is closed for the change.
(tb_table "Stock")
;=>"Stock"
(tb_modify_table "Stock" '("Note" "MEMO" nil nil) '("Serial" "LONG" nil nil "I" T))
;=>"Stock"
(tb_current_table)
;=>"Bins"
(tb_table "Stock")
;=>"Stock"
(tb_structure)
;=>(("Item" . "") ("Bin" . 0) ("Qty" . 0) ("Note" . "") ("Serial" . 0))
(tb_list_indexes)
;=>("Item" "Bin" "Qty" "Serial")
(tb_top)
;=>(("Item" . "bolt") ("Bin" . 1) ("Qty" . 0) ("Note") ("Serial" . 1))
(tb_modify_table "Stock" '("bin" "LONG" nil nil))
;/
;/Tabrik Error: Cannot define field more than once.
;=>nil
(tb_modify_table "Nope" '("A" "LONG" nil nil))
;/
;/Tabrik Error: Item not found in this collection.
;=>nil
;; A malformed field definition adds what came before it, quietly.
(tb_resetLastError)
;=>""
(tb_modify_table "Stock" '(("Extra" "BYTE" nil nil) ("Bad" "NUMBER" nil nil)))
;=>nil
(tb_lastError)
;=>""
(tb_table "Stock")
;=>"Stock"
(mapcar 'car (tb_structure))
;=>("Item" "Bin" "Qty" "Note" "Serial" "Extra")
(tb_modify_table 7 '("A" "LONG" nil nil))
;/
;/Wrong type of arguments passed.
;!ADS request error
(tb_close_db)
;=>nil
