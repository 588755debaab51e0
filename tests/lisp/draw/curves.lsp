;; The curve functions on each kind of curve, against lengths and points worked out here
;; from the geometry; and the refusals: another class, an erased entity, a name that is
;; no entity, and wrong arguments.
(defun near (a b) (< (abs (- a b)) 1e-6))
(defun near-point (a b)
  (and (= (length a) 3) (not (member nil (mapcar 'near a (if (= (length b) 2) (append b '(0.0)) b))))))
(defun mk (data) (entmake data) (entlast))
;; The symbol of the leader below: a block holding a circle.
(entmake '((0 . "BLOCK") (2 . "Tag") (70 . 0) (10 0.0 0.0 0.0)))
(entmake '((0 . "CIRCLE") (10 0.0 0.0 0.0) (40 . 1.0)))
(progn (entmake '((0 . "ENDBLK"))) T)
;=>T
(setq ln (mk '((0 . "LINE") (10 0.0 0.0 0.0) (11 3.0 4.0 0.0)))
      ar (mk '((0 . "ARC") (10 0.0 0.0 0.0) (40 . 2.0) (50 . 0.0) (51 . 1.5707963267948966)))
      ci (mk '((0 . "CIRCLE") (10 1.0 1.0 0.0) (40 . 3.0)))
      lw (mk '((0 . "LWPOLYLINE") (100 . "AcDbEntity") (100 . "AcDbPolyline") (90 . 3) (70 . 0)
               (10 0.0 0.0) (10 4.0 0.0) (10 4.0 3.0))))
(progn
  (entmake '((0 . "POLYLINE") (66 . 1) (10 0.0 0.0 0.0)))
  (entmake '((0 . "VERTEX") (10 0.0 0.0 0.0)))
  (entmake '((0 . "VERTEX") (10 0.0 6.0 0.0)))
  (entmake '((0 . "VERTEX") (10 8.0 6.0 0.0)))
  (entmake '((0 . "SEQEND")))
  (setq pl (entlast))
  T)
;=>T
(setq ld (nv_nv-leader-insert '((0 0 0) (30 0 0) (30 40 0)) "0" "Tag" 1))
(mapcar '(lambda (e) (cdr (assoc 0 (entget e)))) (list ln ar ci lw pl ld))
;=>("LINE" "ARC" "CIRCLE" "LWPOLYLINE" "POLYLINE" "NVLEADER")

;; Each row: entity, length, a distance and the point there, a point off the curve and
;; the curve's point nearest it in plan (the curve not extended), that nearest point's
;; distance from the start. A row that fails comes back with what each call gave.
(setq s2 (sqrt 2.0))
(setq rows
  (list
    (list "line" ln 5.0 2.5 '(1.5 2.0 0.0) '(3.0 0.0 7.0) '(1.08 1.44 0.0) 1.8)
    (list "line, near its end" ln 5.0 5.0 '(3.0 4.0 0.0) '(9.0 9.0 0.0) '(3.0 4.0 0.0) 5.0)
    (list "arc" ar pi (/ pi 2) (list s2 s2 0.0) '(5.0 5.0 0.0) (list s2 s2 0.0) (/ pi 2))
    (list "arc, beyond its end" ar pi 0.5 (list (* 2 (cos 0.25)) (* 2 (sin 0.25)) 0.0) '(-3.0 1.0 0.0) '(0.0 2.0 0.0) pi)
    (list "circle" ci (* 6 pi) (* 1.5 pi) '(1.0 4.0 0.0) '(1.0 10.0 0.0) '(1.0 4.0 0.0) (* 1.5 pi))
    (list "lightweight polyline" lw 7.0 5.0 '(4.0 1.0 0.0) '(6.0 2.0 0.0) '(4.0 2.0 0.0) 6.0)
    (list "2D polyline" pl 14.0 9.0 '(3.0 6.0 0.0) '(5.0 20.0 0.0) '(5.0 6.0 0.0) 11.0)))
(defun check (row / e got)
  (setq e (nth 1 row))
  (setq got (list (AcDbCurve::getLength e) (AcDbCurve::getPointAtDist e (nth 3 row))
                  (AcDbCurve::getClosestPointTo e (nth 5 row)) (AcDbCurve::getDistAtPoint e (nth 6 row))))
  (if (and (numberp (car got)) (near (car got) (nth 2 row)) (near-point (cadr got) (nth 4 row))
           (near-point (caddr got) (nth 6 row)) (numberp (cadddr got)) (near (cadddr got) (nth 7 row)))
    nil
    (list (car row) got)))
(vl-remove nil (mapcar 'check rows))
;=>nil

;; The leader's length is the straight distance from its start to its end point, not the
;; 30 + 40 of its legs.
(near (AcDbCurve::getLength ld) 50.0)
;=>T
;; A distance past the end: the host cannot place it, and the point is the origin.
(AcDbCurve::getPointAtDist ln 99)
;=>(0.0 0.0 0.0)
;; A point off the curve has no distance.
(AcDbCurve::getDistAtPoint ln '(1 0 0))
;=>nil
;; Points in every form of the point reader.
(list (near-point (AcDbCurve::getClosestPointTo ln 3 0) '(1.08 1.44 0.0))
      (near (AcDbCurve::getDistAtPoint lw 4 2 0) 6.0)
      (near (AcDbCurve::getDistAtPoint lw '(4 2)) 6.0))
;=>(T T T)

;; Refusals: a text (not a curve), an erased line, the layer table record "0".
(setq tx (mk '((0 . "TEXT") (10 0.0 0.0 0.0) (40 . 1.0) (1 . "x")))
      gone (mk '((0 . "LINE") (10 0.0 0.0 0.0) (11 1.0 0.0 0.0))))
(progn (entdel gone) T)
;=>T
(setq lay (tblobjname "LAYER" "0"))
(defun outcome (f args / r)
  (setq r (vl-catch-all-apply f args))
  (if (vl-catch-all-error-p r) (vl-catch-all-error-message r) r))
(mapcar '(lambda (e) (outcome 'AcDbCurve::getPointAtDist (list e 1))) (list tx gone lay))
;=>(nil nil nil)
(outcome 'AcDbCurve::getLength (list tx))
;/
;/Bad data passed .
;=>"ADS request error"
(outcome 'AcDbCurve::getClosestPointTo (list gone '(0 0)))
;/
;/Bad data passed .
;=>"ADS request error"
(outcome 'AcDbCurve::getDistAtPoint (list lay '(0 0)))
;/
;/Bad data passed .
;=>"ADS request error"
(entget gone)
;=>nil

;; Wrong arguments.
(outcome 'AcDbCurve::getLength nil)
;/
;/Too few arguments passed.
;=>"ADS request error"
(outcome 'AcDbCurve::getLength '("x"))
;/
;/Wrong type of arguments passed.
;=>"ADS request error"
(outcome 'AcDbCurve::getPointAtDist (list ln))
;/
;/Too few arguments passed.
;=>"ADS request error"
(outcome 'AcDbCurve::getPointAtDist (list ln "2"))
;/
;/Wrong type of arguments passed.
;=>"ADS request error"
(outcome 'AcDbCurve::getPointAtDist nil)
;/
;/Too few arguments passed.
;=>"ADS request error"
(outcome 'AcDbCurve::getClosestPointTo (list ln))
;/
;/Wrong type of arguments passed.
;=>"ADS request error"
(outcome 'AcDbCurve::getDistAtPoint (list "x" '(0 0)))
;/
;/Wrong type of arguments passed.
;=>"ADS request error"
(outcome 'AcDbCurve::getDistAtPoint (list ln '((0 0))))
;/
;/Wrong type of arguments passed.
;=>"ADS request error"
;; An integer distance reads as a real.
(near-point (AcDbCurve::getPointAtDist ln 5) '(3.0 4.0 0.0))
;=>T
