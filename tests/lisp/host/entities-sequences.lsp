;; Complex entities: a POLYLINE with its VERTEXes, an INSERT with its ATTRIBs, each
;; ended by a SEQEND.
(entmake '((0 . "BLOCK") (2 . "TAG") (70 . 2) (10 0.0 0.0 0.0)))
(entmake '((0 . "ATTDEF") (10 0.0 0.0 0.0) (40 . 0.25) (1 . "") (2 . "NUM") (3 . "Number") (70 . 0)))
(entmake '((0 . "ENDBLK")))
;=>"TAG"
(defun make-polyline (layer)
  (entmake (list '(0 . "POLYLINE") '(66 . 1) '(10 0.0 0.0 0.0) (cons 8 layer)))
  (entmake '((0 . "VERTEX") (10 0.0 0.0 0.0)))
  (entmake '((0 . "VERTEX") (10 4.0 3.0 0.0)))
  (entmake '((0 . "SEQEND"))))
(defun make-insert (layer)
  (entmake (list '(0 . "INSERT") '(66 . 1) '(2 . "TAG") '(10 1.0 1.0 0.0) (cons 8 layer)))
  (entmake '((0 . "ATTRIB") (10 1.0 1.0 0.0) (40 . 0.25) (1 . "7") (2 . "NUM") (70 . 0)))
  (entmake '((0 . "ATTRIB") (10 1.0 2.0 0.0) (40 . 0.25) (1 . "8") (2 . "NUM2") (70 . 0)))
  (entmake '((0 . "SEQEND"))))
;; The SEQEND after a sequence's parts.
(defun sequence-end (head / e)
  (setq e (entnext head))
  (while (/= (cdr (assoc 0 (entget e))) "SEQEND") (setq e (entnext e)))
  e)

;; entget of a SEQEND ends with -2, the entity that began the sequence (its owner).
;; Each row: the maker, the head's type.
(setq rows '((make-polyline "POLYLINE") (make-insert "INSERT")))
(defun check-end (row / head end d)
  (apply (car row) (list "WALLS"))
  (setq head (entlast) end (sequence-end head) d (entget end))
  (list (cdr (assoc 0 (entget head)))
        (equal (cdr (assoc -2 d)) head)
        (equal (cdr (assoc 330 d)) head)
        (car (last d))))
(mapcar 'check-end rows)
;=>(("POLYLINE" T T -2) ("INSERT" T T -2))
;; entmod of a SEQEND's own list changes nothing of what it names.
(setq end (sequence-end (entlast)) d (entget end))
(equal (entmod d) d)
;=>T
(equal (entget end) d)
;=>T

;; Complex entities inside a block definition: made with the block at its ENDBLK.
(entmake '((0 . "BLOCK") (2 . "FRAME") (70 . 0) (10 0.0 0.0 0.0)))
(entmake '((0 . "LINE") (10 0 0 0) (11 1 0 0)))
(make-polyline "0")
;=>((0 . "SEQEND"))
(make-insert "0")
;=>((0 . "SEQEND"))
(entmake '((0 . "CIRCLE") (10 0 0 0) (40 . 1.0)))
;; Nothing of it exists before the ENDBLK, and entmakex names nothing yet.
(tblsearch "BLOCK" "FRAME")
;=>nil
(entmake '((0 . "ENDBLK")))
;=>"FRAME"
;; The definition's entities in order, each complex one followed by its parts.
(defun walk (e / all)
  (while e (setq all (cons (cdr (assoc 0 (entget e))) all) e (entnext e)))
  (reverse all))
(walk (cdr (assoc -2 (tblsearch "BLOCK" "FRAME"))))
;=>("LINE" "POLYLINE" "VERTEX" "VERTEX" "SEQEND" "INSERT" "ATTRIB" "ATTRIB" "SEQEND" "CIRCLE")
;; Their data as made: vertex points, attribute values, and the SEQENDs' -2.
(setq p (entnext (cdr (assoc -2 (tblsearch "BLOCK" "FRAME")))))
(mapcar '(lambda (e) (cdr (assoc 10 (entget e)))) (list (entnext p) (entnext (entnext p))))
;=>((0.0 0.0 0.0) (4.0 3.0 0.0))
(equal (cdr (assoc -2 (entget (sequence-end p)))) p)
;=>T
(setq i (entnext (sequence-end p)))
(mapcar '(lambda (e) (cdr (assoc 1 (entget e)))) (list (entnext i) (entnext (entnext i))))
;=>("7" "8")
(equal (cdr (assoc -2 (entget (sequence-end i)))) i)
;=>T
;; The insert of the block in the drawing shows its polyline and its insert.
(entmake '((0 . "INSERT") (2 . "FRAME") (10 10.0 10.0 0.0)))
(cdr (assoc 2 (entget (entlast))))
;=>"FRAME"
;; A complex entity left without its SEQEND is dropped by the ENDBLK, not made.
(entmake '((0 . "BLOCK") (2 . "OPEN") (70 . 0) (10 0.0 0.0 0.0)))
(entmake '((0 . "POLYLINE") (66 . 1) (10 0.0 0.0 0.0)))
(entmake '((0 . "VERTEX") (10 1.0 1.0 0.0)))
(entmake '((0 . "ENDBLK")))
;=>"OPEN"
(cdr (assoc -2 (tblsearch "BLOCK" "OPEN")))
;=>nil
;; The definition saves and reopens with its complex entities whole.
(host:save-as "sequences.dxf")
;=>T
(host:open-drawing "sequences.dxf")
(walk (cdr (assoc -2 (tblsearch "BLOCK" "FRAME"))))
;=>("LINE" "POLYLINE" "VERTEX" "VERTEX" "SEQEND" "INSERT" "ATTRIB" "ATTRIB" "SEQEND" "CIRCLE")
