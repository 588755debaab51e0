;; The mechanical functions: arcsine and arccosine, powers, text to real, random numbers.
(asin 1)
;=>1.5708
(asin 0.5)
;=>0.523599
(acos 1.0)
;=>0.0
(acos 0)
;=>1.5708
(nv::pow 2 10)
;=>1024.0
(nv::pow 2.0 0.5)
;=>1.41421
(nv::pow 10 -2)
;=>0.01
(acos nil)
;/
;/Wrong type of arguments passed.
;!ADS request error
(nv_atof "12.5abc")
;=>12.5
(nv_atof "  -3e2x")
;=>-300.0
(nv_atof "7.")
;=>7.0
(nv_atof ".5")
;=>0.5
(nv_atof "abc")
;=>0.0
(nv_atof "")
;=>0.0
(nv_atof "1e")
;=>1.0
;; Hexadecimal, infinity and not-a-number are no numbers to the runtime's conversion.
(nv_atof "0x10")
;=>0.0
(nv_atof "inf")
;=>0.0
(nv_atof "nan")
;=>0.0
(princ (nv_atof 12))
;/nil
;=>nil
(defun tb:outside (n low high / bad r)
  (setq bad 0)
  (repeat n
    (setq r (nv_nv-rand high))
    (if (or (/= (type r) 'INT) (< r low) (> r (1- high))) (setq bad (1+ bad))))
  bad)
(tb:outside 300 0 6)
;=>0
(tb:outside 300 0 1)
;=>0
(defun tb:outsideFull (fn args / bad r)
  (setq bad 0)
  (repeat 300
    (setq r (apply fn args))
    (if (or (/= (type r) 'INT) (< r 0) (> r 32767)) (setq bad (1+ bad))))
  bad)
(tb:outsideFull 'nv_nv-rand nil)
;=>0
(tb:outsideFull 'nv_nv-rand '(-1))
;=>0
(tb:outsideFull 'nv_nv-rand '("not an integer"))
;=>0
(tb:outsideFull 'nv_nv-rand '(0))
;=>0
(tb:outsideFull 'tb_random nil)
;=>0
(type (nv_nv-rand 6.9))
;=>INT
;; A negative modulus keeps the sign of the drawn value, as the runtime's remainder does.
(<= 0 (nv_nv-rand -6) 5)
;=>T
(tb_getVersion)
;=>-1
(tb_lastError)
;=>""
(tb_resetLastError)
;=>""
