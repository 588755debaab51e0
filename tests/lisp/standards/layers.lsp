;; The layer customization dialog driven by scripts on a copy of the sample standards
;; database, with the program's callbacks defined here and logged: the three grids as
;; they open, a layer system created (its keys copied) and deleted, system names and
;; order, key mappings and layer edits written by OK only, the refusals and questions
;; of each button, and what stays when the dialog is cancelled.
(vl-file-delete "layers.mdb")
(numberp (vl-file-copy (findfile "standards.mdb") "layers.mdb"))
;=>T
(tb_connect "layers.mdb")
;=>T
(setq *log* nil *globals* 0)
(defun log (entry) (setq *log* (cons entry *log*)) T)
(defun take-log () (reverse (progn (setq entries *log* *log* nil) entries)))
(defun util-layerKeySetElecGlobals (path) (setq *globals* (1+ *globals*)))
(defun util-showLayerKey (key) (/= key "CableTray"))
(defun util-LayerkeyRename (key) (if (/= key "Leader") (strcat "K:" key)))
(defun util-createLayerKeySortText (key) (if (= key "Text") "0" key))
(defun util-createPipeLabels (id) (log (list "create" id)))
(defun util-deletePipeLabels (id) (log (list "delete" id)))
(defun util-checkObjectsforLayersystem (id) (log (list "check" id)) (if (= id 3) "Client Legacy is used in this drawing."))
(defun util-layersystemoptions (id path) (log (list "options" id path))
  (tb_command (strcat "UPDATE tblLayerSystem SET sDescription = 'Renamed' WHERE ixLayerSystem = " (itoa id))))
(defun util-exportLayerSystem-noName (id path) (log (list "export" id path)))
(defun util-importLayerSystem-noName (id path) (log (list "import" id path)) nil)
(defun systems () (tb_sql "SELECT ixLayerSystem & ':' & sDescription & ':' & iSortOrder FROM tblLayerSystem ORDER BY iSortOrder"))
(defun keys (system)
  (tb_sql (strcat "SELECT sKey & '>' & ixLayer FROM tblLayerKey WHERE ixLayerSystem " (if system (strcat "= " (itoa system)) "Is Null") " ORDER BY sKey")))
(defun grid (n dump) (nth (1- n) (vl-remove-if-not '(lambda (e) (= (car e) "grid")) dump)))
(defun dumps () (cadddr (last (host:dialogs))))
;; Opening: General first and selected, its keys as the program names and sorts them
;; (Leader has no name from the program: one blank), the layers by name.
(host:answer '(("dump") ("press" "Cancel")))
;=>nil
(nv_nv-customizeLayers "layers.mdb")
;=>nil
(setq opened (car (dumps)))
(grid 1 opened)
;=>("grid" "grid1" ("ixLayerSystem" "Layer System" "iSortOrder") ("-1" "General" "0") ("1" "Standard" "1") ("2" "Renovation" "2") ("3" "Client Legacy" "3"))
(grid 2 opened)
;=>("grid" "grid2" ("Layer Key" "ixLayerKey" "colSort" "ixLayer" "Layer Name") ("K:Text" "1" "0" "6" "M-ANNO-TEXT") ("K:Dimension" "2" "Dimension" "14" "G-ANNO-DIMS") (" " "3" "Leader" "15" "G-ANNO-LEAD") ("K:NoPlot" "4" "NoPlot" "7" "M-ANNO-NPLT"))
(list (length (cdddr (grid 3 opened))) (nth 3 (grid 3 opened)) (assoc "3" (cdddr (grid 3 opened))))
;=>(16 ("13" "E-CABL-TRAY" "30" "DASHED" "1" "0.5 mm" "") ("3" "M-DUCT-EXHS" "6" "CONTINUOUS" "1" "0.25 mm" ""))
*globals*
;=>4
;; New system: the name is checked (dialog stays), then the system is added at once
;; with the keys of the system chosen; Cancel keeps it.
(host:answer
  '(("press" "New System") ("press" "Cancel"))
  '(("set" "New Layer System Name" " general ") ("press" "OK")
    ("set" "New Layer System Name" "renovation") ("press" "OK")
    ("set" "New Layer System Name" "  Tenant  ") ("select" "Copy Layers from This System" "Renovation") ("dump") ("press" "OK")))
;=>nil
(nv_nv-customizeLayers "layers.mdb")
;=>nil
(host:message-boxes)
;=>(("Norvane" "Invalid layer system name." 48) ("Norvane" "A layer system with that name already exists." 48))
(mapcar '(lambda (run) (list (car run) (caddr run))) (host:dialogs))
;=>(("nv_tabrik:LayerCustomization" 2) ("IDD_NEW_LAYER_SYSTEM" 1))
(list (systems) (keys 4) (take-log))
;=>(("1:Standard:1" "2:Renovation:2" "3:Client Legacy:3" "4:Tenant:4") ("ReturnDuct>2" "Sanitary>10" "SupplyDuct>1") (("create" 4)))
;; Delete system: General is refused, the drawing's objects are not asked about when a
;; path was given, No keeps the system, Yes deletes its keys and it.
(host:answer "OK" "NO" "YES")
;=>nil
(host:answer
  '(("row" "Layer System" "General") ("press" "Delete System")
    ("row" "Layer System" "Tenant") ("press" "Delete System") ("press" "Delete System")
    ("dump") ("press" "Cancel")))
;=>nil
(nv_nv-customizeLayers "layers.mdb")
;=>nil
(host:message-boxes)
;=>(("Norvane" "The general layer system cannot be deleted." 64) ("Norvane" "Are you sure you want to delete layer system Tenant?" 36) ("Norvane" "Are you sure you want to delete layer system Tenant?" 36))
(list (systems) (keys 4) (take-log) (mapcar 'cadr (cdddr (grid 1 (car (dumps))))))
;=>(("1:Standard:1" "2:Renovation:2" "3:Client Legacy:3") nil (("delete" 4)) ("General" "Standard" "Renovation" "Client Legacy"))
;; Without a path the current database's file is used, and the program is asked about
;; the drawing's objects first: its string forbids the deletion.
(host:answer '(("row" "Layer System" "Client Legacy") ("press" "Delete System") ("press" "Cancel")))
;=>nil
(nv_nv-customizeLayers)
;=>nil
(list (host:message-boxes) (take-log) (systems))
;=>((("Norvane" "Client Legacy is used in this drawing." 64)) (("check" 3)) ("1:Standard:1" "2:Renovation:2" "3:Client Legacy:3"))
;; Edit system: General is refused; another runs the program's options and shows the
;; stored name again.
(host:answer
  '(("row" "Layer System" "General") ("press" "Edit System")
    ("row" "Layer System" "Renovation") ("press" "Edit System") ("dump") ("press" "Cancel")))
;=>nil
(nv_nv-customizeLayers "layers.mdb")
;=>nil
(list (host:message-boxes) (take-log) (mapcar 'cadr (cdddr (grid 1 (car (dumps))))))
;=>((("Norvane" "The general layer system cannot be edited." 64)) (("options" 2 "layers.mdb")) ("General" "Standard" "Renamed" "Client Legacy"))
;; Names, order, keys and layers reach the database on OK only: Cancel first, then OK.
(setq edits
  '(("row" "Layer System" "Client Legacy") ("press" "Move Up") ("press" "Move Up") ("press" "Move Up")
    ("cell" "Layer System" "Standard" "Layer System" "House Standard")
    ("row" "Layer System" "House Standard") ("press" "Move Down") ("press" "Move Down") ("press" "Move Down")
    ("row" "Layer System" "Renamed")
    ("cell" "Layer Key" "K:Sanitary" "Layer Name" "P-DOMW-HWTR")
    ("cell" "grid3" "X-SPARE" "Lineweight" "0.35 mm")
    ("cell" "grid3" "M-EQPM" "Lineweight" "Default")
    ("cell" "grid3" "X-SPARE" "Plot Style" "Screened")
    ("click" "grid3" "X-SPARE" "Plot")
    ("click" "grid3" "X-SPARE" "Color")
    ("cell" "grid3" "X-SPARE" "Layer Name" "X-SPARE-2")))
(defun layer (name)
  (car (tb_sql (strcat "SELECT sName & '|' & iColor & '|' & bPlot & '|' & sLineweight & '|' & sPlotstyle FROM tblLayer WHERE sName = '" name "'"))))
(host:answer "12" (append edits '(("press" "Cancel"))))
;=>nil
(nv_nv-customizeLayers "layers.mdb")
;=>nil
(list (systems) (keys 2) (layer "X-SPARE") (layer "M-EQPM"))
;=>(("1:Standard:1" "2:Renamed:2" "3:Client Legacy:3") ("ReturnDuct>2" "Sanitary>10" "SupplyDuct>1") "X-SPARE|9|-1|0|" "M-EQPM|2|-1|50|")
(host:answer "12" (append edits '(("dump") ("press" "OK"))))
;=>nil
(nv_nv-customizeLayers "layers.mdb")
;=>nil
(mapcar 'cadr (cdddr (grid 1 (car (dumps)))))
;=>("General" "Client Legacy" "Renamed" "House Standard")
(list (systems) (keys 2) (layer "X-SPARE-2") (layer "M-EQPM"))
;=>(("3:Client Legacy:2" "2:Renamed:3" "1:House Standard:4") ("ReturnDuct>2" "Sanitary>9" "SupplyDuct>1") "X-SPARE-2|12|0|35|Screened" "M-EQPM|2|-1||")
;; Layer names: a refused character or a name another layer has brings a message and
;; the stored name back.
(host:answer
  '(("cell" "grid3" "M-EQPM" "Layer Name" "M>EQPM")
    ("cell" "grid3" "M-EQPM" "Layer Name" "m-duct-supp")
    ("dump") ("press" "OK")))
;=>nil
(nv_nv-customizeLayers "layers.mdb")
;=>nil
(mapcar 'cadr (host:message-boxes))
;=>("Invalid characters in layer name.\n\nThe following characters are not valid in layer names:\n    < > / \\ ' \" : ; ? * | , = '" "Layer name already exists in the database.")
(list (assoc "5" (cdddr (grid 3 (car (dumps))))) (layer "M-EQPM"))
;=>(("5" "M-EQPM" "2" "Continuous" "1" "Default" "") "M-EQPM|2|-1||")
;; New layer, delete layer (refused while a key maps to it; No, then Yes), and all
;; unused layers (X-SPARE-2, and P-SANR-PIPE since Sanitary moved away from it, and
;; the second new layer): each written at once, kept by Cancel.
(host:answer "OK" "NO" "YES" "YES")
;=>nil
(host:answer
  '(("row" "grid3" "M-EQPM") ("press" "Delete Layer")
    ("row" "grid3" "G-ANNO-DIMS") ("press" "New Layer")
    ("press" "Delete Layer") ("press" "Delete Layer")
    ("press" "New Layer") ("press" "Delete All Unused Layers")
    ("dump") ("press" "Cancel")))
;=>nil
(nv_nv-customizeLayers "layers.mdb")
;=>nil
(mapcar 'cadr (host:message-boxes))
;=>("Layer is currently referenced by a layer key and cannot be deleted." "Are you sure you want to delete layer New Layer?" "Are you sure you want to delete layer New Layer?" "Are you sure you want to delete all unused layers?")
(list (tb_sql "SELECT sName FROM tblLayer WHERE sName = 'New Layer' OR sName = 'X-SPARE-2'") (length (cdddr (grid 3 (car (dumps))))))
;=>(nil 14)
;; Deleting the last named system is refused even though General remains.
(tb_command "DELETE FROM tblLayerSystem WHERE ixLayerSystem <> 1")
;=>2
(host:answer '(("row" "Layer System" "House Standard") ("press" "Delete System") ("press" "OK")))
;=>nil
(nv_nv-customizeLayers "layers.mdb")
;=>nil
(list (host:message-boxes) (systems))
;=>((("Norvane" "You cannot delete the last layer system." 64)) ("1:House Standard:2"))
;; Export saves the keys first; an import that answers nil reloads nothing.
(host:answer
  '(("row" "Layer System" "House Standard") ("cell" "Layer Key" "K:SupplyDuct" "Layer Name" "M-EQPM")
    ("press" "Export Layers to Excel") ("press" "Import Layers from Excel") ("press" "Cancel")))
;=>nil
(nv_nv-customizeLayers "layers.mdb")
;=>nil
(list (take-log) (keys 1))
;=>((("export" 1 "layers.mdb") ("import" 1 "layers.mdb")) ("CableTray>13" "ColdWater>8" "Equipment>5" "ExhaustDuct>3" "HotWater>9" "OutsideDuct>4" "PowerCircuit>11" "ReturnDuct>2" "SupplyDuct>5"))
(vl-catch-all-error-message (vl-catch-all-apply 'nv_nv-customizeLayers '(3)))
;/
;/Wrong type of arguments passed.
;=>"ADS request error"
(nv_nv-customizeLayers "nowhere.mdb")
;/
;/Database Error: Could not find file 'nowhere.mdb'.
;=>nil
