;; The layer customization dialog's OK writes system names and order, key mappings and
;; layer edits together or not at all: a layer whose name another layer takes during
;; the same save fails it, the error is printed, the dialog stays open (Cancel then
;; ends it), and every row the save had written before is back as it was. The same
;; edits without the clash are all written.
(vl-file-delete "atomic.mdb")
(numberp (vl-file-copy (findfile "standards.mdb") "atomic.mdb"))
;=>T
(tb_connect "atomic.mdb")
;=>T
(defun util-layerKeySetElecGlobals (path) T)
(defun util-showLayerKey (key) T)
(defun util-LayerkeyRename (key) key)
(defun util-createLayerKeySortText (key) key)
(defun systems () (tb_sql "SELECT ixLayerSystem & ':' & sDescription & ':' & iSortOrder FROM tblLayerSystem ORDER BY ixLayerSystem"))
(defun keys () (tb_sql "SELECT sKey & '>' & ixLayer FROM tblLayerKey WHERE ixLayerSystem = 2 ORDER BY sKey"))
(defun layers () (tb_sql "SELECT ixLayer & ':' & sName & ':' & sLineweight FROM tblLayer WHERE ixLayer IN (3, 5, 13) ORDER BY ixLayer"))
(defun state () (list (systems) (keys) (layers)))
;; Layer names may not repeat from now on; the dialog checks a new name only against
;; the stored ones, so two rows renamed alike reach the save.
(tb_command "CREATE UNIQUE INDEX uxName ON tblLayer (sName)")
;=>0
(setq before (state))
;=>(("1:Standard:1" "2:Renovation:2" "3:Client Legacy:3") ("ReturnDuct>2" "Sanitary>10" "SupplyDuct>1") ("3:M-DUCT-EXHS:25" "5:M-EQPM:50" "13:E-CABL-TRAY:50"))
(setq edits
  '(("row" "Layer System" "Client Legacy") ("press" "Move Up")
    ("cell" "Layer System" "Standard" "Layer System" "House Standard")
    ("row" "Layer System" "Renovation")
    ("cell" "Layer Key" "Sanitary" "Layer Name" "P-DOMW-HWTR")
    ("cell" "grid3" "M-DUCT-EXHS" "Lineweight" "0.35 mm")
    ("cell" "grid3" "M-EQPM" "Layer Name" "Z-SHARED")))
(host:answer (append edits '(("cell" "grid3" "E-CABL-TRAY" "Layer Name" "Z-SHARED") ("press" "OK") ("dump") ("press" "Cancel"))))
;=>nil
(nv_nv-customizeLayers "atomic.mdb")
;/
;/Database Error: The changes you requested to the table were not successful because they would create duplicate values in the index, primary key, or relationship.  Change the data in the field or fields that contain duplicate data, remove the index, or redefine the index to permit duplicate entries and try again.
;=>nil
;; The dialog stayed open after OK (it was dumped, then cancelled) with the edits.
(setq runs (host:dialogs))
(mapcar '(lambda (run) (list (car run) (caddr run))) runs)
;=>(("nv_tabrik:LayerCustomization" 2))
(mapcar 'cadr (cdddr (car (vl-remove-if-not '(lambda (e) (= (car e) "grid")) (car (cadddr (car runs)))))))
;=>("General" "House Standard" "Client Legacy" "Renovation")
(equal (state) before)
;=>T
;; Without the clash the same OK writes every change.
(host:answer (append edits '(("press" "OK"))))
;=>nil
(nv_nv-customizeLayers "atomic.mdb")
;=>nil
(state)
;=>(("1:House Standard:2" "2:Renovation:4" "3:Client Legacy:3") ("ReturnDuct>2" "Sanitary>9" "SupplyDuct>1") ("3:M-DUCT-EXHS:35" "5:Z-SHARED:50" "13:E-CABL-TRAY:50"))
