;; Every LISP function of the module is an external function in every drawing, the
;; one the host opened first and one opened later; argument failures print their
;; message and make the call an evaluation error.
;; The names come from the module's one function list, by way of the build.
(load "function-list.lsp")
(length *tb-db-names*)
;=>63
(length *tb-draw-names*)
;=>110
(defun tb:undefined (names)
  (vl-remove-if '(lambda (n) (= (type (eval (read n))) 'EXRXSUBR)) names))
(tb:undefined *tb-db-names*)
;=>nil
(tb:undefined *tb-draw-names*)
;=>nil
(tb_connect)
;/
;/Wrong type of arguments passed.
;!ADS request error
(tb_connect 42)
;/
;/Wrong type of arguments passed.
;!ADS request error
(asin "0.5")
;/
;/Wrong type of arguments passed.
;!ADS request error
(vl-catch-all-error-message (vl-catch-all-apply 'nv::pow '(2)))
;/
;/Wrong type of arguments passed.
;=>"ADS request error"
;; A function that failed leaves the drawing usable.
(tb_getVersion)
;=>-1
(host:new-drawing)
;=>"Drawing2.dwg"
;; The second drawing has its own LISP environment and the whole set of functions.
(setq *tb-db-names* (list
  "tb_append" "tb_append_withindex" "tb_closeall_tables" "tb_close_table" "tb_bottom"
  "tb_count" "tb_delete" "tb_getrec" "tb_structure" "tb_list_indexes" "tb_modify_table"
  "tb_replace" "tb_seek" "tb_skip" "tb_top" "tb_table" "tb_rename_table" "tb_connect"
  "tb_mdb" "tb_create_db" "tb_create_table" "tb_close_db" "tb_beep" "tb_random"
  "tb_message_beep" "tb_exist" "tb_readonly" "tb_delete_table" "tb_list_tables"
  "tb_current_table" "tb_current_index" "tb_sql" "tb_sql-nil" "tb_sql-error" "tb_command"
  "tb_compact" "tb_link_table" "tb_query" "tb_message_box" "tb_create_index"
  "tb_create_query" "tb_xdput-list" "tb_xdget" "tb_xdget-list" "tb_xdget-all" "tb_mkdir"
  "tb_relationExists" "tb_relationDelete" "tb_lastError" "tb_resetLastError"
  "tb_field_required" "tb_attributes" "tb_getVersion" "tb_rmdir" "tb_fmove" "tb_fcopy"
  "tb_fcopyIfChanged" "tb_fdir" "tb_fdelete" "tb_indexUnique" "tb_indexFields"
  "tb_relationCount" "tb_relationInfo"))
(setq *tb-draw-names* (list
  "nv_nv-setGroupSelectable" "nv_nv-GetGroup" "AcDbCurve::getLength"
  "AcDbCurve::getPointAtDist" "AcDbCurve::getClosestPointTo" "AcDbCurve::getDistAtPoint"
  "AcDbBlockReference::Jig" "AcDbMText::actualWidth" "AcDbMText::actualHeight"
  "AcDbMText::setNormal" "AcDbMText::setDirection" "AcDbMText::setMask"
  "AcDbMText::direction" "AcDbMText::insert" "AcDbMText::ascent" "AcDbMText::descent"
  "RectangleJig" "nv_nv-lineJig" "nv_nv-textJig" "nv_nv-rotateJig" "nv_nv-multiRotateJig"
  "nv_nv-multiMoveJig" "nv_nv-entsel" "AcDbLeader::create" "nv_nv-showHelp"
  "nv_nv-SHGetFolderPath" "nv_nv-SHOpenFolderAndSelect" "nv_nv-shellExecute"
  "ed_editMultilineText" "nv_nv-customizeLabelGroup" "nv_nv-customizeLayers"
  "nv_nv-customizeTextStyles" "asin" "acos" "nv_nv-setColor" "nv_nv-setPlotStyle"
  "nv_nv-freezeInViewport" "ssgetPK" "ssgetCP" "ssgetC" "ssgetX-block" "ssgetX-circle"
  "ssgetX-polyline" "ssgetX-all" "nv_nv-leader-insert" "nv_nv-leader-setPoints"
  "nv_nv-leader-setBlock" "nv_nv-leader-setOffset" "nv_nv-leader-explode" "nv_nv-rand"
  "nv_atof" "AcDbMtext::lastLineWidth" "GetSystemMetrics::SM_CXSCREEN"
  "GetSystemMetrics::SM_CYSCREEN" "nv_nv-executeToDo" "nv_nv-submitBug" "EditUserOptions"
  "nv_nv-safeContinue" "nv_nv-createLayer" "GetComputerName" "XFolderDialog"
  "PathIsNetworkPath" "CFileDialog" "nv_nv-getPoint" "nv_nv-getPoint-withKWords"
  "nv_nv-getCorner" "nv_nv-intersectArcArc" "nv_nv-intersectArcLine"
  "nv_nv-intersectLineArc" "nv_nv-LayerSystemOptionsElec" "nv_nv-LayerSystemOptionsPlumb"
  "nv_nv-LayerSystemOptionsHVAC" "DownloadFile" "ExtractZip" "CreateZip" "GetTempPath"
  "IsFileReadOnly" "CreateCompressedGuidString" "AcDbAnnotativeObjectPE::setAnnotative"
  "SetAnnoBlock" "nv_nv-drawHanger" "nv_nv-drawTripleCenter" "nv_nv-getTripleCoord"
  "nv_nv-drawTripleTransition" "nv_nv-drawTripleElbow" "nv_nv-drawTripleWye"
  "nv_nv-drawTripleTakeoff" "nv_nv-drawTripleSkin" "nv_nv-tripleUnion"
  "nv_nv-explodeSolid" "acedSetStatusBarProgressMeterPos" "acedSetStatusBarProgressMeter"
  "acedRestoreStatusBar" "RegEnumKey" "AcDbFace::makeEdgeInvisibleAt"
  "AcDbEntity::getGeomExtents" "AcDbEntity::setColor" "AcDb2dPolyline::setCurveType"
  "nv::pow" "nv_nv-setToDoDrawing" "nv_nv-getToDoDrawing" "signString" "verifyString"
  "nv_nv-createJigTimer" "nv_nv-killJigTimer" "nv_nv-enableAutoCADWindow"
  "nv_nv-disableAutoCADWindow" "nv_nv-sendToBack" "nv_nv-getAcadWindowText"
  "nv_nv-setAcadWindowText"))
(defun tb:undefined (names)
  (vl-remove-if '(lambda (n) (= (type (eval (read n))) 'EXRXSUBR)) names))
(tb:undefined (append *tb-db-names* *tb-draw-names*))
;=>nil
;; Every function answers a call there (with a value or its own evaluation error).
(defun tb:unanswered (names / r missing)
  (setq missing nil)
  (foreach n names
    (setq r (vl-catch-all-apply (read n) nil))
    (if (and (vl-catch-all-error-p r)
             (= (substr (vl-catch-all-error-message r) 1 22) "no function definition"))
      (setq missing (cons n missing))))
  missing)
(tb:unanswered (append *tb-db-names* *tb-draw-names*))
;=>nil
(tb_connect)
;/
;/Wrong type of arguments passed.
;!ADS request error
(tb_getVersion)
;=>-1
(host:close-drawing)
;=>T
(tb_getVersion)
;=>-1
