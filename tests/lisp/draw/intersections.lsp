;; The plane intersection functions against closed forms worked out here in LISP: a line
;; from the centre of a path's circle at a known angle, two equal circles meeting on
;; their common chord, tangents, the prolongation lines, the group order, every form of
;; the point reader, and arguments that cannot be read.
(setq r 10.0 q (/ pi 2))
(defun near (a b) (< (abs (- a b)) 1e-6))
(defun ds (result) (mapcar 'cdr result))
;; Two lists of distances agree, value by value, in order.
(defun same (got want)
  (and (= (length got) (length want)) (not (member nil (mapcar 'near got want)))))
(defun pairs-ok (result)
  (not (member nil (mapcar '(lambda (p) (and (= (car p) "d") (= (type (cdr p)) 'REAL))) result))))
;; The cases of a table whose result differs from what the row expects, with what came.
(defun failures (rows / bad got)
  (foreach row rows
    (setq got (eval (cadr row)))
    (if (not (and (pairs-ok got) (same (ds got) (caddr row))))
      (setq bad (cons (list (car row) (ds got)) bad))))
  (reverse bad))
(defun pt (c a d) (polar c a d))

;; A counter-clockwise path from the origin heading east turns about (0 10); a line out
;; of the centre at angle -q + b meets it after r*b. A clockwise path heading east turns
;; about (0 -10) and meets the line at angle q - b after r*b too.
(setq kl '(0.0 10.0) kr '(0.0 -10.0))
;; The routing quarter turn, 3.14159265 / 2, places the centre and sweeps the arc of
;; the end-point case: its end lies at a0 + qs round the centre kq.
(setq qs (/ 3.14159265 2) kq (pt '(0 0) qs r) a0 (angle kq '(0 0)) ends (pt kq (+ a0 qs) r))
(failures
  (list
    (list "ccw 0.3" '(nv_nv-intersectArcLine 0 '(0 0) 0 1 r q kl (pt kl (+ (- q) 0.3) 20)) (list (* r 0.3)))
    (list "ccw 1.0" '(nv_nv-intersectArcLine 0 '(0 0) 0 1 r q kl (pt kl (+ (- q) 1.0) 20)) (list (* r 1.0)))
    (list "ccw 1.5" '(nv_nv-intersectArcLine 0 '(0 0) 0 1 r q kl (pt kl (+ (- q) 1.5) 20)) (list (* r 1.5)))
    (list "cw 0.3" '(nv_nv-intersectArcLine 0 '(0 0) 0 -1 r q kr (pt kr (- q 0.3) 20)) (list (* r 0.3)))
    (list "cw 1.2" '(nv_nv-intersectArcLine 0 '(0 0) 0 -1 r q kr (pt kr (- q 1.2) 20)) (list (* r 1.2)))
    ;; A line across the end point, square to the heading there (along the radius).
    (list "through the end" '(nv_nv-intersectArcLine 0 '(0 0) 0 1 r qs (pt ends (+ a0 qs) -5) (pt ends (+ a0 qs) 5)) (list (* r qs)))
    (list "line misses" '(nv_nv-intersectArcLine 0 '(0 0) 0 1 r q kl (pt kl 2.0 20)) nil)
    (list "from the line's side" '(nv_nv-intersectLineArc 0 kl (pt kl (+ (- q) 0.7) 20) '(0 0) 0 1 r q) (list r))
    (list "line from its unmoved start, e 5" '(nv_nv-intersectLineArc 5 '(-20 5) '(20 5) '(0 0) 0 1 r pi) (list (+ 20 (sqrt 75.0))))
    (list "line behind the start, e 0" '(nv_nv-intersectLineArc 0 '(-1.5 -4) '(-1.5 4) '(0 0) 0 1 r pi) nil)
    (list "line behind the start, e 2" '(nv_nv-intersectLineArc 2 '(-1.5 -4) '(-1.5 4) '(0 0) 0 1 r pi) (list 4.0))
    (list "turn given as a real" '(nv_nv-intersectArcLine 0 '(0 0) 0 1.0 r q kl (pt kl (+ (- q) 0.3) 20)) (list (* r 0.3)))))
;=>nil

;; Two equal circles 12 apart meet on the chord x = 6 at (6 2) and (6 18); along the
;; first path (centre (0 10), from the origin heading east) they lie at r*(q - atan 8/6)
;; and r*(q + atan 8/6), in the host's order within the group.
(setq g (atan 8.0 6.0))
(setq both (ds (nv_nv-intersectArcArc 0 '(0 0) 0 1 r pi '(12 0) pi -1 r pi)))
(same (vl-sort both '<) (list (* r (- q g)) (* r (+ q g))))
;=>T
;; The second path, seen from its own start (12 0) turning right, meets them after the
;; same distances: its centre is (12 10), its travel clockwise from the bottom.
(same (vl-sort (ds (nv_nv-intersectArcArc '(12 0) pi -1 r pi '(0 0) 0 1 r pi)) '<)
      (list (* r (- q g)) (* r (+ q g))))
;=>T
(failures
  (list
    (list "apart" '(nv_nv-intersectArcArc 0 '(0 0) 0 1 r pi '(40 0) pi -1 r pi) nil)
    (list "the same arc twice" '(nv_nv-intersectArcArc 0 '(0 0) 0 1 r q '(0 0) 0 1 r q) nil)
    ;; Circles 20 apart, one above the other, touch at the top of the first: half way
    ;; round it, and at the second path's start.
    (list "touching" '(nv_nv-intersectArcArc 0 '(0 0) 0 1 r (- (* 2 pi) 0.1) '(0 20) 0 1 r 1.0) (list (* r pi)))
    ;; A line tangent to the first circle at the path's start.
    (list "tangent at the start" '(nv_nv-intersectArcLine 0 '(0 0) 0 1 r q '(-5 0) '(5 0)) (list 0.0))
    (list "zero-length line on the arc" '(nv_nv-intersectArcLine 0 '(0 0) 0 1 r pi '(10 10) '(10 10)) nil)
    (list "zero-length line, line first" '(nv_nv-intersectLineArc 0 '(10 10) '(10 10) '(0 0) 0 1 r pi) nil)))
;=>nil

;; Prolongation: a line just behind the start is missed with e 0 and found with e 5 at
;; minus its distance from P; past the end (10 10) the end line heads north, and a
;; crossing 3 along it is at L + 3.
(failures
  (list
    (list "behind, e 0" '(nv_nv-intersectArcLine 0 '(0 0) 0 1 r q '(-2 -1) '(-2 1)) nil)
    (list "behind, e 5" '(nv_nv-intersectArcLine 5 '(0 0) 0 1 r q '(-2 -1) '(-2 1)) (list -2.0))
    (list "past the end, e 0" '(nv_nv-intersectArcLine 0 '(0 0) 0 1 r q '(9 13) '(11 13)) nil)
    (list "past the end, e 5" '(nv_nv-intersectArcLine 5 '(0 0) 0 1 r q '(9 13) '(11 13)) (list (+ (* r q) 3)))
    ;; A second path whose start line reaches back over the first's end line.
    (list "end line meets start line" '(nv_nv-intersectArcArc 5 '(0 0) 0 1 r q '(8 13) pi -1 r 0.1) (list (+ (* r q) 3)))))
;=>nil

;; The group order: start line, then arc, then end line. (8 4) lies on the first
;; path's circle (centre (0 10)), at r*(atan(-6/8) + q) along the path. The line from
;; (-1 0) to it crosses the start line 1 behind P and then leaves the circle there; the
;; line from just before it to (10 13) enters the circle there and crosses the end line 3 past the
;; end. Prolonged by 5, neither meets anything else.
(setq at8 (* r (+ (atan -6.0 8.0) q)))
(same (ds (nv_nv-intersectArcLine 5 '(0 0) 0 1 r q '(-1 0) '(8 4))) (list -1.0 at8))
;=>T
(same (ds (nv_nv-intersectArcLine 5 '(0 0) 0 1 r q '(7.8 3.1) '(10 13))) (list at8 (+ (* r q) 3)))
;=>T
;; Without the prolongation only the arc's crossing is left.
(same (ds (nv_nv-intersectArcLine 0 '(0 0) 0 1 r q '(7.8 3.1) '(10 13))) (list at8))
;=>T

;; Every form of the point reader, and e left out when the first argument is not a
;; number: all give the crossing at r*0.3.
(setq qa (pt kl (+ (- q) 0.3) 20) want (list (* r 0.3)))
(failures
  (list
    (list "2D list" '(nv_nv-intersectArcLine '(0 0) 0 1 r q kl qa) want)
    (list "3D list" '(nv_nv-intersectArcLine '(0 0 0) 0 1 r q '(0 10 0) (list (car qa) (cadr qa) 0)) want)
    (list "integers" '(nv_nv-intersectArcLine 0 '(0 0) 0 1 10 q '(0 10) qa) want)
    (list "flat x y z" '(nv_nv-intersectArcLine 0 0 0 0 0 1 r q kl qa) want)
    (list "flat x y before a list" '(nv_nv-intersectArcLine 0 '(0 0) 0 1 r q 0 10 qa) want)
    (list "flat line points" '(nv_nv-intersectLineArc 0 0 10 0 (car qa) (cadr qa) 0 '(0 0) 0 1 r q) (list r))
    (list "extra arguments ignored" '(nv_nv-intersectArcLine 0 '(0 0) 0 1 r q kl qa "x" nil) want)))
;=>nil

;; Whatever cannot be read gives nil, never an error.
(mapcar '(lambda (args) (vl-catch-all-error-p (vl-catch-all-apply 'nv_nv-intersectArcLine args)))
        (list nil '("a") '(0 (0 0) 0 1 10) '(0 (0 0) "h" 1 10 1 (0 10) (5 5)) '(0 (0 0) 0 1 10 1 (0 10))
              '(0 (0 0) 0 nil 10 1 (0 10) (5 5)) '(0 ((0 0)) 0 1 10 1 (0 10) (5 5))))
;=>(nil nil nil nil nil nil nil)
(list (nv_nv-intersectArcLine) (nv_nv-intersectArcArc 0 '(0 0) 0 1 r q) (nv_nv-intersectLineArc 0 '(0 0))
      (nv_nv-intersectArcArc "e" '(0 0) 0 1 r q '(12 0) pi -1 r pi)
      (nv_nv-intersectLineArc 0 '(0 0) '(1 1) '(0 0) 0 1 r (list 1)))
;=>(nil nil nil nil nil)
;; The temporary entities never reach the drawing.
(entlast)
;=>nil
;; Odd argument lists (deep lists, a long string, huge and degenerate values) give nil
;; from all three, never an error.
(setq long "A")
(repeat 13 (setq long (strcat long long)))
(mapcar '(lambda (f)
           (vl-remove nil
             (mapcar '(lambda (a) (vl-catch-all-apply f a))
                     (list nil '(nil) (list long) '((((1)))) '(0 (0 0) 0 0 0 0 (0 0) (0 0))
                           '(1e308 (0 0) 1e308 2147483647 -1e308 1e308 (1e308 1e308) (0 0))))))
        '(nv_nv-intersectArcArc nv_nv-intersectArcLine nv_nv-intersectLineArc))
;=>(nil nil nil)
