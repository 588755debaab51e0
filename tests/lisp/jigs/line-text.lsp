;; nv_nv-lineJig and nv_nv-textJig: vertices picked one drag each (the rubber band from
;; the last one), motions that add nothing, Enter and Escape, points typed relative to
;; the last vertex; the text dragged by its top-left corner, missing styles and
;; unreadable arguments. Neither jig adds anything to the drawing.
(defun last-drag () (car (reverse (host:jigs))))
(defun close-to (a b) (equal a b 1e-6))
(defun handles (/ e l) (setq e (entnext)) (while e (setq l (cons (cdr (assoc 5 (entget e))) l) e (entnext e))) l)
(progn (host:jigs) (setq before (handles)) T)
;=>T
;; Three picks and Enter give three points; cursor motions add none.
(host:input "1,1" "~4,4" "2,2" "~0,0" "3,3" "~7,7" "")
(nv_nv-lineJig "")
;=>((1.0 1.0 0.0) (2.0 2.0 0.0) (3.0 3.0 0.0))
;; One drag per vertex: the first asks for a plain point, the others for a point from
;; the last vertex with the rubber band (cursor 2); null input accepted (controls 2).
(setq drags (host:jigs))
(mapcar '(lambda (d) (list (car d) (caddr d) (mapcar '(lambda (s) (list (cadr s) (caddr s) (nth 3 s))) (nth 4 d)))) drags)
;=>(("\nSpecify start point: " 0 ((-1 2 "1,1"))) ("\nSpecify next point: " 0 ((2 2 "~4,4") (2 2 "2,2"))) ("\nSpecify next point: " 0 ((2 2 "~0,0") (2 2 "3,3"))) ("\nSpecify next point: " -1 ((2 2 "~7,7") (2 2 ""))))
;; Nothing is drawn while dragging: the band is the host's.
(mapcar '(lambda (d) (list (nth 3 d) (nth 5 d))) drags)
;=>((0 nil) (0 nil) (0 nil) (0 nil))
;; A start point is the first vertex and the first prompt asks for the next point;
;; "@dx,dy" is taken from the last vertex.
(host:input "@3,0" "@0,4" "")
(nv_nv-lineJig "0" '(1 1))
;=>((1.0 1.0 0.0) (4.0 1.0 0.0) (4.0 5.0 0.0))
(car (car (host:jigs)))
;=>"\nSpecify next point: "
(host:input "")
(nv_nv-lineJig "" '(5 5 0))
;=>((5.0 5.0 0.0))
;; Enter before any vertex, Escape at any prompt: nil.
(host:input "")
(nv_nv-lineJig "")
;=>nil
(host:input "1,1" "2,2" "*cancel*")
(nv_nv-lineJig "")
;=>nil
(host:input "*cancel*")
(nv_nv-lineJig "" '(1 1))
;=>nil
;; The layer name is optional and an unreadable one counts as none; a start point that
;; is not a point is no start point.
(host:input "1,1" "")
(list (nv_nv-lineJig) (progn (host:input "1,1" "") (nv_nv-lineJig 42)) (progn (host:input "1,1" "") (nv_nv-lineJig "" "x")))
;=>(((1.0 1.0 0.0)) ((1.0 1.0 0.0)) ((1.0 1.0 0.0)))
(host:input "1,1" "")
(nv_nv-lineJig 7 '(3 4))
;=>((3.0 4.0 0.0) (1.0 1.0 0.0))
;; Text: the location is the pick raised by (ascent - height) of the text, the same for
;; every pick and in proportion to the height.
(host:jigs)
(host:input "~7,7" "1,2")
(setq t1 (nv_nv-textJig "Hello" "Standard" 2.5 "0"))
(host:input "-3,10")
(setq t2 (nv_nv-textJig "Hello" "Standard" 2.5 "0"))
(host:input "1,2")
(setq t3 (nv_nv-textJig "Hello" "Standard" 5.0 "0"))
(setq rise (- (cadr t1) 2))
(list (car t1) (caddr t1) (close-to (mapcar '- t2 t1) '(-4 8 0)) (close-to (- (cadr t3) 2) (* 2 rise)))
;=>(1.0 0.0 T T)
(mapcar '(lambda (d) (list (car d) (caddr d) (nth 3 d) (caddr (car (nth 5 d))))) (host:jigs))
;=>(("\nSpecify text insertion point: " 0 2 "Hello") ("\nSpecify text insertion point: " 0 1 "Hello") ("\nSpecify text insertion point: " 0 1 "Hello"))
;; Enter is not an answer here (the host waits for a point); Escape gives nil.
(host:input "" "4,4")
(close-to (nv_nv-textJig "Hi" "Standard" 2.5 "0") (list 4 (+ 4 rise) 0))
;=>T
(host:input "*cancel*")
(nv_nv-textJig "Hi" "Standard" 2.5 "0")
;=>nil
;; A style the drawing lacks, or unreadable arguments: nil without a drag or a message.
(host:jigs)
(list (nv_nv-textJig "Hi" "NoSuchStyle" 2.5 "0") (nv_nv-textJig 1 "Standard" 2.5 "0")
      (nv_nv-textJig "Hi" nil 2.5 "0") (nv_nv-textJig "Hi" "Standard" "big" "0")
      (nv_nv-textJig "Hi" "Standard" 2.5) (nv_nv-textJig))
;=>(nil nil nil nil nil nil)
(host:jigs)
;=>nil
;; A layer the drawing lacks leaves the text on the current layer; it still drags.
(host:input "0,0")
(close-to (nv_nv-textJig "Hi" "Standard" 2.5 "NoSuchLayer") (list 0 rise 0))
;=>T
(equal (handles) before)
;=>T
