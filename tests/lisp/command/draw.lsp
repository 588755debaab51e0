;; The drawing and editing commands driven by a drafting program's routines written
;; with command: the entities they make and change, read back through entget.
(setvar "CMDECHO" 0)
;=>0
(defun field (code e) (cdr (assoc code (entget e))))
;=>FIELD

;; A closed outline of lines, a relative point among the points.
(command "_.LINE" '(0 0) '(10 0) "@0,5" "_C")
;=>nil
(list (field 0 (entlast)) (field 10 (entlast)) (field 11 (entlast)))
;=>("LINE" (10.0 5.0 0.0) (0.0 0.0 0.0))

;; Circle and arc, on the current layer.
(command "_.-LAYER" "_M" "E-LITE" "")
;=>nil
(command "_.CIRCLE" '(20 0) "_D" 4)
;=>nil
(mapcar '(lambda (c) (field c (entlast))) '(0 8 10 40))
;=>("CIRCLE" "E-LITE" (20.0 0.0 0.0) 2.0)
(command "_.ARC" "_C" '(0 0) '(5 0) "_A" 90)
;=>nil
(mapcar '(lambda (c) (field c (entlast))) '(0 10 40 50 51))
;=>("ARC" (0.0 0.0 0.0) 5.0 0.0 1.5708)

;; A polyline with an arc segment and a width.
(command "_.PLINE" '(0 20) "_W" 0.5 "" '(10 20) "_A" '(10 30) "_L" '(0 30) "")
;=>nil
(list (field 0 (entlast)) (field 43 (entlast))
      (vl-remove-if-not '(lambda (p) (member (car p) '(10 42))) (entget (entlast))))
;=>("LWPOLYLINE" 0.5 ((10 0.0 20.0) (10 10.0 20.0) (42 . 1.0) (10 10.0 30.0) (10 0.0 30.0)))

;; Text with the current size and a rectangle.
(command "_.TEXT" '(1 1) 3.5 0 "ROOM 101")
;=>nil
(mapcar '(lambda (c) (field c (entlast))) '(0 1 40))
;=>("TEXT" "ROOM 101" 3.5)
(command "_.RECTANG" '(30 0) '(40 8))
;=>nil
(list (field 0 (entlast)) (field 70 (entlast)) (length (vl-remove-if-not '(lambda (p) (= (car p) 10)) (entget (entlast)))))
;=>("LWPOLYLINE" 1 4)

;; A block with an attribute, inserted as programs do: name, point, scales, rotation,
;; then the attribute value.
(entmake '((0 . "BLOCK") (2 . "FIX") (70 . 2) (10 0.0 0.0 0.0)))
(entmake '((0 . "CIRCLE") (10 0.0 0.0 0.0) (40 . 1.0)))
(entmake '((0 . "ATTDEF") (10 0.0 1.5 0.0) (40 . 1.0) (1 . "A") (3 . "Fixture type") (2 . "TYPE") (70 . 0)))
(entmake '((0 . "ENDBLK")))
;=>"FIX"
(setvar "ATTREQ" 1)
;=>1
(command "_.INSERT" "FIX" '(50 50) 2 2 90 "B2")
;=>nil
(setq fix (entlast))
(list (field 2 fix) (field 10 fix) (field 41 fix) (field 50 fix))
;=>("FIX" (50.0 50.0 0.0) 2.0 1.5708)
(mapcar '(lambda (c) (field c (entnext fix))) '(0 2 1 10))
;=>("ATTRIB" "TYPE" "B2" (47.0 50.0 0.0))

;; Editing: move, copy, rotate, scale and mirror, each answered with entity names.
(command "_.MOVE" fix "" '(50 50) '(60 50))
;=>nil
(field 10 fix)
;=>(60.0 50.0 0.0)
(command "_.COPY" fix "" '(0 0) '(0 10) '(0 20) "")
;=>nil
(field 10 (entlast))
;=>(60.0 70.0 0.0)
(command "_.ROTATE" (entlast) "" '(60 70) 90)
;=>nil
(field 50 (entlast))
;=>3.14159
(command "_.SCALE" (entlast) "" '(60 70) 0.25)
;=>nil
(field 41 (entlast))
;=>0.5
(command "_.MIRROR" fix "" '(0 0) '(0 10) "_Y")
;=>nil
(list (field 10 (entlast)) (entget fix))
;=>((-60.0 50.0 0.0) nil)

;; The mirrored copy: a negative X scale and the block's X axis, which pointed north,
;; still pointing north (a turn of 270 degrees with the negative scale); the
;; attribute keeps its turn of 90 degrees and reads forwards.
(list (field 41 (entlast)) (field 50 (entlast)) (field 50 (entnext (entlast))))
;=>(-2.0 4.71239 1.5708)

;; Exploding the rectangle leaves four lines; erasing takes the last one.
(setq rect (ssget "_X" '((0 . "LWPOLYLINE") (70 . 1))))
(command "_.EXPLODE" rect "")
;=>nil
(sslength (ssget "_X" '((0 . "LINE"))))
;=>7
(command "_.ERASE" (entlast) "")
;=>nil
(sslength (ssget "_X" '((0 . "LINE"))))
;=>6

;; UNDO Back takes back drawing and editing commands alike, to the mark.
(setq before (list (sslength (ssget "_X")) (field 10 (entlast))))
(command "_.UNDO" "_Mark")
;=>nil
(command "_.PLINE" '(0 0) '(5 5) '(10 0) "")
(command "_.MOVE" (ssget "_X" '((0 . "CIRCLE"))) "" '(0 0) '(1 1))
(command "_.ERASE" (ssget "_X" '((0 . "LINE"))) "")
(command "_.UNDO" "_Back")
;=>nil
(equal before (list (sslength (ssget "_X")) (field 10 (entlast))))
;=>T
(field 10 (ssname (ssget "_X" '((0 . "CIRCLE") (40 . 2.0))) 0))
;=>(20.0 0.0 0.0)
