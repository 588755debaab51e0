;; Annotative texts and block definitions: the flag is the "AcadAnnotative" extended
;; data of the object, set and cleared through the host's protocol extension, kept in
;; the saved DXF; entities that cannot be annotative stay as they are.
(defun mk (data) (entmake data) (entlast))
(defun outcome (f args / r)
  (setq r (vl-catch-all-apply f args))
  (if (vl-catch-all-error-p r) (vl-catch-all-error-message r) r))
(defun anno (e) (cdr (assoc -3 (entget e '("AcadAnnotative")))))
(setq on '(("AcadAnnotative" (1000 . "AnnotativeData") (1002 . "{") (1070 . 1) (1070 . 1) (1002 . "}"))))
(setq tx (mk '((0 . "TEXT") (10 0.0 0.0 0.0) (40 . 1.0) (1 . "t")))
      mt (mk '((0 . "MTEXT") (100 . "AcDbEntity") (100 . "AcDbMText") (10 0.0 0.0 0.0) (40 . 1.0) (1 . "m")))
      ln (mk '((0 . "LINE") (10 0.0 0.0 0.0) (11 1.0 0.0 0.0)))
      ci (mk '((0 . "CIRCLE") (10 0.0 0.0 0.0) (40 . 1.0))))
(entmake '((0 . "BLOCK") (2 . "Mark") (70 . 0) (10 0.0 0.0 0.0)))
(entmake '((0 . "CIRCLE") (10 0.0 0.0 0.0) (40 . 1.0)))
(progn (entmake '((0 . "ENDBLK"))) T)
;=>T
(setq ref (mk '((0 . "INSERT") (2 . "Mark") (10 5.0 5.0 0.0))))
(defun mark-record () (tblobjname "BLOCK" "Mark"))

;; Each row: entity, what the flag T gives, then what nil gives.
(mapcar '(lambda (e) (list (AcDbAnnotativeObjectPE::setAnnotative e T) (anno e))) (list tx mt ln ci ref))
;=>((nil (("AcadAnnotative" (1000 . "AnnotativeData") (1002 . "{") (1070 . 1) (1070 . 1) (1002 . "}")))) (nil (("AcadAnnotative" (1000 . "AnnotativeData") (1002 . "{") (1070 . 1) (1070 . 1) (1002 . "}")))) (nil nil) (nil nil) (nil nil))
(tblsearch "APPID" "AcadAnnotative")
;=>((0 . "APPID") (2 . "AcadAnnotative") (70 . 0))
(AcDbAnnotativeObjectPE::setAnnotative tx nil)
;=>nil
(list (anno tx) (equal (anno mt) on))
;=>(nil T)

;; A block reference makes its definition annotative; the reference itself is not.
(list (SetAnnoBlock ref T) (equal (anno (mark-record)) on) (anno ref))
;=>(nil T nil)
;; Any other entity leaves every block as it was.
(list (SetAnnoBlock ln nil) (equal (anno (mark-record)) on))
;=>(nil T)

;; Saved and reopened, the flags are where they were.
(host:save-as "annotative.dxf")
;=>T
(host:open-drawing "annotative.dxf")
;=>"annotative.dxf"
(defun only (type) (ssname (ssget "X" (list (cons 0 type))) 0))
(list (anno (only "TEXT")) (equal (anno (only "MTEXT")) on) (equal (anno (mark-record)) on) (anno (only "INSERT")))
;=>(nil T T nil)
;; Cleared and saved again, the flag is gone from the file as well.
(list (SetAnnoBlock (only "INSERT") nil) (AcDbAnnotativeObjectPE::setAnnotative (only "MTEXT") nil))
;=>(nil nil)
(host:save-as "plain.dxf")
;=>T
(host:open-drawing "plain.dxf")
;=>"plain.dxf"
(list (anno (only "MTEXT")) (anno (mark-record)))
;=>(nil nil)
(host:close-drawing)
;=>T
(host:close-drawing)
;=>T

;; Refusals: an erased text and the layer record "0" change nothing; SetAnnoBlock gives
;; the bad-data error for them.
(setq gone (mk '((0 . "TEXT") (10 0.0 0.0 0.0) (40 . 1.0) (1 . "g")))
      lay (tblobjname "LAYER" "0"))
(progn (entdel gone) T)
;=>T
(mapcar '(lambda (e) (AcDbAnnotativeObjectPE::setAnnotative e T)) (list gone lay))
;=>(nil nil)
(mapcar '(lambda (e) (outcome 'SetAnnoBlock (list e T))) (list gone lay))
;/
;/Bad data passed .
;/
;/Bad data passed .
;=>("ADS request error" "ADS request error")
(list (entget gone) (anno lay))
;=>(nil nil)

;; Wrong arguments: no entity name, no flag.
(mapcar '(lambda (call) (outcome (car call) (cdr call)))
        (list (list 'AcDbAnnotativeObjectPE::setAnnotative "tx" T) (list 'AcDbAnnotativeObjectPE::setAnnotative mt)
              (list 'SetAnnoBlock) (list 'SetAnnoBlock ref)))
;/
;/Wrong type of arguments passed.
;/
;/Wrong type of arguments passed.
;/
;/Wrong type of arguments passed.
;/
;/Wrong type of arguments passed.
;=>("ADS request error" "ADS request error" "ADS request error" "ADS request error")
(equal (anno mt) on)
;=>T
