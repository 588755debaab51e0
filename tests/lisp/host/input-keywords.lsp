;; initget keyword lists: capitals, the comma form, global names; control bits;
;; distances and angles given by points; keywords answered by point requests.
(host:input "mid")
(progn (initget "Corner,C Middle,M") (getkword "\nCorner or Middle: "))
;=>"Middle"
(host:input "cx" "c")
(progn (initget "Corner,C Middle,M") (getkword))
;=>"Corner"
;/
;/Invalid option keyword.
(host:input "lt")
(progn (initget "LType LWeight") (getkword))
;=>"LType"
;; With global names the program hears the global name, whichever was typed.
(host:input "n" "_yes")
(progn (initget "Ja Nein _Yes No") (getkword))
;=>"No"
(progn (initget "Ja Nein _Yes No") (getkword))
;=>"Yes"
;; A point request answers a keyword as a string.
(host:input "u" "3,4")
(progn (initget "Undo Close") (getpoint "\nNext point: "))
;=>"Undo"
(progn (initget "Undo Close") (getpoint))
;=>(3.0 4.0 0.0)
;; Bit 1 refuses Enter, bit 128 takes any text.
(host:input "" "1,1")
(progn (initget 1) (getpoint))
;=>(1.0 1.0 0.0)
(host:input "anything at all")
(progn (initget 128) (getpoint))
;=>"anything at all"
(host:input "-3" "0" "2")
(progn (initget 6) (getdist))
;=>2.0
;/
;/Value must be positive.
;/
;/Value must be nonzero.
;; Distances and angles from a base point, or from two points.
(host:input "4,5")
(getdist '(1 1))
;=>5.0
(host:input "1,1" "4,5")
(getdist)
;=>5.0
(host:input "1,1,2")
(getdist '(1 1 0))
;=>2.0
(host:input "1,1,2")
(progn (initget 64) (getdist '(1 1 0)))
;=>0.0
(host:input "0,0")
(getangle '(1 1))
;=>3.92699
(host:input "5,5" "4,5")
(getangle)
;=>3.14159
(host:input "1,2")
(getorient '(1 1))
;=>1.5708
(host:input "180")
(getorient)
;=>3.14159
(host:input "5,6")
(getcorner '(1 1) "\nOther corner: ")
;=>(5.0 6.0 0.0)
;/
;/Other corner: 
