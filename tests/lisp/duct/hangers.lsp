;; nv_nv-drawHanger: strap and trapeze hangers measured against hand computation, by
;; volume (host:solid-volume) and by the extents of their exploded faces; rods up and
;; down; refusals and wrong arguments.
(defun near (a b) (equal a b 1e-4))
(defun field (name result) (cdr (assoc name result)))
(defun vol (e) (host:solid-volume e))
;; Extents of a solid from the corners of its exploded faces (the faces are erased).
(defun extents (e / faces lo hi p)
  (setq faces (nv_nv-explodeSolid e) lo '(1e99 1e99 1e99) hi '(-1e99 -1e99 -1e99))
  (foreach f faces
    (foreach g '(10 11 12 13)
      (setq p (cdr (assoc g (entget (cdr f))))
            lo (mapcar 'min lo p) hi (mapcar 'max hi p)))
    (entdel (cdr f)))
  (list lo hi))
(setq rodArea (* pi 0.25 0.25))
;; Strap round a 20x10 duct at z 10, rod 0.5, strap 1.0 thick, hung from z 30. The band
;; is 22x12 outside and 20.2x10.2 inside: 0.9 thick. The rod runs from the band's top
;; (z 16) up to 30; below that it lies inside the band.
(setq s (field "hanger" (nv_nv-drawHanger T '(0 0 10) 0.0 20 10 T 0.5 1.0 30.0 3)))
(cdr (assoc 0 (entget s)))
;=>"NV_HVACSOLID"
(near (vol s) (+ (* 0.5 (- (* 22 12) (* 20.2 10.2))) (* rodArea 14)))
;=>T
(near (extents s) '((-0.25 -11 4) (0.25 11 30)))
;=>T
;; Angle 90 degrees turns the strap's width onto the world x axis.
(near (extents (field "hanger" (nv_nv-drawHanger T '(0 0 10) (/ pi 2) 20 10 T 0.5 1.0 15.0 3))) '((-11 -0.25 4) (11 0.25 16)))
;=>T
;; Rod elevation below the duct: the rod runs down from the bottom face.
(near (extents (field "hanger" (nv_nv-drawHanger T '(0 0 10) 0.0 20 10 T 0.5 1.0 -5.0 3))) '((-0.25 -11 -5) (0.25 11 16)))
;=>T
;; Rod elevation at the duct's top (z 15): no rod, still a hanger.
(near (vol (field "hanger" (nv_nv-drawHanger T '(0 0 10) 0.0 20 10 T 0.5 1.0 15.0 3))) (* 0.5 (- (* 22 12) (* 20.2 10.2))))
;=>T
;; A round strap on a round duct: a ring.
(near (vol (field "hanger" (nv_nv-drawHanger T '(0 0 10) 0.0 10 10 nil 0.5 1.0 15.0 3))) (* 0.5 pi (- (* 6 6) (* 5.1 5.1))))
;=>T
;; Trapeze under a 20-wide duct, rod 0.5: bar 22 long, 1 along the duct, 2 deep, its top
;; at the duct's bottom (z 5); rods 10.5 either side from the bar's top up to z 40.
(setq t1 (field "hanger" (nv_nv-drawHanger nil '(0 0 10) 0.0 20 10 nil 0.5 2.0 40.0 3)))
(near (vol t1) (+ (* 22 1 2) (* 2 rodArea 35)))
;=>T
(near (extents t1) '((-0.5 -11 3) (0.5 11 40)))
;=>T
;; Standing rods: from the bar's bottom (z 3) down to the floor at 0.
(near (vol (field "hanger" (nv_nv-drawHanger nil '(0 0 10) 0.0 20 10 nil 0.5 2.0 0.0 3))) (+ 44 (* 2 rodArea 3)))
;=>T
;; A body the component refuses: nil and nothing appended.
(setq before (entlast))
(nv_nv-drawHanger T '(0 0 10) 0.0 20 10 T 0.0 1.0 30.0 3)
;=>nil
(nv_nv-drawHanger nil '(0 0 10) 0.0 20 10 nil 0.0 2.0 30.0 3)
;=>nil
(eq before (entlast))
;=>T
;; Wrong arguments: each of the ten is required.
(nv_nv-drawHanger T '(0 0 10) 0.0 20 10 T 0.5 1.0 30.0)
;/
;/Wrong type of arguments passed.
;!ADS request error
(nv_nv-drawHanger T "centre" 0.0 20 10 T 0.5 1.0 30.0 3)
;/
;/Wrong type of arguments passed.
;!ADS request error
(nv_nv-drawHanger)
;/
;/Wrong type of arguments passed.
;!ADS request error
