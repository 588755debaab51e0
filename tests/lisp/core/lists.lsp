;; List functions and equality.
(setq a 123 b '(a))
;=>(A)
(and 1 2)
;=>T
(or nil 5)
;=>T
(/= 10 20 10 20)
;=>T
(vl-sort '(3 2 1 3) '<)
;=>(1 2 3)
(vl-sort-i '(3 2 1 3) '<)
;=>(2 1 3 0)
(last '(a b (c)))
;=>(C)
(car 1)
;!bad argument type: consp 1
(assoc 0 '((0 . "LINE") (8 . "0")))
;=>(0 . "LINE")
(vl-list* 1 2 3)
;=>(1 2 . 3)
(mapcar '(lambda (x) (* x x)) '(1 2 3))
;=>(1 4 9)
