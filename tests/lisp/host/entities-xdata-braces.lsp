;; Extended data: the 1002 control strings "{" and "}" must pair up within each
;; application; entmake and entmod refuse data whose braces do not.
(regapp "NORVANE")
(regapp "SECOND")
(setq e (entmakex '((0 . "LINE") (10 0 0 0) (11 5 5 0)
                    (-3 ("NORVANE" (1000 . "kept"))))))
;; Each row: the application items, whether the host takes them.
(setq rows
  '((((1002 . "{") (1000 . "a") (1002 . "}")) T)
    (((1002 . "{") (1002 . "{") (1070 . 1) (1002 . "}") (1002 . "}")) T)
    (((1002 . "{") (1002 . "}") (1002 . "{") (1002 . "}")) T)
    (((1000 . "no braces")) T)
    (((1002 . "{") (1000 . "a")) nil)
    (((1000 . "a") (1002 . "}")) nil)
    (((1002 . "}") (1002 . "{")) nil)
    (((1002 . "{") (1002 . "{") (1002 . "}")) nil)
    (((1002 . "(")) nil)
    (((1002 . "")) nil)))
(defun made (items)
  (if (entmake (list '(0 . "LINE") '(10 0 0 0) '(11 1 1 0) (list -3 (cons "NORVANE" items))))
    T))
(defun modified (items)
  (if (entmod (list (cons -1 e) (list -3 (cons "NORVANE" items)))) T))
(vl-remove-if '(lambda (row) (and (eq (made (car row)) (cadr row))
                                  (eq (modified (car row)) (cadr row))))
              rows)
;=>nil
;; A refused entmod leaves the entity's data as it was (the last row taken).
(entmod (list (cons -1 e) '(-3 ("NORVANE" (1002 . "{") (1000 . "new")))))
;=>nil
(cdr (assoc -3 (entget e '("NORVANE"))))
;=>(("NORVANE" (1000 . "no braces")))
;; Braces close within their application: one left open before the next is refused.
(entmake '((0 . "LINE") (10 0 0 0) (11 1 1 0)
           (-3 ("NORVANE" (1002 . "{")) ("SECOND" (1002 . "}")))))
;=>nil
(entmake '((0 . "LINE") (10 0 0 0) (11 1 1 0)
           (-3 ("NORVANE" (1002 . "{") (1002 . "}")) ("SECOND" (1002 . "{") (1002 . "}")))))
;=>((0 . "LINE") (10 0 0 0) (11 1 1 0) (-3 ("NORVANE" (1002 . "{") (1002 . "}")) ("SECOND" (1002 . "{") (1002 . "}"))))
;; Table records take the same check.
(entmake '((0 . "LAYER") (2 . "BRACES") (70 . 0) (62 . 1) (6 . "Continuous")
           (-3 ("NORVANE" (1002 . "{")))))
;=>nil
(tblsearch "LAYER" "BRACES")
;=>nil
