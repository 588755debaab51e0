;; The tour of the database's schema and SQL functions a newcomer runs: a schema made
;; with tb_create_table (an auto-increment key, a unique Text index) and with Jet DDL
;; through tb_command (a table and a relation), Jet SQL with wildcards, IIf and
;; #dates#, relations listed and deleted, a table of a second database linked, and a
;; copy of the database compacted.
(foreach name '("tour.mdb" "tour-colours.mdb" "tour-copy.mdb") (vl-file-delete name))
(tb_create_db "tour.mdb")
;=>T
(tb_connect "tour.mdb")
;=>T
;; Systems: SysID counts by itself and is the primary key; Code is a unique Text(10).
(tb_create_table "Systems"
  '(("SysID" "LONG" T nil "I" T T)
    ("Code" "TEXT" 10 T "" "X" T nil)
    ("Name" "TEXT" 40 nil "")))
;=>"Systems"
(tb_table "Systems")
;=>"Systems"
(list (tb_indexUnique "SysID") (tb_indexUnique "Code") (tb_indexFields "Code"))
;=>(T T ("Code"))
(tb_close_table)
;=>nil
;; Layers by Jet DDL, and the relation between the two.
(tb_command "CREATE TABLE Layers (LayerID COUNTER PRIMARY KEY, SysID LONG NOT NULL, Layer TEXT(30), Colour SHORT, Made DATETIME)")
;=>0
(tb_command "ALTER TABLE Layers ADD CONSTRAINT SystemLayers FOREIGN KEY (SysID) REFERENCES Systems (SysID)")
;=>0
(tb_list_tables)
;=>("Layers" "Systems")
;; Records: the auto-increment key numbers them; the unique index is blind to case.
(tb_command "INSERT INTO Systems (Code, Name) VALUES ('HVAC', 'Heating and cooling')")
;=>1
(tb_command "INSERT INTO Systems (Code, Name) VALUES ('EL', \"Electrical\")")
;=>1
(tb_command "INSERT INTO Systems (Code, Name) VALUES ('hvac', 'again')")
;/
;/Tabrik Error: The changes you requested to the table were not successful because they would create duplicate values in the index, primary key, or relationship.  Change the data in the field or fields that contain duplicate data, remove the index, or redefine the index to permit duplicate entries and try again.
;=>nil
(tb_sql "SELECT SysID, Code FROM Systems ORDER BY SysID")
;=>((("SysID" . 1) ("Code" . "HVAC")) (("SysID" . 2) ("Code" . "EL")))
(foreach row '("1, 'M-DUCT', 3, #3/5/2024#" "1, 'M-PIPE', 5, #3/6/2024#" "2, 'E-POWR', 1, #1/15/2023#" "2, 'E-LITE', 2, #2/1/2023#")
  (tb_command (strcat "INSERT INTO Layers (SysID, Layer, Colour, Made) VALUES (" row ")")))
;; The relation holds: a layer of a system that does not exist is refused.
(tb_command "INSERT INTO Layers (SysID, Layer) VALUES (9, 'X')")
;/
;/Tabrik Error: You cannot add or change a record because a related record is required in table 'Systems'.
;=>nil
;; Jet SQL: wildcards, IIf, #dates#, a join.
(tb_sql "SELECT Layer FROM Layers WHERE Layer Like 'M-*' ORDER BY Layer")
;=>("M-DUCT" "M-PIPE")
(tb_sql "SELECT Layer FROM Layers WHERE Layer Like '?-[L-P]*' ORDER BY Layer")
;=>("E-LITE" "E-POWR" "M-PIPE")
(tb_sql "SELECT Layer, IIf(Colour > 2, 'warm', 'cool') AS Tone FROM Layers WHERE Made >= #1/1/2024# ORDER BY Made")
;=>((("Layer" . "M-DUCT") ("Tone" . "warm")) (("Layer" . "M-PIPE") ("Tone" . "warm")))
(tb_sql "SELECT Layer FROM Layers WHERE Made Between #2/1/2023# And #12/31/2023#")
;=>("E-LITE")
(tb_sql "SELECT Systems.Code, count(*) AS Layers FROM Systems INNER JOIN Layers ON Systems.SysID = Layers.SysID GROUP BY Systems.Code ORDER BY Systems.Code")
;=>((("Code" . "EL") ("Layers" . 2)) (("Code" . "HVAC") ("Layers" . 2)))
(tb_sql "SELECT TOP 1 Layer FROM Layers ORDER BY Made DESC")
;=>("M-PIPE")
(tb_command "UPDATE Layers SET Colour = Colour + 10 WHERE Layer Like 'E*'")
;=>2
;; Relations: listed, inspected, deleted.
(tb_relationCount)
;=>1
(tb_relationExists "SystemLayers")
;=>T
(tb_relationInfo 0)
;=>(("strName" . "SystemLayers") ("strTable" . "Systems") ("strForeignTable" . "Layers") ("lAttributes" . 0) ("field_strName" . "SysID") ("field_strForeignName" . "SysID"))
;; A table in a relation stays until the relation goes.
(tb_delete_table "Layers")
;/
;/Tabrik Error: Cannot delete this index or table.  It is either the current index or is used in a relationship.
;=>nil
(tb_exist "Layers")
;=>T
(tb_relationDelete "Systems" "Layers")
;=>T
(tb_relationCount)
;=>0
(tb_command "INSERT INTO Layers (SysID, Layer) VALUES (9, 'X')")
;=>1
;; A stored query with a parameter.
(tb_create_query "LayersOf" "PARAMETERS [System code] Text; SELECT Layer FROM Layers INNER JOIN Systems ON Layers.SysID = Systems.SysID WHERE Systems.Code = [System code] ORDER BY Layer")
;=>T
(tb_query "LayersOf" "System code" "el")
;=>("E-LITE" "E-POWR")
;; A table of a second database, linked.
(tb_create_db "tour-colours.mdb")
;=>T
(tb_connect "tour-colours.mdb")
;=>T
(tb_create_table "Colours" '(("Colour" "INT" T nil "C" T T) ("Name" "TEXT" 20 nil "")))
;=>"Colours"
(foreach row '("1, 'red'" "3, 'green'" "5, 'blue'" "12, 'grey'")
  (tb_command (strcat "INSERT INTO Colours VALUES (" row ")")))
(tb_connect "tour.mdb")
;=>T
(tb_link_table "Colours" "tour-colours.mdb" "Colours")
;=>T
(tb_sql "SELECT Layers.Layer, Colours.Name FROM Layers INNER JOIN Colours ON Layers.Colour = Colours.Colour ORDER BY Layers.Layer")
;=>((("Layer" . "E-LITE") ("Name" . "grey")) (("Layer" . "M-DUCT") ("Name" . "green")) (("Layer" . "M-PIPE") ("Name" . "blue")))
;; A compacted copy, made while the database is closed, holds the same.
(tb_close_db)
;=>nil
(tb_compact "tour.mdb" "tour-copy.mdb")
;=>"OK"
(tb_connect "tour-copy.mdb")
;=>T
(tb_sql "SELECT count(*) FROM Layers")
;=>(5)
(tb_list_tables)
;=>("Colours" "Layers" "Systems")
(tb_query "LayersOf" "System code" "HVAC")
;=>("M-DUCT" "M-PIPE")
