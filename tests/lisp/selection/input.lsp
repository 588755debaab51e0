;; Point, corner and entity input with the program's prompts and keywords, answered
;; from the input queue: points, every keyword form, Enter and Escape.
(defun outcome (f args / r)
  (setq r (vl-catch-all-apply f args))
  (if (vl-catch-all-error-p r) (vl-catch-all-error-message r) r))
(entmake '((0 . "LINE") (10 1.0 1.0 0.0) (11 3.0 1.0 0.0)))
(setq pipe (entlast))
(entmake '((0 . "CIRCLE") (10 10.0 10.0 0.0) (40 . 2.0)))
(setq tank (entlast))
(setq before (list (entget pipe) (entget tank)))

;; nv_nv-getPoint: the point, nil for Enter and Escape (never an error).
(host:input "3,4" "1,2,3" "" "*cancel*")
(nv_nv-getPoint "\nWhere: ")
;/
;/Where: 
;=>(3.0 4.0 0.0)
(list (nv_nv-getPoint) (nv_nv-getPoint 5) (nv_nv-getPoint))
;=>((1.0 2.0 3.0) nil nil)
(host:input "abc" "7,8")
(nv_nv-getPoint "\nWhere: ")
;/
;/Where: 
;/Invalid point.
;=>(7.0 8.0 0.0)

;; nv_nv-getPoint-withKWords: each row is the keyword list, what the user types, and
;; the answer; Enter is not an answer, so the next token counts.
(setq rows
  (list
    (list "Yes No" '("Yes") "Yes")
    (list "Yes No" '("n") "No")
    (list "Yes No" '("yes") "Yes")
    (list "LType Color" '("lt") "LType")
    (list "LTYPE,LT COLOR,C" '("c") "COLOR")
    (list "Ja Nein _Yes No" '("nein") "No")
    (list "Ja Nein _Yes No" '("_Yes") "Yes")
    (list "Yes No" '("" "n") "No")
    (list "Yes No" '("" "" "2,5") '(2.0 5.0 0.0))
    (list "Yes No" '("*cancel*") nil)
    (list "Yes No" '("" "*cancel*") nil)
    (list "" '("" "4,4,1") '(4.0 4.0 1.0))
    (list nil '("*cancel*") nil)))
(defun ask-kw (row)
  (apply 'host:input (cadr row))
  (nv_nv-getPoint-withKWords "" (car row)))
(vl-remove-if '(lambda (r) (equal (ask-kw r) (caddr r))) rows)
;=>nil
(host:input "Maybe" "y")
(nv_nv-getPoint-withKWords "\nPoint or [Yes/No]: " "Yes No")
;/
;/Point or [Yes/No]: 
;/Invalid point.
;=>"Yes"
;; A prompt that is not a string leaves the keywords unread: "Yes" is no keyword then.
(host:input "Yes" "1,1")
(nv_nv-getPoint-withKWords 5 "Yes No")
;/
;/Invalid point.
;=>(1.0 1.0 0.0)
;; Nothing queued is Escape.
(nv_nv-getPoint-withKWords)
;=>nil

;; nv_nv-getCorner: the other corner (in the construction plane), nil for Enter and
;; Escape; the base point is required.
(host:input "4,5" "4,5,9" "" "*cancel*" "6,6")
(nv_nv-getCorner '(1 2) "\nOther corner: ")
;/
;/Other corner: 
;=>(4.0 5.0 0.0)
(list (nv_nv-getCorner '(1 2 0)) (nv_nv-getCorner 1 2) (nv_nv-getCorner '(1 2)) (nv_nv-getCorner 1 2 3 4))
;=>((4.0 5.0 0.0) nil nil (6.0 6.0 0.0))
(mapcar '(lambda (a) (outcome 'nv_nv-getCorner a)) (list nil '("x") '(1) '(nil "\nCorner: ")))
;/
;/Wrong type of arguments passed.
;/
;/Wrong type of arguments passed.
;/
;/Wrong type of arguments passed.
;/
;/Wrong type of arguments passed.
;=>("ADS request error" "ADS request error" "ADS request error" "ADS request error")

;; nv_nv-entsel: the entity and where it was picked; a miss asks again.
(host:input "2,1.05")
(setq r (nv_nv-entsel "\nPick a pipe: "))
;/
;/Pick a pipe: 
(list (eq (car r) pipe) (cadr r))
;=>(T (2.0 1.05 0.0))
(host:input "50,50" "40,40" "12,10")
(eq (car (nv_nv-entsel "\nPick: ")) tank)
;/
;/Pick: 
;/Pick: 
;/Pick: 
;=>T
;; Each row: keywords, what the user types, the answer (entities by name).
(setq rows
  (list
    (list nil '("") T)
    (list nil '("*cancel*") nil)
    (list nil '("50,50" "*cancel*") nil)
    (list nil '("50,50" "") T)
    (list "eXit Undo" '("x") "eXit")
    (list "eXit Undo" '("undo") "Undo")
    (list "eXit Undo" '("50,50" "x") "eXit")
    (list "eXit Undo" '("") T)
    (list "Ja Nein _Yes No" '("ja") "Yes")
    (list "" '("2,1") pipe)))
(defun pick-kw (row / r)
  (apply 'host:input (cadr row))
  (setq r (if (car row) (nv_nv-entsel "" (car row)) (nv_nv-entsel "")))
  (if (and (listp r) (= (type (car r)) 'ENAME)) (car r) r))
(vl-remove-if '(lambda (r) (equal (pick-kw r) (caddr r))) rows)
;=>nil
(mapcar '(lambda (a) (outcome 'nv_nv-entsel a)) (list nil '(5) (list pipe)))
;/
;/Wrong type of arguments passed.
;/
;/Wrong type of arguments passed.
;/
;/Wrong type of arguments passed.
;=>("ADS request error" "ADS request error" "ADS request error")
;; Text that is no keyword is refused as a point, and the pick goes on.
(host:input "zz" "2,1")
(eq (car (nv_nv-entsel "" "eXit Undo")) pipe)
;/
;/Invalid point.
;=>T
;; Input changes nothing in the drawing.
(equal before (list (entget pipe) (entget tank)))
;=>T
