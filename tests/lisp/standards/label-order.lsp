;; The label order dialog driven by scripts: the columns each mode shows, moving rows
;; (never above the first or past the last), one width for all rows in mode "SAME",
;; the title row's fixed cells, and what OK writes per mode; Cancel writes nothing.
(vl-file-delete "label-order.mdb")
(numberp (vl-file-copy (findfile "standards.mdb") "label-order.mdb"))
;=>T
(tb_connect "label-order.mdb")
;=>T
(defun labels (group)
  (tb_sql (strcat "SELECT sKey & '|' & sLabel & '|' & dWidth & '|' & sJustification & '|' & bDisplay & '|' & iSortOrder FROM tblLabelGroup WHERE sGroup = '" group "' ORDER BY iSortOrder, ixLabelGroup")))
(setq before (labels "DuctSchedule"))
;=>("Schedule Title|Duct Schedule||Left|-1|-1" "Tag|Tag|0.75|Center|-1|1" "Size|Size|1.25|Left|-1|2" "Flow|CFM|1|Right|-1|3" "Remarks|Remarks|2.5|Left|0|4")
;; Full mode: every column; the title row's width, justification and display are fixed.
(host:answer '(("dump") ("cell" "Key" "Schedule Title" "Width" "3")))
;=>nil
(nv_nv-customizeLabelGroup "DuctSchedule" "Duct" "label-order.mdb" "ALL" '("Tag" "Size"))
;/
;/; dialog script: the cell "Schedule Title" "Width" of "Key" is read-only
;=>nil
(host:dialogs)
;=>(("nv_tabrik:LabelOrderCustomization" "Duct Label Display and Order" 2 ((("grid" "grid1" ("ixLabelGroup" "Key" "Label" "Width" "Justification" "Display") ("1" "Schedule Title" "Duct Schedule" "" "" "1") ("2" "Tag" "Tag" "0.75" "Center" "1") ("3" "Size" "Size" "1.25" "Left" "1") ("4" "Flow" "CFM" "1" "Right" "1") ("5" "Remarks" "Remarks" "2.5" "Left" "0"))))))
;; Moves: Remarks up twice (above Tag and Size), Tag down below Remarks; Move Up on the
;; first row and Move Down on the last change nothing. Then OK in full mode.
(host:answer
  '(("row" "Key" "Remarks") ("press" "Move Up") ("press" "Move Up")
    ("row" "Key" "Tag") ("press" "Move Down")
    ("row" "Key" 1) ("press" "Move Up") ("row" "Key" 5) ("press" "Move Down")
    ("cell" "Key" "Tag" "Label" "Mark's") ("cell" "Key" "Size" "Label" "")
    ("cell" "Key" "Flow" "Justification" "Center") ("cell" "Key" "Flow" "Width" "")
    ("click" "Key" "Remarks" "Display")
    ("dump") ("press" "OK")))
;=>nil
(nv_nv-customizeLabelGroup "DuctSchedule" "Duct" "label-order.mdb" "ALL")
;=>nil
(mapcar 'cadr (cdddr (assoc "grid" (car (cadddr (car (host:dialogs)))))))
;=>("Schedule Title" "Remarks" "Tag" "Size" "Flow")
(labels "DuctSchedule")
;=>("Schedule Title|Duct Schedule||Left|-1|-1" "Remarks|Remarks|2.5|Left|-1|2" "Tag|Mark's|0.75|Center|-1|3" "Size| |1.25|Left|-1|4" "Flow|CFM||Center|-1|5")
;; Mode "SAME": no justification column; a width typed in one row goes to every row
;; but the title's; justification is never written.
(tb_command "UPDATE tblLabelGroup SET sJustification = 'Right' WHERE ixLabelGroup = 3")
;=>1
(host:answer '(("cell" "Key" "Tag" "Width" "0.9") ("dump") ("press" "OK")))
;=>nil
(nv_nv-customizeLabelGroup "DuctSchedule" "Duct" "label-order.mdb" "SAME")
;=>nil
(car (cadddr (car (host:dialogs))))
;=>(("grid" "grid1" ("ixLabelGroup" "Key" "Label" "Width" "Justification" "Display") ("1" "Schedule Title" "Duct Schedule" "" "" "1") ("5" "Remarks" "Remarks" "0.9" "Left" "1") ("2" "Tag" "Mark's" "0.9" "Center" "1") ("3" "Size" "" "0.9" "Right" "1") ("4" "Flow" "CFM" "0.9" "Center" "1")))
(labels "DuctSchedule")
;=>("Schedule Title|Duct Schedule||Left|-1|-1" "Remarks|Remarks|0.9|Left|-1|2" "Tag|Mark's|0.9|Center|-1|3" "Size| |0.9|Right|-1|4" "Flow|CFM|0.9|Center|-1|5")
;; No mode: neither width nor justification is shown or written; Cancel writes nothing.
(host:answer '(("cell" "Key" "Tag" "Width" "2")))
;=>nil
(nv_nv-customizeLabelGroup "DuctSchedule" "Duct" "label-order.mdb")
;/
;/; dialog script: "Key" has no column "Width"
;=>nil
(host:answer '(("cell" "Key" "Tag" "Label" "Tag") ("row" "Key" "Tag") ("press" "Move Up") ("press" "OK")))
;=>nil
(nv_nv-customizeLabelGroup "DuctSchedule" "Duct" "label-order.mdb" nil)
;=>nil
(labels "DuctSchedule")
;=>("Schedule Title|Duct Schedule||Left|-1|-1" "Tag|Tag|0.9|Center|-1|2" "Remarks|Remarks|0.9|Left|-1|3" "Size| |0.9|Right|-1|4" "Flow|CFM|0.9|Center|-1|5")
(host:answer '(("cell" "Key" "Tag" "Label" "Changed") ("press" "Cancel")))
;=>nil
(nv_nv-customizeLabelGroup "PipeSchedule" "Pipe" "label-order.mdb")
;=>nil
(labels "PipeSchedule")
;=>("Schedule Title|Pipe Schedule||Left|-1|-1" "Tag|Mark|0.5|Left|-1|1" "Service|Service|1.5|Left|-1|2")
;; Group and title are required strings.
(mapcar 'caddr (host:dialogs))
;=>(2 1 2)
(nv_nv-customizeLabelGroup "DuctSchedule")
;/
;/Wrong type of arguments passed.
;!ADS request error
(host:dialogs)
;=>nil
