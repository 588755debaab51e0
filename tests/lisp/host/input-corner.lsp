;; getcorner answers a point in the construction plane: a typed Z gives way to the
;; current elevation (ELEVATION).
(getvar "ELEVATION")
;=>0.0
(host:input "5,6,7")
(getcorner '(1 1 4))
;=>(5.0 6.0 0.0)
(setvar "ELEVATION" 2.5)
(host:input "5,6,7" "3,4")
(list (getcorner '(1 1)) (getcorner '(1 1 9)))
;=>((5.0 6.0 2.5) (3.0 4.0 2.5))
;; getpoint keeps the Z it is given.
(host:input "5,6,7")
(getpoint)
;=>(5.0 6.0 7.0)
