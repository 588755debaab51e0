;; A duct run from LISP through the module: 1 000 straight ducts east and north in
;; turn, a radius elbow between each pair (the shape duct_bench builds in C++). Timed
;; from outside: /usr/bin/time -f "%e s %M KB" build/tabrik --quiet run bench/lisp/duct-run.lsp
(defun seg (p1 p2 back fore) (append p1 p2 (list 0 back fore 20 10 "R" 0.0 0.0 "c" "c" 0 0.0)))
(defun corner (i) (list (* 100.0 (/ (1+ i) 2)) (* 100.0 (/ i 2)) 0.0))
(setq i 0 n 1000)
(while (< i n)
  (nv_nv-drawTripleCenter nil 0 (seg (corner i) (corner (1+ i)) (if (> i 0) 30.0 0.0) (if (< (1+ i) n) 30.0 0.0)))
  (if (< (1+ i) n)
    (nv_nv-drawTripleElbow nil 0 "RADIUS" nil 1.5 (seg (corner i) (corner (1+ i)) 0.0 0.0)
                           (seg (corner (1+ i)) (corner (+ i 2)) 0.0 0.0)))
  (setq i (1+ i)))
(princ (strcat "\n" (itoa (sslength (ssget "X" (quote ((0 . "NV_HVACSOLID")))))) " solids\n"))
(princ)
