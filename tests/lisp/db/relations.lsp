;; Relations: tb_relationExists, tb_relationCount, tb_relationInfo and
;; tb_relationDelete, on relations made by Jet DDL through tb_command.
(vl-file-delete "relations.mdb")
(tb_create_db "relations.mdb")
;=>T
;; No connection yet: nil from every one.
(list (tb_relationExists "x") (tb_relationDelete "a" "b") (tb_relationCount) (tb_relationInfo 0))
;=>(nil nil nil nil)
(tb_connect "relations.mdb")
;=>T
(tb_relationCount)
;=>0
(tb_command "CREATE TABLE Systems (SysID LONG, Region TEXT(4), Name TEXT(30), CONSTRAINT SysKey PRIMARY KEY (SysID, Region))")
;=>0
(tb_command "CREATE TABLE Layers (LayerID COUNTER PRIMARY KEY, SysID LONG, Region TEXT(4), Layer TEXT(30))")
;=>0
(tb_command "CREATE TABLE Notes (NoteID LONG, LayerID LONG)")
;=>0
;; A two-field relation and a one-field one.
(tb_command "ALTER TABLE Layers ADD CONSTRAINT SystemLayers FOREIGN KEY (SysID, Region) REFERENCES Systems (SysID, Region)")
;=>0
(tb_command "ALTER TABLE Notes ADD CONSTRAINT LayerNotes FOREIGN KEY (LayerID) REFERENCES Layers (LayerID)")
;=>0
(tb_relationCount)
;=>2
(tb_relationExists "SystemLayers")
;=>T
;; A name that is no relation: nil, nothing printed, nothing kept.
(tb_relationExists "NoSuchRelation")
;=>nil
(tb_lastError)
;=>""
;; By name: the list ends with the field pairs, primary field first.
(tb_relationInfo "SystemLayers")
;=>(("strName" . "SystemLayers") ("strTable" . "Systems") ("strForeignTable" . "Layers") ("lAttributes" . 0) ("field_strName" . "SysID") ("field_strForeignName" . "SysID") ("field_strName" . "Region") ("field_strForeignName" . "Region"))
;; By position, in DAO's order (by name).
(cdr (assoc "strName" (tb_relationInfo 0)))
;=>"LayerNotes"
(cdr (assoc "strName" (tb_relationInfo 1)))
;=>"SystemLayers"
(tb_relationInfo 2)
;=>nil
(tb_relationInfo "Nothing")
;=>nil
;; A real position is truncated, as every integer argument is.
(tb_relationInfo 0.9)
;=>(("strName" . "LayerNotes") ("strTable" . "Layers") ("strForeignTable" . "Notes") ("lAttributes" . 0) ("field_strName" . "LayerID") ("field_strForeignName" . "LayerID"))
;; Neither a name nor a position: the list of a relation that has nothing.
(tb_relationInfo '(1))
;=>(("strName" . "") ("strTable" . "") ("strForeignTable" . "") ("lAttributes" . 0))
;; The relation is enforced: a layer needs its system.
(tb_command "INSERT INTO Systems VALUES (1, 'EU', 'Lighting')")
;=>1
(tb_command "INSERT INTO Layers (SysID, Region, Layer) VALUES (1, 'EU', 'L-1')")
;=>1
(tb_command "INSERT INTO Layers (SysID, Region, Layer) VALUES (2, 'EU', 'L-2')")
;/
;/Tabrik Error: You cannot add or change a record because a related record is required in table 'Systems'.
;=>nil
;; Deleting: tables without a relation between them are fine; the names are exact,
;; and the direction counts.
(tb_relationDelete "Systems" "Notes")
;=>T
(tb_relationDelete "Layers" "Systems")
;=>T
(tb_relationDelete "systems" "layers")
;=>T
(tb_relationCount)
;=>2
(tb_relationDelete "Systems" "Layers")
;=>T
(tb_relationCount)
;=>1
(tb_relationExists "SystemLayers")
;=>nil
(tb_command "INSERT INTO Layers (SysID, Region, Layer) VALUES (2, 'EU', 'L-2')")
;=>1
;; Argument errors.
(tb_relationExists)
;/
;/Wrong type of arguments passed.
;!ADS request error
(tb_relationExists 1)
;!ADS request error
(tb_relationDelete "Systems")
;/
;/Wrong type of arguments passed.
;!ADS request error
(tb_relationDelete "Systems" nil)
;!ADS request error
(tb_relationInfo)
;/
;/Wrong type of arguments passed.
;!ADS request error
