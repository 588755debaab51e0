;; Standards databases that lack a table or a column or hold Null where text belongs:
;; each dialog opens with what it can show, a save that cannot be written leaves the
;; row as it was, and nothing crashes.
(vl-file-delete "bad.mdb")
(numberp (vl-file-copy (findfile "standards.mdb") "bad.mdb"))
;=>T
(tb_connect "bad.mdb")
;=>T
(defun util-showTextStyle (key) T)
(defun util-showLayerKey (key) T)
(defun grids () (vl-remove-if-not '(lambda (e) (= (car e) "grid")) (car (cadddr (car (host:dialogs))))))
;; Null names and descriptions show as empty cells.
(tb_command "UPDATE tblLayerSystem SET sDescription = Null WHERE ixLayerSystem = 2")
;=>1
(tb_command "UPDATE tblTextStyle SET sKey = Null WHERE ixTextStyle = 4")
;=>1
(host:answer '(("dump") ("press" "Cancel")))
;=>nil
(nv_nv-customizeLayers "bad.mdb")
;=>nil
(mapcar 'cadr (cdddr (car (grids))))
;=>("General" "Standard" "" "Client Legacy")
(host:answer '(("dump") ("press" "OK")))
;=>nil
(nv_nv-customizeTextStyles "bad.mdb")
;=>nil
(mapcar 'car (cdddr (car (grids))))
;=>("" "Default" "Notes" "Schedule" "Title")
;; A layer system table without sSuffix: the HVAC dialog opens with the suffix empty;
;; its OK cannot write the row, which keeps every value.
(tb_command "ALTER TABLE tblLayerSystem DROP COLUMN sSuffix")
;=>0
(setq before (tb_sql "SELECT * FROM tblLayerSystem WHERE ixLayerSystem = 1"))
(host:answer '(("set" "Layer System" "Changed") ("set" "Label Suffix" "-X") ("press" "OK")))
;=>nil
(nv_nv-LayerSystemOptionsHVAC "bad.mdb" 1)
;=>nil
(equal (tb_sql "SELECT * FROM tblLayerSystem WHERE ixLayerSystem = 1") before)
;=>T
;; The plumbing dialog writes only the name, which the table has.
(host:answer '(("set" "Layer System" "Changed") ("press" "OK")))
;=>nil
(nv_nv-LayerSystemOptionsPlumb "bad.mdb" 1)
;=>nil
(tb_sql "SELECT sDescription FROM tblLayerSystem WHERE ixLayerSystem = 1")
;=>("Changed")
;; Without tblLabelGroup and tblLayerKey the dialogs open empty; OK writes nothing.
(tb_command "DROP TABLE tblLabelGroup")
;=>0
(tb_command "DROP TABLE tblLayerKey")
;=>0
(host:answer '(("dump") ("press" "OK")))
;=>nil
(nv_nv-customizeLabelGroup "DuctSchedule" "Duct" "bad.mdb" "ALL")
;=>nil
(cdddr (car (grids)))
;=>nil
(host:answer '(("dump") ("press" "OK")))
;=>nil
(nv_nv-customizeLayers "bad.mdb")
;/
;/Database Error: The Microsoft Jet database engine cannot find the input table or query 'tblLayerKey'.  Make sure it exists and that its name is spelled correctly.
;=>nil
(mapcar '(lambda (g) (length (cdddr g))) (grids))
;=>(4 0 16)
;; A database without any standards table.
(vl-file-delete "empty.mdb")
(tb_create_db "empty.mdb")
;=>T
(host:answer '(("dump") ("press" "New System") ("press" "OK")) '(("set" "New Layer System Name" "X") ("press" "OK")))
;=>nil
(nv_nv-customizeLayers "empty.mdb")
;/
;/Database Error: The Microsoft Jet database engine cannot find the input table or query 'tblLayerKey'.  Make sure it exists and that its name is spelled correctly.
;/Database Error: The Microsoft Jet database engine cannot find the input table or query 'tblLayerSystem'.  Make sure it exists and that its name is spelled correctly.
;=>nil
(mapcar '(lambda (g) (length (cdddr g))) (grids))
;=>(1 0 0)
