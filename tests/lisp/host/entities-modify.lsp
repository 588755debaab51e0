;; entmod changes layer, colour and geometry; entdel erases and brings back.
(entmake '((0 . "LAYER") (100 . "AcDbSymbolTableRecord") (100 . "AcDbLayerTableRecord") (2 . "NOTES") (70 . 0) (62 . 3)))
;=>((0 . "LAYER") (100 . "AcDbSymbolTableRecord") (100 . "AcDbLayerTableRecord") (2 . "NOTES") (70 . 0) (62 . 3))
(cdr (assoc 62 (tblsearch "LAYER" "NOTES")))
;=>3
(setq e (entmakex '((0 . "LINE") (10 0.0 0.0 0.0) (11 10.0 0.0 0.0))))
(setq d (entget e))
(setq d (subst '(8 . "NOTES") (assoc 8 d) d))
(setq d (subst '(11 3.0 4.0 0.0) (assoc 11 d) d))
(setq d (append d '((62 . 5))))
(equal (entmod d) d)
;=>T
(setq d (entget e))
(mapcar '(lambda (c) (cdr (assoc c d))) '(8 10 11 62))
;=>("NOTES" (0.0 0.0 0.0) (3.0 4.0 0.0) 5)
;; A circle's radius and centre.
(setq c (entmakex '((0 . "CIRCLE") (10 1 1 0) (40 . 1.0))))
(entmod (list (cons -1 c) '(40 . 4.0) '(10 2.0 3.0 0.0)))
(mapcar '(lambda (g) (cdr (assoc g (entget c)))) '(10 40))
;=>((2.0 3.0 0.0) 4.0)
;; Sizes must stay positive, colours within 0..256.
(entmod (list (cons -1 c) '(40 . 0.0)))
;=>nil
(entmod (list (cons -1 c) '(40 . -2.0)))
;=>nil
(entmod (list (cons -1 c) '(62 . 300)))
;=>nil
(cdr (assoc 40 (entget c)))
;=>4.0
;; Without 8 the entity keeps its layer; a new layer name makes the layer.
(entmod (list (cons -1 e) '(62 . 2)))
(cdr (assoc 8 (entget e)))
;=>"NOTES"
(entmod (list (cons -1 e) '(8 . "NEWLAYER")))
(list (cdr (assoc 8 (entget e))) (cdr (assoc 2 (tblsearch "LAYER" "NEWLAYER"))))
;=>("NEWLAYER" "NEWLAYER")
;; A list for another type, or without a name, changes nothing.
(entmod (list (cons -1 e) '(0 . "CIRCLE") '(40 . 2.0)))
;=>nil
(entmod '((0 . "LINE") (10 0 0 0)))
;=>nil
(entmod 5)
;!bad argument type: listp 5

;; entdel erases; again brings the entity back.
(equal (entdel c) c)
;=>T
(entget c)
;=>nil
(entmod (list (cons -1 c) '(40 . 9.0)))
;=>nil
(equal (entdel c) c)
;=>T
(cdr (assoc 40 (entget c)))
;=>4.0
(entdel "x")
;!bad argument type: lentityp "x"
(entget nil)
;!bad argument type: lentityp nil
(entget e 5)
;!bad argument type: listp 5
(entget e '(5))
;!bad argument type: stringp 5
(equal (entupd e) e)
;=>T
