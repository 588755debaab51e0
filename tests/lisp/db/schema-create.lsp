;; Tables made from field definitions: the types and sizes they give, required
;; and zero-length rules, defaults, auto-numbers, the indexes of the field definitions,
;; and what tb_structure and tb_attributes show of them. Malformed field definitions
;; stop quietly after the fields before them.
(vl-file-delete "schema-create.mdb")
(tb_create_db "schema-create.mdb")
;=>T
;; No connection yet: nil without a message.
(tb_create_table "Parts" '("Code" "TEXT" 50 nil ""))
;=>nil
(tb_connect "schema-create.mdb")
;=>T
;; One list around all field definitions.
(tb_create_table "Parts"
  '(("Code" "TEXT" 50 nil "" "X" T nil)
    ("ID" "long" T nil "I" nil T)
    ("Weight" "REAL" 0 "2.5")
    ("Price" "CURRENCY" nil nil)
    ("When" "Date" nil nil "D")
    ("Ok" "BOOL" nil nil)
    ("Count" "INT" nil "7")
    ("Small" "BYTE" nil nil)
    ("Note" "memo" nil nil)))
;=>"Parts"
(tb_list_tables)
;=>("Parts")
(tb_table "Parts")
;=>"Parts"
;; Numbers show 0, reals 0.0, dates and texts "", anything else (Currency) nil.
(tb_structure)
;=>(("Code" . "") ("ID" . 0) ("Weight" . 0.0) ("Price") ("When" . "") ("Ok" . 0) ("Count" . 0) ("Small" . 0) ("Note" . ""))
;; Text of 50, not required, zero-length allowed, variable and updatable (2 + 32).
(tb_attributes "Code")
;=>(("strName" . "Code") ("nType" . 10) ("lSize" . 50) ("lAttributes" . 34) ("nOrdinalPosition" . 0) ("bRequired" . 0) ("bAllowZeroLength" . 1) ("strDefaultValue" . ""))
;; "I": an auto-increment Long (fixed + auto-increment, 1 + 16); 0 as the required
;; flag still means required.
(tb_attributes "ID")
;=>(("strName" . "ID") ("nType" . 4) ("lSize" . 4) ("lAttributes" . 17) ("nOrdinalPosition" . 1) ("bRequired" . 1) ("bAllowZeroLength" . 0) ("strDefaultValue" . ""))
(tb_attributes "Weight")
;=>(("strName" . "Weight") ("nType" . 7) ("lSize" . 8) ("lAttributes" . 33) ("nOrdinalPosition" . 2) ("bRequired" . 1) ("bAllowZeroLength" . 0) ("strDefaultValue" . "2.5"))
(mapcar '(lambda (f) (cdr (assoc "nType" (tb_attributes f)))) '("Price" "When" "Ok" "Count" "Small" "Note"))
;=>(5 8 1 3 2 12)
(cdr (assoc "bAllowZeroLength" (tb_attributes "Note")))
;=>1
(tb_attributes "Nothing")
;/
;/Tabrik Error: Item not found in this collection.
;=>nil
(tb_lastError)
;=>"(3265) Item not found in this collection."
;; The indexes of the field definitions, named after their fields.
(tb_list_indexes)
;=>("Code" "ID" "When")
(mapcar 'tb_indexUnique '("Code" "ID" "When"))
;=>(T T nil)
(tb_indexFields "When")
;=>("When")
;; Defaults and auto-numbers fill the record; the unique index refuses a second "A1"
;; in any letter case.
(tb_append '(("Code" "A1") ("When" "2024-03-01")))
;=>(("Code" . "A1") ("ID" . 1) ("Weight" . 2.5) ("Price") ("When" . "3/1/2024") ("Ok" . 0) ("Count" . 7) ("Small") ("Note"))
(tb_append '(("Code" "B2") ("When" "2024-05-01")))
;=>(("Code" . "B2") ("ID" . 2) ("Weight" . 2.5) ("Price") ("When" . "5/1/2024") ("Ok" . 0) ("Count" . 7) ("Small") ("Note"))
(tb_append '(("Code" "a1")))
;/
;/Tabrik Error: The changes you requested to the table were not successful because they would create duplicate values in the index, primary key, or relationship.  Change the data in the field or fields that contain duplicate data, remove the index, or redefine the index to permit duplicate entries and try again.
;=>nil
;; The descending index puts the latest date first.
(tb_table "Parts" "When")
;=>"Parts"
(cdr (assoc "Code" (tb_top)))
;=>"B2"
;; The field definitions may also come one by one; the type keyword in any letter case.
(tb_create_table "Loose" '("A" "Text" 10 nil "x") '("B" "text" 255 T nil ""))
;=>"Loose"
(tb_table "Loose")
;=>"Loose"
(mapcar '(lambda (f) (cdr (assoc "lSize" (tb_attributes f)))) '("A" "B"))
;=>(10 255)
(cdr (assoc "strDefaultValue" (tb_attributes "A")))
;=>"x"
;; An empty index item makes no index.
(tb_list_indexes)
;=>nil
;; A keyword that is none of the nine stops quietly; the fields before it stay.
(tb_resetLastError)
;=>""
(tb_create_table "Partial" '(("A" "LONG" nil nil) ("B" "FLOAT" nil nil) ("C" "LONG" nil nil)))
;=>nil
(tb_lastError)
;=>""
(tb_table "Partial")
;=>"Partial"
(tb_structure)
;=>(("A" . 0))
;; Text without its size, and a field definition cut short, are malformed too.
(tb_create_table "NoSize" '("A" "TEXT" nil nil))
;=>nil
(tb_exist "NoSize")
;=>nil
(tb_create_table "Short" '("A" "LONG"))
;=>nil
;; Sizes Jet does not allow, and a field defined twice, are DAO's errors.
(tb_create_table "Big" '("A" "TEXT" 300 nil nil))
;/
;/Tabrik Error: Invalid argument.
;=>nil
(tb_create_table "Twice" '(("A" "LONG" nil nil) ("a" "INT" nil nil)))
;/
;/Tabrik Error: Cannot define field more than once.
;=>nil
(tb_table "Twice")
;=>"Twice"
(tb_structure)
;=>(("A" . 0))
;; A table of that name exists already; no field definition at all.
(tb_create_table "Parts" '("Z" "LONG" nil nil))
;/
;/Tabrik Error: Table 'Parts' already exists.
;=>nil
(tb_create_table "Empty")
;/
;/Tabrik Error: No field defined--cannot append TableDef or Index.
;=>nil
;; Values with no database form spoil the field definition: nil, nothing made.
(tb_create_table "Pt" '("A" "LONG" nil nil) '(1.0 2.0 3.0))
;=>nil
(tb_create_table "Pt" (list "A" "LONG" nil nil (list 1 2)))
;=>nil
(tb_exist "Pt")
;=>nil
;; Dots, negative sizes and empty names.
(tb_create_table "Odd" '(("A" . "LONG")))
;=>nil
(tb_exist "Odd")
;=>nil
(tb_create_table "Odd" '("A" "TEXT" -5 nil nil))
;/
;/Tabrik Error: Invalid argument.
;=>nil
(tb_create_table "" '("A" "LONG" nil nil))
;/
;/Tabrik Error: '' is not a valid name.  Make sure that it does not include invalid characters or punctuation and that it is not too long.
;=>nil
;; The table name must be a string.
(tb_create_table 5 '("A" "LONG" nil nil))
;/
;/Wrong type of arguments passed.
;!ADS request error
(tb_create_table)
;/
;/Wrong type of arguments passed.
;!ADS request error
;; In DAO's order, which is by name.
(tb_list_tables)
;=>("Loose" "Partial" "Parts" "Twice")
(tb_close_db)
;=>nil
