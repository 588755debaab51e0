;;; A small duct run drawn as solids: a straight main, a taper down to a smaller duct,
;;; a radius elbow and a square-throat elbow, a wye splitting the run in two, and
;;; hangers (straps on the main, a trapeze on a branch).
;;;   build/tabrik run examples/ducts.lsp
;;; It leaves, in the current folder:
;;;   ducts.dxf        the drawing with its NV_HVACSOLID entities (readers that know
;;;                    no such class may drop them)
;;;   ducts-plain.dxf  the same drawing with each solid as the 3D faces of its surface
;;;   ducts.step       the solids for other modelling and building-design tools

(defun show (label value)
  (princ (strcat "\n  " label ": "))
  (prin1 value)
  (princ))

(if (/= (type nv_nv-drawTripleCenter) 'EXRXSUBR)
  (progn (princ "\nThe Tabrik module is not loaded: build it first.") (exit)))

;; A centred segment from p1 to p2 with its section, no wall layers; the cut-backs say
;; how far the fittings at its ends reach into it.
(defun seg (p1 p2 w h shape back fore)
  (append p1 p2 (list 0 back fore w h shape 0.0 0.0 "c" "c" 0 0.0)))
(defun field (name result) (cdr (assoc name result)))

;; The run, in plan at z 120: a 24x12 main east to (200 0), a taper to 16x12, on east
;; to (320 0), a radius elbow north to (320 150), a square elbow west to (240 150), and
;; a wye at (240 150) sending two 16x12 branches north-west and south-west.
(setq main (seg '(0 0 120) '(200 0 120) 24 12 "R" 0.0 0.0)
      reduced (seg '(200 0 120) '(320 0 120) 16 12 "R" 0.0 0.0)
      riser (seg '(320 0 120) '(320 150 120) 16 12 "R" 0.0 0.0)
      return (seg '(320 150 120) '(240 150 120) 16 12 "R" 0.0 0.0))

(princ "\nFittings")
(setq taper (nv_nv-drawTripleTransition nil 1 main reduced))
(show "taper reaches into the reduced duct" (field "dTailLength" taper))
(setq radius (nv_nv-drawTripleElbow nil 1 "RADIUS" nil 1.5 reduced riser))
(show "radius elbow reach" (list (field "dHeadLength" radius) (field "dTailLength" radius)))
(setq square (nv_nv-drawTripleElbow nil 1 "SQUARE" T 0 riser return))
(show "square elbow reach" (list (field "dHeadLength" square) (field "dTailLength" square)))
(setq branch1 (seg '(240 150 120) '(190 200 120) 16 12 "R" 0.0 0.0)
      branch2 (seg '(240 150 120) '(190 100 120) 16 12 "R" 0.0 0.0))
(setq wye (nv_nv-drawTripleWye nil 1 nil 0.0 return branch1 branch2))
(show "wye reach" (list (field "dHeadLength" wye) (field "dTailLength1" wye) (field "dTailLength2" wye)))

;; The straight ducts between the fittings, shortened by what each fitting reaches.
(princ "\nStraight ducts")
(setq ducts
  (list (nv_nv-drawTripleCenter nil 1 main)
        (nv_nv-drawTripleCenter nil 1 (seg '(200 0 120) '(320 0 120) 16 12 "R"
                                           (field "dTailLength" taper) (field "dHeadLength" radius)))
        (nv_nv-drawTripleCenter nil 1 (seg '(320 0 120) '(320 150 120) 16 12 "R"
                                           (field "dTailLength" radius) (field "dHeadLength" square)))
        (nv_nv-drawTripleCenter nil 1 (seg '(320 150 120) '(240 150 120) 16 12 "R"
                                           (field "dTailLength" square) (field "dHeadLength" wye)))
        (nv_nv-drawTripleCenter nil 1 (seg '(240 150 120) '(190 200 120) 16 12 "R" (field "dTailLength1" wye) 0.0))
        (nv_nv-drawTripleCenter nil 1 (seg '(240 150 120) '(190 100 120) 16 12 "R" (field "dTailLength2" wye) 0.0))))
(show "drawn" (length ducts))

;; Hangers: straps every 80 along the main hung from the structure at z 200, and a
;; trapeze under the riser standing on rods from the floor.
(princ "\nHangers")
(foreach x '(40 120)
  (nv_nv-drawHanger T (list x 0 120) 0.0 24 12 T 0.5 0.25 200.0 1))
(nv_nv-drawHanger nil '(320 75 120) (/ pi 2) 16 12 nil 0.5 2.0 0.0 1)

;; Volumes, saved forms.
(setq total 0.0 e (entnext))
(while e
  (if (= (cdr (assoc 0 (entget e))) "NV_HVACSOLID")
    (setq total (+ total (host:solid-volume e))))
  (setq e (entnext e)))
(show "total volume of the solids" (rtos total 2 1))
(show "saved ducts.dxf" (host:save-as "ducts.dxf"))
(show "saved ducts-plain.dxf" (host:save-exploded "ducts-plain.dxf"))
(show "solids in ducts.step" (host:save-step "ducts.step"))
(show "STEP read back (solids . volume)" (host:step-volume "ducts.step"))
(princ "\n")
(princ)
