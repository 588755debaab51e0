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
