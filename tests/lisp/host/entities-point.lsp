;; POINT entities: made, read, changed, selected, saved and reopened.
(entmake '((0 . "POINT") (10 1.0 2.0 3.0)))
;=>((0 . "POINT") (10 1.0 2.0 3.0))
(setq p (entlast) d (entget p))
(mapcar 'car d)
;=>(-1 0 330 5 100 410 8 100 10 210)
(mapcar '(lambda (c) (cdr (assoc c d))) '(0 100 10 210))
;=>("POINT" "AcDbEntity" (1.0 2.0 3.0) (0.0 0.0 1.0))
(cdr (assoc 100 (cdr (member (assoc 100 d) d))))
;=>"AcDbPoint"
;; Thickness, normal and rotation (radians in entity data) as given.
(entmake (list '(0 . "POINT") '(8 . "MARKS") '(10 5.0 5.0 0.0) '(39 . 2.0) '(210 0.0 1.0 0.0)
               (cons 50 (/ pi 4))))
(setq q (entlast) d (entget q))
(mapcar '(lambda (c) (cdr (assoc c d))) '(8 10 39 210))
;=>("MARKS" (5.0 5.0 0.0) 2.0 (0.0 1.0 0.0))
(equal (cdr (assoc 50 d)) (/ pi 4) 1e-12)
;=>T
;; A point without its position is none.
(entmake '((0 . "POINT") (39 . 1.0)))
;=>nil
;; entmod: each row the group changed and what entget then answers for it.
(setq rows '(((10 7.0 8.0 9.0) (7.0 8.0 9.0)) ((39 . -1.5) -1.5) ((62 . 3) 3)
             ((210 0.0 0.0 2.0) (0.0 0.0 1.0)) ((8 . "OTHER") "OTHER")))
(defun after (row)
  (entmod (list (cons -1 p) (car row)))
  (cdr (assoc (car (car row)) (entget p))))
(vl-remove-if '(lambda (row) (equal (after row) (cadr row))) rows)
;=>nil
;; Selection: windows, crossing and fence by the position; picks by PICKBOX.
(defun count (s) (if s (sslength s) 0))
(setq rows '(("W" (6.0 7.0) (8.0 9.0) 1) ("W" (7.5 7.5) (9.0 9.0) 0)
             ("C" (6.9 7.9) (7.1 8.1) 1) ("W" (0.0 0.0) (10.0 10.0) 2)))
(vl-remove-if '(lambda (row) (= (count (ssget (nth 0 row) (nth 1 row) (nth 2 row))) (nth 3 row)))
              rows)
;=>nil
(count (ssget "X" '((0 . "POINT"))))
;=>2
(host:input "7.05,8.0" "")
(equal (ssname (ssget) 0) p)
;=>T
(host:input "7.5,8.5")
(entsel)
;=>nil
;; Saved as DXF and reopened with every field.
(host:save-as "points.dxf")
;=>T
(host:open-drawing "points.dxf")
(setq s (ssget "X" '((0 . "POINT"))))
(defun fields (e) (mapcar '(lambda (c) (cdr (assoc c (entget e)))) '(8 10 39 210 62)))
(vl-sort (list (fields (ssname s 0)) (fields (ssname s 1))) '(lambda (a b) (< (car a) (car b))))
;=>(("MARKS" (5.0 5.0 0.0) 2.0 (0.0 1.0 0.0) nil) ("OTHER" (7.0 8.0 9.0) -1.5 (0.0 0.0 1.0) 3))
