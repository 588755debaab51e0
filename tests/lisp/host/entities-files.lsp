;; Entities made from LISP keep their data through a DXF save and open.
(regapp "NORVANE")
(entmake '((0 . "LINE") (8 . "DUCT") (62 . 1) (10 1.0 2.0 0.0) (11 4.0 6.0 0.0) (-3 ("NORVANE" (1000 . "Size") (1071 . 12)))))
(entmake '((0 . "TEXT") (10 1.0 1.0 0.0) (40 . 0.5) (1 . "Café") (50 . 0.5)))
(entmake '((0 . "LWPOLYLINE") (90 . 2) (70 . 0) (10 0.0 0.0) (10 3.0 4.0)))
(setq handles (mapcar '(lambda (s) (cdr (assoc 5 (entget (ssname (ssget "X" (list (cons 0 s))) 0)))))
                      '("LINE" "TEXT" "LWPOLYLINE")))
(defun strip (d) (vl-remove-if '(lambda (g) (member (car g) '(-1 330))) d))
(setq before (mapcar '(lambda (h) (strip (entget (handent h) '("*")))) handles))
(host:save-as "entities-saved.dxf")
;=>T
(host:close-drawing)
;=>T
(host:open-drawing "entities-saved.dxf")
;=>"entities-saved.dxf"
(setq after (mapcar '(lambda (h) (strip (entget (handent h) '("*")))) handles))
(equal before after 1e-12)
;=>T
(cdr (assoc -3 (car after)))
;=>(("NORVANE" (1000 . "Size") (1071 . 12)))
(cdr (assoc 1 (cadr after)))
;=>"Café"
