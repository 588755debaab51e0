;; The triple duct functions end to end: frames of horizontal, vertical and sloped
;; segments; straight ducts, tapers and elbows measured by their volumes (host's
;; host:solid-volume) against hand computation; head and tail lengths; union, explode,
;; plates; what a failing body and a wrong argument give.
;;
;; A segment: reference points, point code 0, cut-backs, width, height, shape, no wall
;; layers, centred.
(defun seg (p1 p2 w h shape)
  (append p1 p2 (list 0 0.0 0.0 w h shape 0.0 0.0 "c" "c" 0 0.0)))
(defun near (a b) (equal a b 1e-4))
(defun vol (e) (host:solid-volume e))
(defun field (name result) (cdr (assoc name result)))
(setq pi8 3.14159265)
;; Frames: along x; sloped (3 0 4); vertical alone and vertical beside a duct along x.
(near (nv_nv-getTripleCoord (seg '(0 0 0) '(10 0 0) 20 10 "R")) '((1 0 0) (0 1 0) (0 0 1)))
;=>T
(near (nv_nv-getTripleCoord (seg '(0 0 0) '(3 0 4) 20 10 "R")) '((0.6 0 0.8) (0 1 0) (-0.8 0 0.6)))
;=>T
(near (nv_nv-getTripleCoord (seg '(0 0 0) '(0 0 9) 20 10 "R")) '((0 0 1) (0 -1 0) (1 0 0)))
;=>T
(near (nv_nv-getTripleCoord (seg '(0 0 0) '(0 0 9) 20 10 "R") (seg '(0 0 9) '(10 0 9) 20 10 "R"))
      '((0 0 1) (0 1 0) (-1 0 0)))
;=>T
;; The conversion callback moves reference points: here every point rises by 5.
(defun convert_rp_dp (p code) (list (car p) (cadr p) (+ (caddr p) 5)))
(near (nv_nv-getTripleCoord (seg '(0 0 0) '(0 0 9) 20 10 "R")) '((0 0 1) (0 -1 0) (1 0 0)))
;=>T
;; Straight ducts: cut-backs of 10 and 5 leave 85; wall layers grow the section.
(setq d1 (nv_nv-drawTripleCenter nil 7 (list 0 0 0 100 0 0 0 10.0 5.0 20 10 "R" 0.0 0.0 "c" "c" 0 0.0)))
(cdr (assoc 0 (entget d1)))
;=>"NV_HVACSOLID"
(near (vol d1) (* 20 10 85))
;=>T
(near (vol (nv_nv-drawTripleCenter nil 7 (list 0 50 0 100 50 0 0 10.0 5.0 20 10 "R" 0.5 0.25 "c" "c" 0 0.0)))
      (* 21.5 11.5 85))
;=>T
(near (vol (nv_nv-drawTripleCenter nil 7 (seg '(0 0 30) '(0 80 30) 10 10 "rd"))) (* pi 25 80))
;=>T
;; "Rd" is round for the straight duct (upper-cased); "OO" with unequal sizes is oval.
(near (vol (nv_nv-drawTripleCenter nil 7 (seg '(0 0 60) '(0 80 60) 10 10 "Rd"))) (* pi 25 80))
;=>T
(near (vol (nv_nv-drawTripleCenter nil 7 (seg '(0 0 90) '(0 80 90) 30 10 "OO"))) (* 80 (+ (* pi 25) (* 20 10))))
;=>T
;; The conversion flag passes reference points through convert_rp_dp: same body, moved.
(near (vol (nv_nv-drawTripleCenter T 7 (seg '(0 0 0) '(50 0 0) 20 10 "R"))) (* 20 10 50))
;=>T
;; Justification moves the centre from the reference point across the frame: "t" puts
;; the reference on the top, "b" on the bottom, "h" (hanging flag set) the offset above
;; the top, "r" and "l" on the right and left sides. Extents from the exploded faces.
(defun extents (e / faces lo hi p)
  (setq faces (nv_nv-explodeSolid e) lo '(1e99 1e99 1e99) hi '(-1e99 -1e99 -1e99))
  (foreach f faces
    (foreach g '(10 11 12 13)
      (setq p (cdr (assoc g (entget (cdr f)))) lo (mapcar 'min lo p) hi (mapcar 'max hi p)))
    (entdel (cdr f)))
  (list lo hi))
(defun justified (h v flag offset box)
  (extents (nv_nv-drawTripleCenter nil 7 (list 0 0 0 10 0 0 0 0.0 0.0 20 10 "R" 0.0 0.0 h v flag offset))))
(mapcar '(lambda (j) (near (apply 'justified j) (last j)))
  '(("c" "t" 0 0.0 ((0 -10 -10) (10 10 0)))
    ("c" "b" 0 0.0 ((0 -10 0) (10 10 10)))
    ("c" "h" 1 2.0 ((0 -10 2) (10 10 12)))
    ("c" "h" 0 2.0 ((0 -10 0) (10 10 10)))
    ("r" "c" 0 0.0 ((0 -20 -5) (10 0 5)))
    ("l" "c" 0 0.0 ((0 0 -5) (10 20 5)))))
;=>(T T T T T T)
;; Too short before or after the cut-backs: nothing.
(nv_nv-drawTripleCenter nil 7 (seg '(0 0 0) '(0.005 0 0) 20 10 "R"))
;=>nil
(nv_nv-drawTripleCenter nil 7 (list 0 0 0 10 0 0 0 6.0 3.995 20 10 "R" 0.0 0.0 "c" "c" 0 0.0))
;=>nil
;; A degenerate section is refused by the component: nil, nothing appended.
(setq before (entlast))
(nv_nv-drawTripleCenter nil 7 (seg '(0 0 0) '(10 0 0) 0 10 "R"))
;=>nil
(eq before (entlast))
;=>T
;; Transitions: 20x10 to 10x10 tapers over 5 / tan 15 degrees; rectangle to round at
;; least half the larger size; equal sections draw nothing.
(setq tr (nv_nv-drawTripleTransition nil 7 (seg '(0 0 0) '(100 0 0) 20 10 "R") (seg '(100 0 0) '(200 0 0) 10 10 "R")))
(near (field "dTailLength" tr) (/ 5 (/ (sin (* 15 (/ pi8 180))) (cos (* 15 (/ pi8 180))))))
;=>T
(field "dHeadLength" tr)
;=>0.0
(near (vol (field "en1" tr)) (* 150 (field "dTailLength" tr)))
;=>T
(field "dTailLength" (nv_nv-drawTripleTransition nil 7 (seg '(0 0 0) '(100 0 0) 10 10 "R") (seg '(100 0 0) '(200 0 0) 10 10 "RD")))
;=>5.0
(nv_nv-drawTripleTransition nil 7 (seg '(0 0 0) '(100 0 0) 10 10 "R") (seg '(100 0 0) '(200 0 0) 10 10 "R"))
;=>nil
;; Elbows round a plan corner at (100 0 0): radius 1.5 x 20 reaches 30 into each duct.
(setq a (seg '(0 0 0) '(100 0 0) 20 10 "R") b (seg '(100 0 0) '(100 100 0) 20 10 "R"))
(setq el (nv_nv-drawTripleElbow nil 7 "RADIUS" nil 1.5 a b))
(mapcar '(lambda (k) (near (field k el) 30.0)) '("dHeadLength" "dTailLength"))
;=>(T T)
(field "en2" el)
;=>nil
(near (vol (field "en1" el)) (* 200 30 (/ pi 2)))
;=>T
;; Ratio 0.3 is used as 0.501, ratio 0 as 1.5; the square flag alone may stand for the kind.
(near (field "dHeadLength" (nv_nv-drawTripleElbow nil 7 nil 0.3 a b)) (* 0.501 20))
;=>T
(near (field "dHeadLength" (nv_nv-drawTripleElbow nil 7 "X" nil 0 a b)) 30.0)
;=>T
;; A smaller outlet: the elbow keeps the inlet's size and a taper follows.
(setq el2 (nv_nv-drawTripleElbow nil 7 "X" nil 1.5 a (seg '(100 0 0) '(100 100 0) 10 10 "R")))
(type (field "en2" el2))
;=>ENAME
(near (field "dTailLength" el2) (+ 30 (/ 5 (/ (sin (* 15 (/ pi8 180))) (cos (* 15 (/ pi8 180)))))))
;=>T
;; Square throat: each leg reaches half the other's width plus the 3.0 collar.
(setq sq (nv_nv-drawTripleElbow nil 7 "X" T 0 a b))
(mapcar '(lambda (k) (near (field k sq) 13.0)) '("dHeadLength" "dTailLength"))
;=>(T T)
(near (vol (field "en1" sq)) (- (* 2 200 23) (* 20 20 10)))
;=>T
;; A flat cable tray bend.
(near (field "dHeadLength" (nv_nv-drawTripleElbow nil 7 "CABLETRAY" 1.5 a b)) 30.0)
;=>T
;; Parallel segments make no bend: nil and nothing appended.
(setq before (entlast))
(nv_nv-drawTripleElbow nil 7 "X" nil 1.5 a (seg '(100 0 0) '(200 0 0) 20 10 "R"))
;=>nil
(eq before (entlast))
;=>T
;; A wye: trunk along x, branches turning off at 45 degrees either side.
(setq wy (nv_nv-drawTripleWye nil 7 nil 0.0 (seg '(0 0 0) '(100 0 0) 20 10 "R")
                              (seg '(110 10 0) '(180 80 0) 20 10 "R") (seg '(110 -10 0) '(180 -80 0) 20 10 "R")))
(near (field "dHeadLength" wy) 3.0)
;=>T
(list (field "en2" wy) (field "en3" wy) (> (vol (field "en1" wy)) 0))
;=>(nil nil T)
;; A takeoff: a branch square off the main's side, the main carrying on.
(setq to (nv_nv-drawTripleTakeoff nil 7 nil 0.0 (seg '(0 0 0) '(100 0 0) 20 10 "R") (seg '(100 0 0) '(200 0 0) 20 10 "R")
                                  (seg '(100 0 0) '(100 50 0) 8 6 "R") (seg '(0 0 0) '(0 0 0) 0 0 "R")))
(mapcar '(lambda (k) (near (field k to) 7.0)) '("dHeadLength" "dTailLength1"))
;=>(T T)
(list (field "en2" to) (field "dTailLength3" to))
;=>(nil 0.0)
;; Two branches, the second 10 back along the main, and a smaller downstream duct: the
;; main body starts 10 further back, a taper carries it down to 10x10.
(setq to2 (nv_nv-drawTripleTakeoff nil 7 nil 0.0 (seg '(0 0 0) '(100 0 0) 20 10 "R") (seg '(100 0 0) '(200 0 0) 10 10 "R")
                                   (seg '(100 0 0) '(100 50 0) 8 6 "R") (seg '(90 0 0) '(90 -50 0) 8 6 "R")))
(list (near (field "dHeadLength" to2) 17.0) (near (field "dTailLength1" to2) (+ 7 (/ 5 (/ (sin (* 15 (/ pi8 180))) (cos (* 15 (/ pi8 180))))))))
;=>(T T)
(list (type (field "en2" to2)) (near (field "dTailLength3" to2) 13.0))
;=>(ENAME T)
;; Union: the overlapping second duct goes into the first and is erased.
(setq u1 (nv_nv-drawTripleCenter nil 7 (seg '(0 500 0) '(10 500 0) 4 2 "R"))
      u2 (nv_nv-drawTripleCenter nil 7 (seg '(6 500 0) '(16 500 0) 4 2 "R")))
(nv_nv-tripleUnion u1 u2)
;=>nil
(list (near (vol u1) (* 8 16)) (entget u2))
;=>(T nil)
;; Explode: plain 3D faces in model space; the solid stays.
(setq faces (nv_nv-explodeSolid u1))
(list (> (length faces) 8) (car (car faces)) (cdr (assoc 0 (entget (cdar faces)))) (type (entget u1)))
;=>(T "FACE" "3DFACE" LIST)
(nv_nv-explodeSolid)
;=>nil
;; A plate from points (each a point or a run of numbers).
(near (vol (field "en" (nv_nv-drawTripleSkin 0.5 '((0 0 0) (4 0 0) 4 3 0 (0 3 0))))) 6.0)
;=>T
(nv_nv-drawTripleSkin 0.5 '((0 0 0) (4 0 0)))
;=>nil
;; Wrong arguments.
(nv_nv-drawTripleCenter nil 7 '(0 0 0 10 0 0))
;/
;/Wrong type of arguments passed.
;!ADS request error
(nv_nv-drawTripleTransition nil 7 (seg '(0 0 0) '(100 0 0) 20 10 "R"))
;/
;/Wrong type of arguments passed.
;!ADS request error
(nv_nv-drawTripleElbow nil 7 "X" 1.5 a b)
;/
;/Wrong type of arguments passed.
;!ADS request error
(nv_nv-drawTripleWye nil 7 (seg '(0 0 0) '(100 0 0) 20 10 "R") a b)
;/
;/Wrong type of arguments passed.
;!ADS request error
(nv_nv-tripleUnion u1 "x")
;/
;/Wrong type of arguments passed.
;!ADS request error
(nv_nv-tripleUnion u1 (cdar faces))
;/
;/Wrong type of arguments passed.
;!ADS request error
(nv_nv-explodeSolid "x")
;/
;/Wrong type of arguments passed.
;!ADS request error
(nv_nv-explodeSolid (cdar faces))
;/
;/Bad data passed .
;!ADS request error
(nv_nv-getTripleCoord)
;/
;/Wrong type of arguments passed.
;!ADS request error
