;; Angle requests and the drawing's angle system (ANGBASE, ANGDIR).
;; Each row: typed angle in degrees, what getangle and getorient answer with zero to
;; the north and angles clockwise.
(setq rows '(("0" 0.0 1.5708) ("-90" 1.5708 3.14159) ("180" 3.14159 4.71239)
             ("90" 4.71239 0.0) ("45" 5.49779 0.785398)))
(setvar "ANGBASE" (/ pi 2))
(setvar "ANGDIR" 1)
(defun answers (row / a o)
  (host:input (car row))
  (setq a (getangle))
  (host:input (car row))
  (setq o (getorient))
  (list a o))
(defun close-to (got want)
  (and (equal (car got) (cadr want) 1e-5) (equal (cadr got) (caddr want) 1e-5)))
(vl-remove-if '(lambda (row) (close-to (answers row) row)) rows)
;=>nil
;; Two points give a direction: getorient keeps it, getangle measures it from ANGBASE
;; counter-clockwise, ANGDIR or not.
(host:input "0,1")
(getorient '(0 0))
;=>1.5708
(host:input "0,1")
(getangle '(0 0))
;=>0.0
(host:input "-1,0")
(getangle '(0 0))
;=>1.5708
(host:input "5,5" "5,3")
(getangle)
;=>3.14159
;; Counter-clockwise again, zero to the west.
(setvar "ANGDIR" 0)
(setvar "ANGBASE" pi)
(host:input "90" "90")
(list (getangle) (getorient))
;=>(1.5708 4.71239)
(host:input "0,-1")
(getorient '(0 0))
;=>4.71239
(host:input "0,-1")
(getangle '(0 0))
;=>1.5708
;; The defaults: zero to the east, counter-clockwise.
(setvar "ANGBASE" 0.0)
(host:input "30" "30" "-30")
(list (getangle) (getorient) (getangle))
;=>(0.523599 0.523599 5.75959)
