;; Escape at every prompt of every jig: each row reaches one prompt (the inputs before
;; the Escape) and must give the cancel result and leave the drawing exactly as it was
;; (every entity's data, and no entity added). An empty input queue is Escape too.
(defun nvBlock-alertMissing (name) nil)
(defun drawing (/ e l) (setq e (entnext)) (while e (setq l (cons (entget e) l) e (entnext e))) l)
(entmake '((0 . "BLOCK") (2 . "Mark") (70 . 2) (10 0.0 0.0 0.0)))
(entmake '((0 . "CIRCLE") (10 0.0 0.0 0.0) (40 . 1.0)))
(entmake '((0 . "ATTDEF") (10 0.0 2.0 0.0) (40 . 0.5) (1 . "V") (2 . "TAG") (3 . "Tag?") (70 . 0)))
(entmake '((0 . "ENDBLK")))
(setq ln (entmakex '((0 . "LINE") (10 0.0 0.0 0.0) (11 10.0 0.0 0.0)))
      tx (entmakex '((0 . "MTEXT") (10 5.0 5.0 0.0) (40 . 2.5) (1 . "Note")))
      ins (entmakex '((0 . "INSERT") (2 . "Mark") (10 3.0 3.0 0.0))))
;; (function arguments inputs-before-escape prompt-escaped cancel-result)
(setq rows
  (list
    (list 'AcDbBlockReference::Jig '(T 1 1 nil "Mark") '("~1,1") "\nSpecify insertion point: " nil)
    (list 'AcDbBlockReference::Jig '(T 1 1 nil "Mark") '("1,1" "~2,2") "\nSpecify rotation angle <0>: " nil)
    (list 'AcDbBlockReference::Jig '(T 1 1 (4 4) "Mark") '() "\nSpecify rotation angle <0>: " nil)
    (list 'nv_nv-multiMoveJig (list "\nTo: " '(0 0) (list ln tx ins)) '("~5,5") "\nTo: " nil)
    (list 'nv_nv-multiRotateJig (list "\nBy: " '(0 0) (list ln tx ins)) '("~0,5") "\nBy: " nil)
    (list 'nv_nv-rotateJig (list tx "\nTurn: ") '("~9,9") "\nTurn: " nil)
    (list 'nv_nv-rotateJig (list ins "\nTurn: ") '() "\nTurn: " nil)
    (list 'RectangleJig '(2 3) '("~1,1") "\nSpecify insertion point or [Corner/Middle]: " nil)
    (list 'RectangleJig '(2 3) '("C" "M") "\nSpecify insertion point or [Corner/Middle]: " nil)
    (list 'RectangleJig '(2 3) '("1,1" "~3,3") "\nSpecify rotation: " nil)
    (list 'nv_nv-lineJig '("") '("~1,1") "\nSpecify start point: " nil)
    (list 'nv_nv-lineJig '("0") '("1,1" "2,2" "~3,3") "\nSpecify next point: " nil)
    (list 'nv_nv-lineJig '("" (1 1)) '() "\nSpecify next point: " nil)
    (list 'nv_nv-textJig '("Hi" "Standard" 2.5 "0") '("~4,4") "\nSpecify text insertion point: " nil)))
(defun sweep-fails (row / before result drags)
  (setq before (drawing))
  (host:jigs)
  (if (caddr row) (apply 'host:input (caddr row)))
  (host:input "*cancel*")
  (setq result (apply (car row) (cadr row)))
  (setq drags (host:jigs))
  (if (and (equal result (nth 4 row)) (equal (drawing) before)
           (equal (car (car (reverse drags))) (nth 3 row)) (= (caddr (car (reverse drags))) -4))
    nil
    (list (car row) (caddr row) result (mapcar 'car drags))))
(setq before (drawing))
(vl-remove 'nil (mapcar 'sweep-fails rows))
;=>nil
;; The same with the queue simply running dry.
(defun dry-fails (row / result)
  (if (caddr row) (apply 'host:input (caddr row)))
  (setq result (apply (car row) (cadr row)))
  (if (equal result (nth 4 row)) nil (list (car row) result)))
(vl-remove 'nil (mapcar 'dry-fails rows))
;=>nil
(equal (drawing) before)
;=>T
;; After all of that the jigs still work: a reference with its attribute (the entities
;; added since, newest first).
(host:input "7,7")
(mapcar 'car (AcDbBlockReference::Jig nil 1 1 nil "Mark"))
;=>("obj")
(mapcar '(lambda (e) (cdr (assoc 0 e))) (reverse (cdr (member (car before) (reverse (drawing))))))
;=>("SEQEND" "ATTRIB" "INSERT")
