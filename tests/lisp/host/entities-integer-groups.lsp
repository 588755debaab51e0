;; A real given where an integer group belongs is truncated toward zero, in entmod and
;; entmake alike; one out of the group's range is a bad DXF group.
(entmake '((0 . "LINE") (10 0 0 0) (11 5 5 0)))
(setq e (entlast))
;; Each row: the colour given, the colour the line has after entmod (BYLAYER, 256, is
;; not listed).
(setq rows '((2.7 2) (3.0 3) (0.2 0) (256.9 nil) (7 7) (5.5 5)))
(defun colour-after (given)
  (entmod (list (cons -1 e) (cons 62 given)))
  (cdr (assoc 62 (entget e))))
(vl-remove-if '(lambda (row) (equal (colour-after (car row)) (cadr row))) rows)
;=>nil
;; entmod answers its list as given.
(setq given (list (cons -1 e) '(62 . 4.5)))
(equal (entmod given) given)
;=>T
;; A negative real truncates to a colour the host refuses.
(entmod (list (cons -1 e) '(62 . -1.5)))
;=>nil
(cdr (assoc 62 (entget e)))
;=>4
(entmod (list (cons -1 e) '(62 . 40000.0)))
;!bad DXF group: (62 . 40000.0)
;; 32-bit groups: a lightweight polyline's vertex count and flags.
(entmake '((0 . "LWPOLYLINE") (100 . "AcDbEntity") (100 . "AcDbPolyline") (90 . 2.0) (70 . 1.9)
           (10 0.0 0.0) (10 3.0 4.0)))
(mapcar '(lambda (c) (cdr (assoc c (entget (entlast))))) '(90 70))
;=>(2 1)
(entmake '((0 . "CIRCLE") (10 0 0 0) (40 . 1.0) (62 . 1.99)))
(cdr (assoc 62 (entget (entlast))))
;=>1
