;; ssget "X" filters over what entmake made: wildcards, relational tests, logical
;; groups and extended data.
(regapp "NORVANE")
(entmake '((0 . "LINE") (8 . "DUCT") (62 . 1) (10 0 0 0) (11 10 0 0) (-3 ("NORVANE" (1000 . "a")))))
(entmake '((0 . "LINE") (8 . "NOTES") (10 0 5 0) (11 2 5 0)))
(entmake '((0 . "CIRCLE") (8 . "DUCT") (10 5 5 0) (40 . 1.0)))
(entmake '((0 . "CIRCLE") (8 . "0") (62 . 3) (10 20 5 0) (40 . 4.0) (-3 ("NORVANE" (1000 . "b")))))
(entmake '((0 . "TEXT") (8 . "NOTES") (10 1 1 0) (40 . 0.5) (1 . "Duct A")))
(defun count (filter / s) (if (setq s (ssget "X" filter)) (sslength s) 0))
(mapcar 'count
  '(((0 . "LINE"))
    ((0 . "line,circle"))
    ((0 . "~LINE"))
    ((8 . "DUCT"))
    ((8 . "D*") (0 . "CIRCLE"))
    ((62 . 1))
    ((62 . 256))
    ((410 . "Model"))
    ((1 . "Duct*"))))
;=>(2 4 3 2 1 1 3 5 1)
;; Relational tests.
(mapcar 'count
  '(((0 . "CIRCLE") (-4 . ">") (40 . 2.0))
    ((0 . "CIRCLE") (-4 . "<=") (40 . 1.0))
    ((-4 . "!=") (8 . "DUCT"))
    ((-4 . ">,*,*") (10 4.0 0.0 0.0))
    ((-4 . "=,=,*") (10 0.0 5.0 0.0))
    ((-4 . "*") (40 . 0.0))
    ((-4 . "&") (62 . 2))))
;=>(1 1 3 2 1 3 1)
;; Logical groups.
(mapcar 'count
  '(((-4 . "<OR") (0 . "TEXT") (62 . 3) (-4 . "OR>"))
    ((-4 . "<AND") (0 . "LINE") (8 . "NOTES") (-4 . "AND>"))
    ((-4 . "<NOT") (0 . "LINE") (-4 . "NOT>"))
    ((-4 . "<XOR") (8 . "DUCT") (0 . "CIRCLE") (-4 . "XOR>"))
    ((-4 . "<OR") (-4 . "<AND") (0 . "LINE") (62 . 1) (-4 . "AND>") (0 . "TEXT") (-4 . "OR>"))))
;=>(2 1 3 2 2)
;; Extended data by application.
(mapcar 'count
  '(((-3 ("NORVANE")))
    ((0 . "CIRCLE") (-3 ("NORV*")))
    ((-3 ("OTHER")))))
;=>(2 1 0)
;; Nothing matches: nil, not an empty set.
(ssget "X" '((0 . "ARC")))
;=>nil
;; Erased entities are not selected.
(entdel (ssname (ssget "X" '((0 . "TEXT"))) 0))
(ssget "X" '((0 . "TEXT")))
;=>nil
;; Malformed filters.
(ssget "X" '((-4 . "<OR") (0 . "LINE")))
;!bad SSGET list
(ssget "X" '((-4 . "<NOT") (0 . "LINE") (0 . "CIRCLE") (-4 . "NOT>")))
;!bad SSGET list
(ssget "X" '((-4 . "<FOO") (0 . "LINE") (-4 . "FOO>")))
;!bad SSGET list
(ssget "X" '((-4 . "=")))
;!bad SSGET list
(ssget "X" '((0 . 5)))
;!bad DXF group: (0 . 5)
