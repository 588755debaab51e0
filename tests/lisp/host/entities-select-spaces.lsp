;; ssget "X" selects the whole drawing, paper space included; window and pick modes
;; stay in model space.
(entmake '((0 . "LINE") (10 0 0 0) (11 4 0 0)))
(entmake '((0 . "CIRCLE") (10 1 1 0) (40 . 0.5)))
(entmake '((0 . "CIRCLE") (67 . 1) (10 1 1 0) (40 . 0.5)))
(entmake '((0 . "LINE") (410 . "Layout1") (10 0 0 0) (11 4 0 0)))
(entmake '((0 . "TEXT") (67 . 1) (10 2 2 0) (40 . 0.25) (1 . "sheet")))
(defun count (s) (if s (sslength s) 0))
;; Each row: the filter, how many "X" selects.
(setq rows '((nil 5) (((0 . "CIRCLE")) 2) (((0 . "LINE")) 2) (((0 . "TEXT")) 1)
             (((67 . 1)) 3) (((410 . "Layout1")) 3) (((410 . "Model")) 2)
             (((-4 . "<NOT") (67 . 1) (-4 . "NOT>")) 2)))
(vl-remove-if '(lambda (row) (= (count (ssget "X" (car row))) (cadr row))) rows)
;=>nil
;; The paper-space members are the paper-space entities.
(setq s (ssget "X" '((0 . "TEXT"))))
(cdr (assoc 410 (entget (ssname s 0))))
;=>"Layout1"
;; A crossing window over both spaces' geometry takes the model-space entities only.
(count (ssget "C" '(-1 -1) '(5 5)))
;=>2
