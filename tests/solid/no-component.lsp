;; The module without the duct solid component beside it: it loads, every duct and
;; hanger function returns nil drawing nothing, and argument errors still report.
;; Run by the ctest solid/no-component from a folder that holds the host and the
;; module but no nv_nv-solid2010.dbx.
(defun seg (p1 p2 w h shape) (append p1 p2 (list 0 0.0 0.0 w h shape 0.0 0.0 "c" "c" 0 0.0)))
(setq a (seg '(0 0 0) '(100 0 0) 20 10 "R") b (seg '(100 0 0) '(100 100 0) 20 10 "R"))
(type nv_nv-drawTripleCenter)
;=>EXRXSUBR
(list (nv_nv-drawTripleCenter nil 0 a)
      (nv_nv-drawTripleTransition nil 0 a (seg '(100 0 0) '(200 0 0) 10 10 "R"))
      (nv_nv-drawTripleElbow nil 0 "X" nil 1.5 a b)
      (nv_nv-drawTripleSkin 0.5 '((0 0 0) (4 0 0) (4 3 0)))
      (nv_nv-drawHanger T '(0 0 10) 0.0 20 10 T 0.5 1.0 30.0 0))
;=>(nil nil nil nil nil)
(entlast)
;=>nil
;; Frames need no solid.
(nv_nv-getTripleCoord a)
;=>((1.0 0.0 0.0) (0.0 1.0 0.0) (0.0 0.0 1.0))
(host:save-step "none.step")
;=>nil
(nv_nv-drawHanger)
;/
;/Wrong type of arguments passed.
;!ADS request error
