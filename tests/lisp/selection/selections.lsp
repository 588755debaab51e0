;; Selections returned as lists of entity names, over a drawing built here. Each entity
;; is known by a letter; the expected letters are worked out from the geometry below.
;;
;;   A circle r1 at (6,7)            B line (1,1)-(3,1)         C line (2,8)-(10,8)
;;   D line (20,20)-(25,25)          E lwpolyline (11,5)-(15,5)-(15,2)
;;   F circle r1 at (6,2), layer "Frozen" (frozen)              G insert "Valve" at (2,2)
;;   H insert "Pump" at (30,30)      K 2D polyline (20,0)-(22,0), layer "Locked" (locked)
;;   P circle r1 at (5,5) in paper space
;;
;; The window (0,0)-(9,9) holds A, B, F and G and cuts C. The U-shaped polygon
;; (0,0) (12,0) (12,10) (8,10) (8,4) (4,4) (4,10) (0,10) has a notch 4<x<8, y>4: A lies
;; in the notch (inside the polygon's bounds, outside the polygon), C crosses the notch,
;; E crosses the right edge.
(defun outcome (f args / r)
  (setq r (vl-catch-all-apply f args))
  (if (vl-catch-all-error-p r) (vl-catch-all-error-message r) r))
(setq names nil)
(defun add (letter data) (entmake data) (setq names (cons (cons (entlast) letter) names)) letter)
(defun letters (found)
  (if (and found (listp found))
    (apply 'strcat (mapcar '(lambda (e) (cond ((cdr (assoc e names))) ((= (type e) 'ENAME) "?") ("!"))) found))
    found))
(progn
  (entmake '((0 . "LAYER") (100 . "AcDbSymbolTableRecord") (100 . "AcDbLayerTableRecord") (2 . "Frozen") (70 . 1) (62 . 7)))
  (entmake '((0 . "LAYER") (100 . "AcDbSymbolTableRecord") (100 . "AcDbLayerTableRecord") (2 . "Locked") (70 . 4) (62 . 7)))
  (entmake '((0 . "BLOCK") (2 . "Valve") (70 . 0) (10 0.0 0.0 0.0)))
  (entmake '((0 . "CIRCLE") (10 0.0 0.0 0.0) (40 . 0.5)))
  (entmake '((0 . "ENDBLK")))
  (entmake '((0 . "BLOCK") (2 . "Pump") (70 . 0) (10 0.0 0.0 0.0)))
  (entmake '((0 . "LINE") (10 0.0 0.0 0.0) (11 1.0 0.0 0.0)))
  (entmake '((0 . "ENDBLK")))
  (mapcar 'cdr (list (assoc 70 (tblsearch "LAYER" "Frozen")) (assoc 70 (tblsearch "LAYER" "Locked")))))
;=>(1 4)
(add "A" '((0 . "CIRCLE") (10 6.0 7.0 0.0) (40 . 1.0)))
(add "B" '((0 . "LINE") (10 1.0 1.0 0.0) (11 3.0 1.0 0.0)))
(add "C" '((0 . "LINE") (10 2.0 8.0 0.0) (11 10.0 8.0 0.0)))
(add "D" '((0 . "LINE") (10 20.0 20.0 0.0) (11 25.0 25.0 0.0)))
(add "E" '((0 . "LWPOLYLINE") (100 . "AcDbEntity") (100 . "AcDbPolyline") (90 . 3) (70 . 0)
           (10 11.0 5.0) (10 15.0 5.0) (10 15.0 2.0)))
(add "F" '((0 . "CIRCLE") (8 . "Frozen") (10 6.0 2.0 0.0) (40 . 1.0)))
(add "G" '((0 . "INSERT") (2 . "Valve") (10 2.0 2.0 0.0)))
(add "H" '((0 . "INSERT") (2 . "Pump") (10 30.0 30.0 0.0)))
(progn
  (entmake '((0 . "POLYLINE") (8 . "Locked") (66 . 1) (10 0.0 0.0 0.0)))
  (entmake '((0 . "VERTEX") (8 . "Locked") (10 20.0 0.0 0.0)))
  (entmake '((0 . "VERTEX") (8 . "Locked") (10 22.0 0.0 0.0)))
  (entmake '((0 . "SEQEND")))
  (setq names (cons (cons (entlast) "K") names))
  (cdr (assoc 0 (entget (entlast)))))
;=>"POLYLINE"
(add "P" '((0 . "CIRCLE") (67 . 1) (10 5.0 5.0 0.0) (40 . 1.0)))

;; The whole drawing, walked without the functions under test, to show at the end that
;; selecting changed nothing.
(defun drawing (/ e out)
  (setq e (entnext))
  (while e (setq out (cons (entget e) out) e (entnext e)))
  out)
(setq snapshot (drawing))

;; Model-space scans: drawing order, model space only, no layer filter (F is frozen,
;; K locked), each class by its own test.
(mapcar 'letters (list (ssgetX-all) (ssgetX-circle) (ssgetX-polyline) (ssgetX-block)))
;=>("ABCDEFGHK" "AF" "E" "GH")
(mapcar '(lambda (n) (letters (ssgetX-block n))) (list "Valve" "valve" "VALVE" "pump" "Nothing" "" 5 nil))
;=>("G" "G" "G" "H" nil nil "GH" "GH")
(letters (ssgetX-all "ignored" 1 2))
;=>"ABCDEFGHK"

;; Crossing windows: inside or cut by the window, either corner first; the filter.
(setq rows
  (list
    (list "window" (list '(0 0) '(9 9)) "ABCFG")
    (list "corners swapped" (list '(9 0) '(0 9)) "ABCFG")
    (list "corners as numbers" (list 9 9 0 0 0 0) "ABCFG")
    (list "cuts C only" (list '(9 7.5) '(9.5 8.5)) "C")
    (list "inside circle A" (list '(5.8 6.8) '(6.2 7.2)) nil)
    (list "empty region" (list '(40 40) '(50 50)) nil)
    (list "circles" (list '(0 0) '(9 9) '((0 . "CIRCLE"))) "AF")
    (list "pairs in a row" (list '(0 0) '(9 9) '(0 . "LINE") '(8 . "0")) "BC")
    (list "layer" (list '(0 0) '(20 20) '((8 . "Frozen"))) "F")
    (list "wildcard" (list '(0 0) '(20 20) '((0 . "C*,INSERT"))) "AFG")
    (list "or" (list '(0 0) '(20 20) '((-4 . "<OR") (0 . "LWPOLYLINE") (2 . "Valve") (-4 . "OR>"))) "EG")
    (list "radius" (list '(0 0) '(20 20) '((0 . "CIRCLE") (-4 . ">=") (40 . 1))) "AF")
    (list "centre" (list '(0 0) '(20 20) '((10 6.0 7.0 0.0))) "A")
    (list "nil filter" (list '(0 0) '(9 9) nil) "ABCFG")
    (list "no filter" (list '(0 0) '(9 9) '((0 "LINE"))) nil)
    (list "unknown group" (list '(0 0) '(9 9) '((5000 . 1))) nil)))
(vl-remove-if '(lambda (r) (equal (letters (outcome 'ssgetC (cadr r))) (caddr r))) rows)
;=>nil

;; Crossing polygons: the concave U, given point by point or as one list.
(setq u '((0 0) (12 0) (12 10) (8 10) (8 4) (4 4) (4 10) (0 10)))
(letters (apply 'ssgetCP u))
;=>"BCEFG"
(letters (ssgetCP u))
;=>"BCEFG"
(letters (ssgetCP '(4.5 4.5) '(7.5 4.5) '(7.5 9.5) '(4.5 9.5)))
;=>"AC"
(mapcar '(lambda (a) (outcome 'ssgetCP a)) (list nil '((0 0) (12 0)) '("x" 1 2)))
;=>(nil nil nil)

;; An erased entity drops out of every selection, and comes back with it.
(setq b (car (nth 0 (vl-remove-if-not '(lambda (p) (= (cdr p) "B")) names))))
(progn (entdel b) (mapcar 'letters (list (ssgetX-all) (ssgetC '(0 0) '(9 9)) (ssgetCP u))))
;=>("ACDEFGHK" "ACFG" "CEFG")
(progn (entdel b) (letters (ssgetC '(0 0) '(3 3))))
;=>"BG"

;; Interactive selections with the program's prompts and keywords.
(host:input "2,1" "7,2" "")
(letters (ssgetPK "\nPick pipes: " "\nDrop pipes: " ""))
;/
;/Pick pipes: 
;=>"BF"
(host:input "2,1" "7,2" "r" "2,1" "")
(letters (ssgetPK "\nPick pipes: " "\nDrop pipes: " ""))
;/
;/Pick pipes: 
;/Drop pipes: 
;=>"F"
(host:input "2,1" "")
(letters (ssgetPK nil nil nil))
;/
;/Select objects: 
;=>"B"
;; A keyword ends the selection with what was chosen before it, abbreviation or full.
(host:input "2,1" "d")
(letters (ssgetPK "\nPick: " "" "Done Undo"))
;/
;/Pick: 
;=>"B"
(host:input "7,7" "Done")
(letters (ssgetPK nil nil "Done"))
;/
;/Select objects: 
;=>"A"
;; An empty select prompt leaves the host's prompts, and the keywords still count.
(host:input "2,1" "d")
(letters (ssgetPK "" "\nDrop: " "Done"))
;/
;/Select objects: 
;=>"B"
;; Not strings in the first three places are passed over: the filter is still fourth.
(host:input "all" "")
(letters (ssgetPK 1 2 3 '((0 . "CIRCLE"))))
;/
;/Select objects: 
;=>"AF"
(host:input "c" "0,0" "9,9" "")
(letters (ssgetPK "\nPick: " "" "" '((0 . "LINE"))))
;/
;/Pick: 
;/Specify first corner: 
;/Specify opposite corner: 
;=>"BC"
(host:input "c" "0,0" "9,9" "")
(letters (ssgetPK "\nPick: " "" "" nil))
;/
;/Pick: 
;/Specify first corner: 
;/Specify opposite corner: 
;=>"ABCFG"
;; Escape, Enter at once, a miss: nil.
(host:input "2,1" "*cancel*")
(ssgetPK "\nPick: " "" "")
;/
;/Pick: 
;=>nil
(host:input "")
(ssgetPK "\nPick: " "" "")
;/
;/Pick: 
;=>nil
(host:input "50,50" "")
(ssgetPK "\nPick: " "" "")
;/
;/Pick: 
;=>nil
(ssgetPK "\nPick: " "" "" '((0 "LINE")))
;=>nil

;; Nothing of the drawing changed.
(equal snapshot (drawing))
;=>T

;; Circles only in paper space: the circle scan finds none; an empty model space gives
;; nil from every scan.
(host:new-drawing)
(entmake '((0 . "CIRCLE") (67 . 1) (10 5.0 5.0 0.0) (40 . 1.0)))
(list (ssgetX-circle) (ssgetX-all) (ssgetX-block) (ssgetX-polyline) (ssgetC '(0 0) '(9 9)))
;=>(nil nil nil nil nil)
(entmake '((0 . "CIRCLE") (10 1.0 1.0 0.0) (40 . 1.0)))
(length (ssgetX-circle))
;=>1

;; A large circle is cut by tiny windows on its rim wherever they sit, and not by those
;; just inside or outside it (its curve, not chords of it, is what counts).
(entmake '((0 . "CIRCLE") (10 0.0 0.0 0.0) (40 . 100.0)))
(setq big (entlast))
(defun rim-window (angle radius / x y)
  (setq x (* radius (cos angle)) y (* radius (sin angle)))
  (ssgetC (list (- x 0.002) (- y 0.002)) (list (+ x 0.002) (+ y 0.002))))
(mapcar '(lambda (a) (equal (rim-window a 100.0) (list big))) '(0.0123 0.0245 0.5 1.7 3.3 5.1))
;=>(T T T T T T)
(mapcar '(lambda (a) (list (rim-window a 99.99) (rim-window a 100.01))) '(0.0245 1.7))
;=>((nil nil) (nil nil))

;; Wrong arguments: a missing or unreadable corner is the wrong-type error.
(outcome 'ssgetC nil)
;/
;/Wrong type of arguments passed.
;=>"ADS request error"
(outcome 'ssgetC '((0 0)))
;/
;/Wrong type of arguments passed.
;=>"ADS request error"
(outcome 'ssgetC '("a" (1 1)))
;/
;/Wrong type of arguments passed.
;=>"ADS request error"
;; Two numbers and a third make one 3D point, so four numbers leave no second corner.
(outcome 'ssgetC '(0 0 9 9))
;/
;/Wrong type of arguments passed.
;=>"ADS request error"
