;; Listing, renaming and deleting tables, open ones included, and a database opened
;; read-only, where every change is refused and every question still answered.
(vl-file-delete "schema-tables.mdb")
(tb_create_db "schema-tables.mdb")
;=>T
;; No connection: nil, no message.
(list (tb_list_tables) (tb_rename_table "A" "B") (tb_delete_table "A") (tb_field_required "A" "B"))
;=>(nil nil nil nil)
(tb_connect "schema-tables.mdb")
;=>T
;; An empty database lists no table: the catalog's own tables are hidden.
(tb_list_tables)
;=>nil
(foreach name '("Cee" "Ay" "Bee")
  (tb_create_table name (list name "LONG" nil nil "X" T) '("Extra" "BYTE" nil nil)))
(tb_list_tables)
;=>("Ay" "Bee" "Cee")
(tb_rename_table "Ay" "Alpha")
;=>"Alpha"
(tb_list_tables)
;=>("Alpha" "Bee" "Cee")
(tb_exist "Ay")
;=>nil
;; Renaming onto a name in use, or a table that is not there.
(tb_rename_table "Alpha" "Bee")
;/
;/Tabrik Error: Table 'Bee' already exists.
;=>nil
(tb_rename_table "Ay" "Other")
;/
;/Tabrik Error: Item not found in this collection.
;=>nil
(tb_rename_table "Alpha" "Bad.Name")
;/
;/Tabrik Error: 'Bad.Name' is not a valid name.  Make sure that it does not include invalid characters or punctuation and that it is not too long.
;=>nil
;; A change of letter case only is a rename too.
(tb_rename_table "Alpha" "ALPHA")
;=>"ALPHA"
(tb_exist "ALPHA")
;=>T
;; An open table is closed for the rename and its records go along.
(tb_table "Bee")
;=>"Bee"
(tb_append '(("Bee" 5)))
;=>(("Bee" . 5) ("Extra"))
(tb_rename_table "Bee" "Beta")
;=>"Beta"
(tb_current_table)
;=>""
(tb_table "Beta" "Bee")
;=>"Beta"
(tb_seek 5)
;=>(("Bee" . 5) ("Extra"))
;; Deleting always answers nil; an open table is closed first.
(tb_delete_table "Beta")
;=>nil
(tb_current_table)
;=>""
(tb_exist "Beta")
;=>nil
(tb_delete_table "Beta" T)
;/
;/Tabrik Error: Item not found in this collection.
;=>nil
(tb_lastError)
;=>"(3265) Item not found in this collection."
(tb_delete_table "Cee" T)
;=>nil
(tb_list_tables)
;=>("ALPHA")
;; Argument errors.
(tb_rename_table "ALPHA")
;/
;/Wrong type of arguments passed.
;!ADS request error
(tb_rename_table "ALPHA" nil)
;/
;/Wrong type of arguments passed.
;!ADS request error
(tb_delete_table)
;/
;/Wrong type of arguments passed.
;!ADS request error
;; Read-only: every change is DAO's 3027; questions are answered as before.
(tb_connect "schema-tables.mdb" "r")
;=>T
(tb_readonly)
;=>T
(tb_create_table "New" '("A" "LONG" nil nil))
;/
;/Tabrik Error: Cannot update.  Database or object is read-only.
;=>nil
(tb_modify_table "ALPHA" '("B" "LONG" nil nil))
;/
;/Tabrik Error: Cannot update.  Database or object is read-only.
;=>nil
(tb_create_index "ALPHA" "Extra" nil nil)
;/
;/Tabrik Error: Cannot update.  Database or object is read-only.
;=>nil
(tb_rename_table "ALPHA" "Omega")
;/
;/Tabrik Error: Cannot update.  Database or object is read-only.
;=>nil
(tb_delete_table "ALPHA")
;/
;/Tabrik Error: Cannot update.  Database or object is read-only.
;=>nil
(tb_list_tables)
;=>("ALPHA")
(tb_field_required "ALPHA" "Ay")
;=>nil
(tb_list_indexes)
;=>("Ay")
;; A closed database lists nothing and says nothing.
(tb_close_db)
;=>nil
(tb_list_tables)
;=>nil
