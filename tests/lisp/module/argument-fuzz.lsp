;; Every registered function survives any argument list: none, nil, T, numbers at and
;; beyond the 16-bit range, empty and very long strings, points, longer lists, dotted
;; pairs, deep nesting, mixed lists, and 10 000 arguments. A call may return a value
;; or end in an evaluation error; it must never bring the host down, leave a drawing
;; locked or lose a function.
;; The names come from the module's one function list, by way of the build.
(load "function-list.lsp")
(setq *tb-names* (append *tb-db-names* *tb-draw-names*))
(setq long "x")
(repeat 17 (setq long (strcat long long)))
(strlen long)
;=>131072
(setq many nil)
(repeat 10000 (setq many (cons 7 many)))
(setq manyText nil)
(repeat 10000 (setq manyText (cons "" manyText)))
(setq nested '("deep"))
(repeat 50 (setq nested (list nested)))
(setq *tb-arglists*
  (list nil '(nil) '(T) '(0) '(-1) '(32767) '(-32768) '(40000) '(2147483647) '(1e300)
        '(-2.5) '("") (list long) '((1 2)) '((1.5 2 3)) '((1 2 3 4)) '((1 . 2))
        '(("a" . "b")) (list nested) '(nil nil nil nil nil) '("" "" "") (list long long long)
        '((1 2 3) (4 5 6) 7) '(1 "a" nil T (1 . 2) (1 2 3) 2.5 ("a" . "b"))
        '("*RTLB*" "*RTLE*" "*RTDOTE*") many manyText))
(length *tb-arglists*)
;=>27
;; Entity names too, once the host makes entities.
(setq ename
  (if entmake (progn (entmake '((0 . "LINE") (10 0.0 0.0 0.0) (11 1.0 1.0 0.0))) (entlast))))
(if ename
  (setq *tb-arglists* (append *tb-arglists* (list (list ename) (list ename ename '(1 2 3)) (list 5 ename)))))
(setq calls 0)
(foreach name *tb-names*
  (setq fn (read name))
  (foreach args *tb-arglists*
    (vl-catch-all-apply fn args)
    (setq calls (1+ calls))))
(= calls (* 173 (length *tb-arglists*)))
;=>T
;; The host is still whole: every function is defined and answers.
(vl-remove-if '(lambda (n) (= (type (eval (read n))) 'EXRXSUBR)) *tb-names*)
;=>nil
(tb_getVersion)
;=>-1
(tb_connect)
;/
;/Wrong type of arguments passed.
;!ADS request error
