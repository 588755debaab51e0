;; The leader's class lives as long as the module: the module stays loaded while a
;; drawing holds a leader (erased ones too), and a module loaded again registers the
;; class again without a mismatch.
(progn (entmake '((0 . "CIRCLE") (10 0.0 0.0 0.0) (40 . 1.0))) (host:save-as "Dot.dwg"))
;=>T
(setq ld (nv_nv-leader-insert '((0 0 0) (10 0 0) (10 10 0)) "0" "Dot" 1))
(type ld)
;=>ENAME
(host:unload-module)
;=>nil
(entdel ld)
(host:unload-module)
;=>nil
(type nv_nv-leader-insert)
;=>EXRXSUBR
;; Another drawing without leaders, and the one with the leader closed.
(host:new-drawing "Plain.dwg")
;/
;/Loading Norvane Tabrik (Direct)
;=>"Plain.dwg"
(host:close-drawing "Dot.dwg")
;=>T
(host:unload-module)
;=>T
;; A drawing file with leaders opened without the module keeps them as proxies.
(host:load-module)
;/
;/Loading Norvane Tabrik (Direct)
;=>T
(setq ld (nv_nv-leader-insert '((0 0 0) (10 0 0) (10 10 0)) "0" "Dot" 1))
(cdr (assoc 0 (entget ld)))
;=>"NVLEADER"
(host:save-as "WithLeader.dxf")
;=>T
(entdel ld)
(host:save-as "WithoutLeader.dxf")
;=>T
(host:close-drawing "WithoutLeader.dxf")
;=>T
(host:new-drawing "Empty.dwg")
;/
;/Loading Norvane Tabrik (Direct)
;=>"Empty.dwg"
(host:unload-module)
;=>T
;; Without the module the leader is a proxy, written back as the leader it was.
(host:open-drawing "WithLeader.dxf")
;=>"WithLeader.dxf"
(cdr (assoc 0 (entget (ssname (ssget "X") 0))))
;=>"ACAD_PROXY_ENTITY"
(host:save-as "Kept.dxf")
;=>T
(host:close-drawing "Kept.dxf")
;=>T
(host:load-module)
;/
;/Loading Norvane Tabrik (Direct)
;=>T
(host:open-drawing "Kept.dxf")
;/
;/Loading Norvane Tabrik (Direct)
;=>"Kept.dxf"
(setq again (ssname (ssget "X" '((0 . "NVLEADER"))) 0))
(mapcar '(lambda (g) (cdr (assoc g (entget again)))) '(10 11 12 40))
;=>((0.0 0.0 0.0) (10.0 0.0 0.0) (10.0 10.0 0.0) 1.0)
(nv_nv-leader-setOffset again 2)
;=>T
