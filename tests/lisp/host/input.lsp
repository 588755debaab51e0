;; The input queue: each request takes the next token; an empty queue is Escape.
(host:input "3,4" "~9,9" "1,2,3" "" "*cancel*")
;=>nil
(getpoint "\nPick a point: ")
;=>(3.0 4.0 0.0)
;/
;/Pick a point: 
(getpoint)
;=>(1.0 2.0 3.0)
(getpoint)
;=>nil
(getpoint)
;!Function cancelled
(getpoint)
;!Function cancelled
(host:input "abc" "12")
(getint "Count: ")
;=>12
;/Count: 
;/Requires an integer value.
(host:input "y")
(progn (initget "Yes No") (getkword "Continue? [Yes/No]: "))
;=>"Yes"
(host:input "Nope" "n")
(progn (initget "Yes No") (getkword))
;=>"No"
;/
;/Invalid option keyword.
(host:input "two words" "two words")
(getstring)
;=>"two"
(getstring T)
;=>"two words"
(host:input "2.5" "90")
(getreal)
;=>2.5
(getangle)
;=>1.5708
(host:input "" "0" "5")
(progn (initget 3) (getint))
;=>5
;/
;/Value must be nonzero.
(host:input 1.5 '(1 2))
(list (getreal) (getpoint))
;=>(1.5 (1.0 2.0 0.0))
