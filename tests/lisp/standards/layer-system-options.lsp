;; The three layer system option dialogs driven by scripts: what each shows of a row
;; (hatch angles in degrees with pi = 3.14159265), what OK writes (only the dialog's
;; own columns; angles back in radians), Cancel, an id that names no row, a missing id.
(vl-file-delete "options.mdb")
(numberp (vl-file-copy (findfile "standards.mdb") "options.mdb"))
;=>T
(tb_connect "options.mdb")
;=>T
(setq *patterns-asked* 0)
(defun hvac-getPatList () (setq *patterns-asked* (1+ *patterns-asked*)) '("ANSI31" "ANSI32" "BRICK"))
(defun row (id columns)
  (car (tb_sql (strcat "SELECT " columns " FROM tblLayerSystem WHERE ixLayerSystem = " (itoa id)))))
(setq hvac-columns "sDescription & '|' & bSolid & '|' & sPrefix & '|' & sSuffix & '|' & bHatchFlexDucts & '|' & dHatchOverhang")
(setq hatch-columns "returnHatchOn & '|' & returnHatchAngle & '|' & exhaustHatchType & '|' & exhaustHatchPattern & '|' & exhaustHatchScale")
;; HVAC shows everything; an empty Predefined pattern takes the first pattern name.
(host:answer '(("dump") ("press" "Cancel")))
;=>nil
(nv_nv-LayerSystemOptionsHVAC "options.mdb" 1)
;=>nil
(list *patterns-asked* (host:dialogs))
;=>(1 (("nv_tabrik:LayerSystemOptionsHVAC" "Layer System Options" 2 ((("edit" "Layer System:" "Standard") ("check" "Ducts are solid" nil) ("edit" "Label Prefix:" "S-") ("edit" "Label Suffix:" "") ("grid" "grid1" ("Air System" "Display Hatch" "Type" "Pattern" "Angle" "Scale") ("Supply" "1" "Predefined" "ANSI31" "45" "1") ("Return" "1" "Predefined" "ANSI32" "0" "0.5") ("Exhaust" "0" "Custom" "EXH" "90" "2.25") ("Outside" "0" "Predefined" "ANSI31" "0" "1")) ("check" "Hatch Flex Ductwork" T) ("edit" "Hatch Overhang:" "0.125"))))))
(row 1 hvac-columns)
;=>"Standard|0|S-||-1|0.125"
;; OK: fields and hatch rows written; Custom switched to Predefined with an empty
;; pattern takes the first name.
(host:answer
  '(("set" "Layer System" "Standard HVAC") ("set" "Ducts are solid" T) ("set" "Label Suffix" "-H")
    ("cell" "Air System" "Return" "Angle" "30") ("click" "Air System" "Return" "Display Hatch")
    ("cell" "Air System" "Exhaust" "Pattern" "") ("cell" "Air System" "Exhaust" "Type" "Predefined")
    ("cell" "Air System" "Exhaust" "Scale" "3")
    ("set" "Hatch Flex Ductwork" nil) ("set" "Hatch Overhang" "0.25")
    ("dump") ("press" "OK")))
;=>nil
(nv_nv-LayerSystemOptionsHVAC "options.mdb" 1)
;=>nil
(nth 4 (car (cadddr (car (host:dialogs)))))
;=>("grid" "grid1" ("Air System" "Display Hatch" "Type" "Pattern" "Angle" "Scale") ("Supply" "1" "Predefined" "ANSI31" "45" "1") ("Return" "0" "Predefined" "ANSI32" "30" "0.5") ("Exhaust" "0" "Predefined" "ANSI31" "90" "3") ("Outside" "0" "Predefined" "ANSI31" "0" "1"))
(list (row 1 hvac-columns) (row 1 hatch-columns))
;=>("Standard HVAC|-1|S-|-H|0|0.25" "0|0.523598775|Predefined|ANSI31|3")
;; Electrical: the name and the solid flag; the two editions without conduits hide it.
(host:answer '(("set" "Layer System" "Power") ("set" "Conduits and Cable Trays are solid" nil) ("press" "OK")))
;=>nil
(nv_nv-LayerSystemOptionsElec "FULL" "options.mdb" 2)
;=>nil
(row 2 "sDescription & '|' & bSolid & '|' & sSuffix")
;=>"Power|0|-R"
(host:answer '(("set" "Conduits and Cable Trays are solid" T)))
;=>nil
(nv_nv-LayerSystemOptionsElec "lighting" "options.mdb" 2)
;/
;/; dialog script: "Conduits and Cable Trays are solid" is hidden
;=>nil
;; Plumbing: the name only; Cancel writes nothing, an id of no row writes nothing.
(host:answer '(("set" "Layer System" "Plumbing") ("press" "Cancel")))
;=>nil
(nv_nv-LayerSystemOptionsPlumb "options.mdb" 3)
;=>nil
(host:answer '(("set" "Layer System" "Nowhere") ("press" "OK")))
;=>nil
(nv_nv-LayerSystemOptionsPlumb "options.mdb" 99)
;=>nil
(tb_sql "SELECT sDescription FROM tblLayerSystem ORDER BY ixLayerSystem")
;=>("Standard HVAC" "Power" "Client Legacy")
;; Without a path the current database's file; without an id nothing opens.
(mapcar 'caddr (host:dialogs))
;=>(1 2 2 1)
(host:answer '(("set" "Layer System" "Legacy") ("press" "OK")))
;=>nil
(nv_nv-LayerSystemOptionsPlumb 3)
;=>nil
(host:answer '(("set" "Layer System" "Legacy 2") ("press" "OK")) '(("press" "OK")))
;=>nil
(nv_nv-LayerSystemOptionsPlumb nil 3)
;=>nil
(nv_nv-LayerSystemOptionsElec nil nil 3)
;=>nil
(list (row 3 "sDescription") (mapcar 'caddr (host:dialogs)))
;=>("Legacy 2" (1 1 1))
(list (nv_nv-LayerSystemOptionsPlumb "options.mdb") (nv_nv-LayerSystemOptionsElec "x" "y") (host:dialogs))
;=>(nil nil nil)
(nv_nv-LayerSystemOptionsHVAC "nowhere.mdb" 1)
;/
;/Database Error: Could not find file 'nowhere.mdb'.
;=>nil
