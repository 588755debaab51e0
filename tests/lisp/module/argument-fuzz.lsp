;; Every registered function survives any argument list: none, nil, T, numbers at and
;; beyond the 16-bit range, empty and very long strings, points, longer lists, dotted
;; pairs, deep nesting, mixed lists, and 10 000 arguments. A call may return a value
;; or end in an evaluation error; it must never bring the host down, leave a drawing
;; locked or lose a function.
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
(setq *tb-names* (append *tb-db-names* *tb-draw-names*))
(setq long "x")
(repeat 17 (setq long (strcat long long)))
(strlen long)
;=>131072
(setq many nil)
(repeat 10000 (setq many (cons 7 many)))
(setq manyText nil)
(repeat 10000 (setq manyText (cons "" manyText)))
(setq nested '("deep"))
(repeat 50 (setq nested (list nested)))
(setq *tb-arglists*
  (list nil '(nil) '(T) '(0) '(-1) '(32767) '(-32768) '(40000) '(2147483647) '(1e300)
        '(-2.5) '("") (list long) '((1 2)) '((1.5 2 3)) '((1 2 3 4)) '((1 . 2))
        '(("a" . "b")) (list nested) '(nil nil nil nil nil) '("" "" "") (list long long long)
        '((1 2 3) (4 5 6) 7) '(1 "a" nil T (1 . 2) (1 2 3) 2.5 ("a" . "b"))
        '("*RTLB*" "*RTLE*" "*RTDOTE*") many manyText))
(length *tb-arglists*)
;=>27
;; Entity names too, once the host makes entities.
(setq ename
  (if entmake (progn (entmake '((0 . "LINE") (10 0.0 0.0 0.0) (11 1.0 1.0 0.0))) (entlast))))
(if ename
  (setq *tb-arglists* (append *tb-arglists* (list (list ename) (list ename ename '(1 2 3)) (list 5 ename)))))
(setq calls 0)
(foreach name *tb-names*
  (setq fn (read name))
  (foreach args *tb-arglists*
    (vl-catch-all-apply fn args)
    (setq calls (1+ calls))))
(= calls (* 173 (length *tb-arglists*)))
;=>T
;; The host is still whole: every function is defined and answers.
(vl-remove-if '(lambda (n) (= (type (eval (read n))) 'EXRXSUBR)) *tb-names*)
;=>nil
(tb_getVersion)
;=>-1
(tb_connect)
;/
;/Wrong type of arguments passed.
;!ADS request error
