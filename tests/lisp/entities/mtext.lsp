;; Multi-line text: measures against widths worked out by hand from DejaVu Sans's own
;; tables (2048 units per em, capitals 1493 high, ascender 1901, descender 483; advances
;; a 1255, b 1300, x 1212, i 569, W 2025, space 651). At a text height of 1.493 one em
;; is 2.048 drawing units, so one font unit is 0.001: "aaa" is 3.765 wide.
(defun near (a b) (and (numberp a) (< (abs (- a b)) 1e-9)))
(defun mtext (s width / )
  (entmake (list '(0 . "MTEXT") '(100 . "AcDbEntity") '(100 . "AcDbMText") '(10 0.0 0.0 0.0)
                 '(40 . 1.493) (cons 41 width) (cons 1 s)))
  (entlast))
(defun outcome (f args / r)
  (setq r (vl-catch-all-apply f args))
  (if (vl-catch-all-error-p r) (vl-catch-all-error-message r) r))
(setq step (* 1.493 (/ 5.0 3.0)))

;; Each row: contents, column width, then actualWidth, actualHeight and the width of the
;; last line. A failing row comes back with what the three calls gave.
(setq rows
  (list
    (list "iii" 0.0 1.707 1.493 1.707)
    (list "aaa bbb xxx" 0.0 12.603 1.493 12.603)
    (list "aaa bbb xxx" 9.0 8.316 (+ 1.493 step) 3.636)          ; "aaa bbb" / "xxx"
    (list "xxx aaa bbb" 9.0 8.052 (+ 1.493 step) 3.9)            ; "xxx aaa" / "bbb"
    (list "bbb aaa xxx iii" 9.0 8.316 (+ 1.493 step) 5.994)      ; the last line has two words
    (list "aaa bbb xxx" 5.0 3.9 (+ 1.493 step step) 3.636)       ; a word a line
    (list "WWW\\Piii" 0.0 6.075 (+ 1.493 step) 1.707)            ; two paragraphs
    (list "WWW\\Paaa bbb xxx" 9.0 8.316 (+ 1.493 step step) 3.636)
    (list "iii\\Paaa bbb\\PWWW xxx" 0.0 10.362 (+ 1.493 step step) 10.362)))
(defun check (row / e got)
  (setq e (mtext (car row) (cadr row)))
  (setq got (list (AcDbMText::actualWidth e) (AcDbMText::actualHeight e) (AcDbMtext::lastLineWidth e)))
  (if (and (near (car got) (nth 2 row)) (near (cadr got) (nth 3 row)) (near (caddr got) (nth 4 row)))
    nil
    (list (car row) got)))
(vl-remove nil (mapcar 'check rows))
;=>nil

;; Measuring the last line leaves the text as it was.
(setq m (mtext "WWW\\Paaa bbb xxx" 9.0))
(setq before (entget m))
(near (AcDbMtext::lastLineWidth m) 3.636)
;=>T
(equal before (entget m))
;=>T

;; Empty text is one line high; ascent is what the font reaches above the capitals
;; (1.901 - 1.493), descent below the baseline.
(setq empty (mtext "" 0.0))
(mapcar '(lambda (f) (f empty)) (list AcDbMText::actualWidth AcDbMText::actualHeight))
;=>(0.0 1.493)
(list (near (AcDbMText::ascent m) 0.408) (near (AcDbMText::descent m) 0.483))
;=>(T T)

;; Direction: the slope of the text's X axis; opposite directions agree, vertical ones
;; give the rounded quarter turn.
(defun with-direction (d / e)
  (setq e (mtext "d" 0.0))
  (entmod (append (entget e) (list (cons 11 d))))
  (AcDbMText::direction e))
(mapcar '(lambda (row) (= (with-direction (car row)) (cadr row)))
        (list (list '(1.0 0.0 0.0) 0.0) (list '(1.0 1.0 0.0) (atan 1.0)) (list '(-1.0 -1.0 0.0) (atan 1.0))
              (list '(2.0 -1.0 0.0) (atan -0.5)) (list '(0.0 1.0 0.0) 1.57079) (list '(0.0 -1.0 0.0) -1.57079)))
;=>(T T T T T T)

;; setDirection turns the X axis about Z; a direction along the text's normal is refused.
(setq d (mtext "d" 0.0))
;; A direction set by angle keeps a trace of X: a quarter turn reads back as the exact
;; one, not the rounded value.
(list (AcDbMText::setDirection d (/ pi 2)) (near (AcDbMText::direction d) (/ pi 2)))
;=>(T T)
(AcDbMText::setDirection d 3)
;=>T
(near (AcDbMText::direction d) (atan (/ (sin 3.0) (cos 3.0))))
;=>T
(list (AcDbMText::setNormal d '(1 0 0)) (cdr (assoc 210 (entget d))))
;=>(T (1.0 0.0 0.0))
(setq dir (cdr (assoc 11 (entget d))))
(AcDbMText::setDirection d 0)
;=>nil
(equal dir (cdr (assoc 11 (entget d))))
;=>T
(AcDbMText::setNormal d '(0 0 0))
;=>nil
(AcDbMText::setNormal d 0 0 5)
;=>T
(cdr (assoc 210 (entget d)))
;=>(0.0 0.0 1.0)

;; The mask fills with the background colour at the scale given; a scale the host does
;; not take leaves the one the text had.
(list (AcDbMText::setMask m T 2.0) (cdr (assoc 90 (entget m))) (cdr (assoc 45 (entget m))))
;=>(T 3 2.0)
(list (AcDbMText::setMask m T 9.0) (cdr (assoc 45 (entget m))))
;=>(T 2.0)
(list (AcDbMText::setMask m nil 1.5) (assoc 90 (entget m)))
;=>(T nil)

;; Insertion: optional width, style and attachment, each passed over when of another
;; type; height and style otherwise the drawing's.
(defun groups (e) (mapcar '(lambda (g) (cdr (assoc g (entget e)))) '(0 1 10 41 7 71 40 410)))
(groups (AcDbMText::insert "Hello" '(1 2)))
;=>("MTEXT" "Hello" (1.0 2.0 0.0) 0.0 "Standard" 1 2.5 "Model")
(entmake '((0 . "STYLE") (100 . "AcDbSymbolTableRecord") (100 . "AcDbTextStyleTableRecord") (2 . "Narrow") (70 . 0) (40 . 0.0) (41 . 0.5) (3 . "txt")))
(groups (AcDbMText::insert "A\\PB" '(0 0 0) 20 "Narrow" 5))
;=>("MTEXT" "A\\PB" (0.0 0.0 0.0) 20.0 "Narrow" 5 2.5 "Model")
(groups (AcDbMText::insert "x" '(0 0 0) "Narrow" 9))
;=>("MTEXT" "x" (0.0 0.0 0.0) 0.0 "Standard" 1 2.5 "Model")
(groups (AcDbMText::insert "x" '(0 0 0) -4.0 "Missing" 12))
;=>("MTEXT" "x" (0.0 0.0 0.0) 0.0 "Standard" 1 2.5 "Model")
(groups (AcDbMText::insert "x" '(0 0 0) 2 nil 9))
;=>("MTEXT" "x" (0.0 0.0 0.0) 2.0 "Standard" 9 2.5 "Model")
(outcome 'AcDbMText::insert '(1 (0 0 0)))
;/
;/Wrong type of arguments passed.
;=>"ADS request error"
(outcome 'AcDbMText::insert '("x"))
;/
;/Wrong type of arguments passed.
;=>"ADS request error"

;; Refusals: a line, an erased text, the layer record "0", each left as it was. The
;; measures give the bad-data error; setDirection, setMask and lastLineWidth give nil.
(setq ln (progn (entmake '((0 . "LINE") (10 0.0 0.0 0.0) (11 1.0 0.0 0.0))) (entlast))
      gone (mtext "gone" 0.0)
      lay (tblobjname "LAYER" "0"))
(progn (entdel gone) T)
;=>T
(setq bad (list ln gone lay) kept (mapcar 'entget (list ln lay)))
(mapcar '(lambda (f)
           (mapcar '(lambda (e) (outcome f (list e))) bad))
        '(AcDbMText::actualWidth AcDbMText::actualHeight AcDbMText::ascent AcDbMText::descent AcDbMText::direction))
;/
;/Bad data passed .
;/
;/Bad data passed .
;/
;/Bad data passed .
;/
;/Bad data passed .
;/
;/Bad data passed .
;/
;/Bad data passed .
;/
;/Bad data passed .
;/
;/Bad data passed .
;/
;/Bad data passed .
;/
;/Bad data passed .
;/
;/Bad data passed .
;/
;/Bad data passed .
;/
;/Bad data passed .
;/
;/Bad data passed .
;/
;/Bad data passed .
;=>(("ADS request error" "ADS request error" "ADS request error") ("ADS request error" "ADS request error" "ADS request error") ("ADS request error" "ADS request error" "ADS request error") ("ADS request error" "ADS request error" "ADS request error") ("ADS request error" "ADS request error" "ADS request error"))
(mapcar '(lambda (e) (list (AcDbMText::setDirection e 1.0) (AcDbMText::setMask e T 2.0) (AcDbMtext::lastLineWidth e))) bad)
;=>((nil nil nil) (nil nil nil) (nil nil nil))
(mapcar '(lambda (e) (outcome 'AcDbMText::setNormal (list e '(1 0 0)))) bad)
;/
;/Bad data passed .
;/
;/Bad data passed .
;/
;/Bad data passed .
;=>("ADS request error" "ADS request error" "ADS request error")
(list (equal kept (mapcar 'entget (list ln lay))) (entget gone))
;=>(T nil)

;; Wrong arguments: a name that is not an entity name, a missing or wrong value.
(mapcar '(lambda (call) (outcome (car call) (cdr call)))
        (list (list 'AcDbMText::actualWidth "m") (list 'AcDbMText::actualHeight)
              (list 'AcDbMText::setDirection m "1") (list 'AcDbMText::setNormal m)
              (list 'AcDbMText::setMask m T) (list 'AcDbMtext::lastLineWidth 1)))
;/
;/Wrong type of arguments passed.
;/
;/Wrong type of arguments passed.
;/
;/Wrong type of arguments passed.
;/
;/Wrong type of arguments passed.
;/
;/Wrong type of arguments passed.
;/
;/Wrong type of arguments passed.
;=>("ADS request error" "ADS request error" "ADS request error" "ADS request error" "ADS request error" "ADS request error")
