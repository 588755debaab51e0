;; Integer wrap, real contagion and the host's real-number format.
(+ 2147483646 3)
;=>-2147483647
2147483648
;=>2.14748e+009
(fix 3e9)
;=>3.0e+009
(/ 7 2)
;=>3
(/ 7 2.0)
;=>3.5
(/ 1 0)
;!divide by zero
(princ 2.0)
;/2.0
(princ 1e20)
;/1.0e+020
(princ (atan 1.0 0.0))
;/1.5708
(logand)
;=>0
(lsh 2 -1)
;=>1
(boole 1 12 5)
;=>4
(+ 1 nil)
;!bad argument type: numberp: nil
(itoa 2.5)
;!bad argument type: fixnump: 2.5
(rtos 17.5 1 4)
;=>"1.7500E+01"
(rtos 17.5 2 2)
;=>"17.50"
