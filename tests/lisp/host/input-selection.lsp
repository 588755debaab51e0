;; Selection by the entities' geometry and the interactive selection's keywords.
;; The U-shaped polygon (0,0) (12,0) (12,10) (8,10) (8,4) (4,4) (4,10) (0,10) has a
;; notch 4<x<8, y>4. A sits in the notch, B and F inside, C crosses the notch, E
;; crosses the right edge, D is far off, G passes beyond the corner (10,10), H
;; crosses E.
(setq names nil)
(defun add (letter data) (entmake data) (setq names (cons (cons (entlast) letter) names)) letter)
(add "A" '((0 . "CIRCLE") (10 6.0 7.0 0.0) (40 . 1.0)))
(add "B" '((0 . "LINE") (10 1.0 1.0 0.0) (11 3.0 1.0 0.0)))
(add "C" '((0 . "LINE") (10 2.0 8.0 0.0) (11 10.0 8.0 0.0)))
(add "D" '((0 . "LINE") (10 20.0 20.0 0.0) (11 25.0 25.0 0.0)))
(add "E" '((0 . "LINE") (10 11.0 5.0 0.0) (11 15.0 5.0 0.0)))
(add "F" '((0 . "CIRCLE") (10 6.0 2.0 0.0) (40 . 1.0)))
(add "G" '((0 . "LINE") (10 9.0 14.0 0.0) (11 14.0 9.0 0.0)))
(add "H" '((0 . "LINE") (10 13.0 3.0 0.0) (11 13.0 7.0 0.0)))
(defun letters (ss / i out)
  (if ss
    (progn
      (setq i 0 out "")
      (repeat (sslength ss)
        (setq out (strcat out (cdr (assoc (ssname ss i) names))) i (1+ i)))
      out)))
(setq u '((0 0) (12 0) (12 10) (8 10) (8 4) (4 4) (4 10) (0 10)))
(letters (ssget "_WP" u))
;=>"BF"
(letters (ssget "_CP" u))
;=>"BCEF"
(letters (ssget "_CP" u '((0 . "CIRCLE"))))
;=>"F"
(letters (ssget "_F" '((5.5 -1) (5.5 11))))
;=>"ACF"
(letters (ssget "_W" '(0 0) '(9 9)))
;=>"ABF"
(letters (ssget "_C" '(0 0) '(10 10)))
;=>"ABCF"
(letters (ssget "_L"))
;=>"H"
(ssget "_W" '(30 30) '(40 40))
;=>nil
;; Interactive: picks, a window, Remove and Add, polygons typed, Enter ends.
(host:input "2,1" "w" "0,0" "9,9" "r" "2,1" "")
(letters (ssget))
;=>"AF"
(letters (ssget "_P"))
;=>"AF"
(host:input "cp" "0,0" "12,0" "12,10" "8,10" "8,4" "4,4" "4,10" "0,10" "" "")
(letters (ssget))
;=>"BCEF"
(host:input "13,5" "")
(letters (ssget ":E"))
;=>"EH"
(host:input "30,30" "2,1")
(letters (ssget ":S"))
;=>"B"
(host:input "13,5" "")
(letters (ssget))
;=>"H"
(host:input "all" "r" "f" "5.5,-1" "5.5,11" "" "")
(letters (ssget))
;=>"BDEGH"
(host:input "*cancel*")
(ssget)
;!Function cancelled
;; entsel: a pick gives the entity and the point, a miss nil with ERRNO 7, Enter nil
;; with ERRNO 52, a keyword of initget its name.
(host:input "2,1.05" "30,30")
(list (cdr (assoc (car (entsel "\nPick: ")) names)) (cadr (entsel)))
;=>("B" nil)
(getvar "ERRNO")
;=>7
(host:input "")
(entsel)
;=>nil
(getvar "ERRNO")
;=>52
(host:input "2,1.05")
(cadr (entsel))
;=>(2.0 1.05 0.0)
(host:input "u")
(progn (initget "Undo") (entsel))
;=>"Undo"
