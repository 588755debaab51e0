;; Duct solids in files: a DXF drawing and the host's exploded copy keep them (the
;; solids' volumes read back equal), and a STEP file of the drawing's solids reads
;; back with the same total volume.
(defun seg (p1 p2 w h shape) (append p1 p2 (list 0 0.0 0.0 w h shape 0.0 0.0 "c" "c" 0 0.0)))
(defun near (a b) (equal a b 1e-4))
(host:new-drawing "Run.dwg")
;=>"Run.dwg"
(setq a (seg '(0 0 0) '(100 0 0) 20 10 "R") b (seg '(100 0 0) '(100 100 0) 20 10 "R"))
(setq solids (list (nv_nv-drawTripleCenter nil 0 a)
                   (cdr (assoc "en1" (nv_nv-drawTripleElbow nil 0 "X" nil 1.5 a b)))
                   (nv_nv-drawTripleCenter nil 0 (seg '(0 50 0) '(100 50 0) 12 12 "RD"))
                   (cdr (assoc "hanger" (nv_nv-drawHanger T '(50 0 0) 0.0 20 10 T 0.5 1.0 40.0 0)))))
(setq volumes (mapcar 'host:solid-volume solids))
(not (member nil volumes))
;=>T
(setq total (apply '+ volumes))
;; STEP: every solid of model space, read back with the same total volume.
(host:save-step "run.step")
;=>4
(near (host:step-volume "run.step") (cons 4 total))
;=>T
;; DXF: the drawing reopened holds the same solids.
(host:save-as "run.dxf")
;=>T
(host:open-drawing "run.dxf")
;=>"run.dxf"
(defun solidsOf (/ e found)
  (setq e (entnext))
  (while e
    (if (= (cdr (assoc 0 (entget e))) "NV_HVACSOLID") (setq found (cons e found)))
    (setq e (entnext e)))
  (reverse found))
(near (mapcar 'host:solid-volume (solidsOf)) volumes)
;=>T
;; The exploded copy has 3D faces in place of the solids.
(host:save-exploded "plain.dxf")
;=>T
(host:open-drawing "plain.dxf")
;=>"plain.dxf"
(list (solidsOf) (= (cdr (assoc 0 (entget (entnext)))) "3DFACE"))
;=>(nil T)
;; A drawing without solids writes no STEP file; anything else is nil.
(host:new-drawing "Empty.dwg")
;=>"Empty.dwg"
(host:save-step "empty.step")
;=>0
(host:step-volume "empty.step")
;=>nil
(progn (entmake '((0 . "LINE") (10 0.0 0.0 0.0) (11 1.0 0.0 0.0))) (host:solid-volume (entlast)))
;=>nil
