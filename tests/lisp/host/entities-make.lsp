;; Entities made from association lists, read back with entget.
(entmake '((0 . "LINE") (10 1.0 2.0 0.0) (11 4 6)))
;=>((0 . "LINE") (10 1.0 2.0 0.0) (11 4 6))
(setq e (entlast) d (entget e))
;; The name, the type, the owner and the handle lead, then the groups as in DXF.
(mapcar 'car d)
;=>(-1 0 330 5 100 410 8 100 10 11 210)
(equal (cdr (assoc -1 d)) e)
;=>T
(list (cdr (assoc 0 d)) (cdr (assoc 8 d)) (cdr (assoc 410 d)) (type (cdr (assoc 330 d))) (type (cdr (assoc 5 d))))
;=>("LINE" "0" "Model" ENAME STR)
;; The normal is there even when it is the Z axis.
(cdr (assoc 210 d))
;=>(0.0 0.0 1.0)
;; Integer coordinates become reals; a 2D point gets Z 0.
(list (cdr (assoc 10 d)) (cdr (assoc 11 d)))
;=>((1.0 2.0 0.0) (4.0 6.0 0.0))
;; The owner is model space, whose block record tblobjname cannot name.
(cdr (assoc 0 (entget (cdr (assoc 330 d)))))
;=>"BLOCK_RECORD"
(cdr (assoc 2 (entget (cdr (assoc 330 d)))))
;=>"*Model_Space"

;; A circle on a layer the drawing lacks makes that layer.
(tblsearch "LAYER" "DUCT")
;=>nil
(entmake '((0 . "CIRCLE") (8 . "DUCT") (62 . 1) (10 5.0 5.0 0.0) (40 . 2.5)))
;=>((0 . "CIRCLE") (8 . "DUCT") (62 . 1) (10 5.0 5.0 0.0) (40 . 2.5))
(setq d (entget (entlast)))
(mapcar '(lambda (c) (cdr (assoc c d))) '(0 8 62 10 40))
;=>("CIRCLE" "DUCT" 1 (5.0 5.0 0.0) 2.5)
(cdr (assoc 2 (tblsearch "LAYER" "DUCT")))
;=>"DUCT"

;; Text: angles are radians in entity data.
(entmake (list '(0 . "TEXT") '(10 1.0 1.0 0.0) '(40 . 0.5) '(1 . "Hello") (cons 50 (/ pi 2))))
(setq d (entget (entlast)))
(mapcar '(lambda (c) (cdr (assoc c d))) '(0 1 40 10 7))
;=>("TEXT" "Hello" 0.5 (1.0 1.0 0.0) "Standard")
(equal (cdr (assoc 50 d)) (/ pi 2) 1e-9)
;=>T

;; An arc's angles round trip.
(entmake '((0 . "ARC") (10 0.0 0.0 0.0) (40 . 3.0) (50 . 0.0) (51 . 1.5)))
(setq d (entget (entlast)))
(list (cdr (assoc 0 d)) (cdr (assoc 40 d)) (cdr (assoc 51 d)))
;=>("ARC" 3.0 1.5)

;; A lightweight polyline: vertices are 2D, with their bulges.
(entmake '((0 . "LWPOLYLINE") (100 . "AcDbEntity") (100 . "AcDbPolyline") (90 . 3) (70 . 1)
           (10 0.0 0.0) (10 10.0 0.0) (42 . 1.0) (10 10.0 5.0)))
(setq d (entget (entlast)))
(mapcar 'cdr (vl-remove-if-not '(lambda (g) (= (car g) 10)) d))
;=>((0.0 0.0) (10.0 0.0) (10.0 5.0))
(list (cdr (assoc 0 d)) (cdr (assoc 90 d)) (cdr (assoc 70 d)) (cdr (assoc 42 d)))
;=>("LWPOLYLINE" 3 1 1.0)

;; entmakex gives the new entity's name.
(setq e (entmakex '((0 . "LINE") (10 0 0) (11 1 1))))
(equal e (entlast))
;=>T

;; Paper space by the 67 flag.
(entmake '((0 . "CIRCLE") (67 . 1) (10 0 0 0) (40 . 1.0)))
(setq d (entget (entlast)))
(list (cdr (assoc 67 d)) (cdr (assoc 410 d)))
;=>(1 "Layout1")

;; Lists that make nothing: unknown types, missing groups, unknown linetypes, sizes
;; that are not positive.
(entmake '((0 . "CIRCLE") (10 0 0 0) (40 . 0.0)))
;=>nil
(entmake '((0 . "TEXT") (10 0 0 0) (40 . -1.0) (1 . "x")))
;=>nil
(entmake '((0 . "NO-SUCH-TYPE") (10 0 0 0)))
;=>nil
(getvar "ERRNO")
;=>36
(entmake '((0 . "LINE") (10 0 0 0)))
;=>nil
(entmake '((0 . "CIRCLE") (10 0 0 0) (40 . 1.0) (6 . "NO-SUCH-LINETYPE")))
;=>nil
(entmake '((10 0 0 0) (11 1 1 1)))
;=>nil
(entmake '((0 . "LINE") (10 . "a") (11 1 1 1)))
;!bad DXF group: (10 . "a")
(entmake '((0 . "LINE") (10 0 0 0) 11))
;!bad DXF group: 11
(entmake '((0 . "LINE") (62 . "red") (10 0 0 0) (11 1 1 1)))
;!bad DXF group: (62 . "red")
;; A real colour is truncated, as entmod does.
(entmake '((0 . "LINE") (62 . 1.5) (10 0 0 0) (11 1 1 1)))
(cdr (assoc 62 (entget (entlast))))
;=>1
(entmake "LINE")
;!bad argument type: listp "LINE"
