;; rtos, angtos, distof and angtof in every unit mode, with the units variables of
;; the drawing and UNITMODE; the documented examples of each.
(mapcar '(lambda (mode) (rtos 17.5 mode (if (= mode 1) 4 2))) '(1 2 3 4 5))
;=>("1.7500E+01" "17.50" "1'-5.50\"" "1'-5 1/2\"" "17 1/2")
(mapcar 'distof '("1.7500E+01" "17.50" "1'-5.50\"" "1'-5 1/2\"" "17 1/2") '(1 2 3 4 5))
;=>(17.5 17.5 17.5 17.5 17.5)
(mapcar '(lambda (mode) (angtos 0.785398 mode 4)) '(0 1 2 3 4))
;=>("45.0000" "45d0'0\"" "50.0000g" "0.7854r" "N 45d0'0\" E")
(mapcar 'angtof '("45.0000" "45d0'0\"" "50.0000g" "0.7854r" "N 45d0'0\" E") '(0 1 2 3 4))
;=>(0.785398 0.785398 0.785398 0.7854 0.785398)
(angtos -0.785398 0 4)
;=>"315.0000"
(angtos -0.785398 4)
;=>"S 45d E"
(angtof "45.0000")
;=>0.785398
(angtof "45.0000" 3)
;=>1.0177
;; Defaults come from LUNITS/LUPREC and AUNITS/AUPREC.
(rtos 17.5)
;=>"17.5000"
(setvar "LUNITS" 4)
;=>4
(setvar "LUPREC" 3)
;=>3
(rtos 17.5)
;=>"1'-5 1/2\""
(setvar "AUNITS" 2)
;=>2
(angtos pi)
;=>"200g"
(setvar "AUPREC" 2)
;=>2
(angtos pi)
;=>"200.00g"
;; UNITMODE 1: as typed.
(setvar "UNITMODE" 1)
;=>1
(mapcar '(lambda (mode) (rtos 17.5 mode 2)) '(3 4 5))
;=>("1'5.50\"" "1'5-1/2\"" "17-1/2")
(angtos -0.785398 4 0)
;=>"S45dE"
(mapcar 'distof '("1'5.50\"" "1'5-1/2\"" "17-1/2") '(3 4 5))
;=>(17.5 17.5 17.5)
;; Decimals only: no hexadecimal, infinity or a fraction without a numerator.
(mapcar 'distof '("0x10" "inf" "1 /2" "nan") '(2 2 5 2))
;=>(nil nil nil nil)
(mapcar 'atof '("0x1p4" "1e3" "-.5" "12abc"))
;=>(0.0 1000.0 -0.5 12.0)
(rtos 17.5 6)
;!bad argument value: mode 6
