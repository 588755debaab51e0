;; nv_nv-multiMoveJig, nv_nv-multiRotateJig and nv_nv-rotateJig: copies dragged and
;; drawn at each cursor position (checked against translations and rotations worked
;; out here), the rubber band and input controls, ortho, points typed relative to the
;; base, Enter and Escape, entities that cannot be opened, and wrong arguments. The
;; entities named are never changed.
(defun last-drag () (car (reverse (host:jigs))))
(defun drawn (drag) (nth 5 drag))
(defun close-to (a b) (equal a b 1e-6))
(defun turn (p c a / x y)
  (setq x (- (car p) (car c)) y (- (cadr p) (cadr c)))
  (list (+ (car c) (- (* x (cos a)) (* y (sin a)))) (+ (cadr c) (* x (sin a)) (* y (cos a))) 0.0))
(setq l1 (entmakex '((0 . "LINE") (10 0.0 0.0 0.0) (11 10.0 0.0 0.0)))
      l2 (entmakex '((0 . "LINE") (10 0.0 2.0 0.0) (11 0.0 5.0 0.0)))
      c1 (entmakex '((0 . "CIRCLE") (10 3.0 3.0 0.0) (40 . 1.0))))
(setq originals (mapcar 'entget (list l1 l2 c1)))
(host:jigs)
;; Move: each row is a cursor position; the copies are drawn moved by (cursor - base).
(setq base '(1 1 0) cursors '((5 3) (-2 7) (1 1) (0.5 -4)))
(defun move-fails (cursor / d want)
  (host:input (strcat "~" (rtos (car cursor) 2 6) "," (rtos (cadr cursor) 2 6))
              (strcat (rtos (car cursor) 2 6) "," (rtos (cadr cursor) 2 6)))
  (setq r (nv_nv-multiMoveJig "\nTo point: " base (list l1 l2 c1)))
  (setq d (mapcar '- (list (car cursor) (cadr cursor) 0) base)
        want (list (list "polyline" d (mapcar '+ '(10 0 0) d))
                   (list "polyline" (mapcar '+ '(0 2 0) d) (mapcar '+ '(0 5 0) d))
                   (list "circle" (mapcar '+ '(3 3 0) d) 1.0)))
  (if (and (close-to r (list (car cursor) (cadr cursor) 0.0))
           (or (equal cursor '(1 1)) (close-to (drawn (last-drag)) want)))
    nil
    (list cursor r (drawn (last-drag)))))
(vl-remove 'nil (mapcar 'move-fails cursors))
;=>nil
;; The move drag asks for points from the base with the rubber band (cursor type 2)
;; under ortho and null-response controls (3).
(host:jigs)
(host:input "~2,2" "4,4")
(nv_nv-multiMoveJig "\nTo point: " '(1 1) (list l1))
;=>(4.0 4.0 0.0)
(mapcar '(lambda (s) (list (car s) (cadr s) (caddr s))) (nth 4 (last-drag)))
;=>(("point" 2 3) ("point" 2 3))
;; With ORTHOMODE on, the cursor keeps only its larger offset from the base; a point
;; typed relative to the base ("@dx,dy") is taken as typed.
(setvar "ORTHOMODE" 1)
(host:input "~4,2" "7,2")
(nv_nv-multiMoveJig "\nTo point: " '(1 1) (list l1))
;=>(7.0 1.0 0.0)
(close-to (drawn (last-drag)) '(("polyline" (6 0 0) (16 0 0))))
;=>T
(host:input "2,9")
(nv_nv-multiMoveJig "\nTo point: " '(1 1) (list l1))
;=>(1.0 9.0 0.0)
(host:input "@3,4")
(nv_nv-multiMoveJig "\nTo point: " '(1 1) (list l1))
;=>(4.0 5.0 0.0)
(setvar "ORTHOMODE" 0)
(host:input "@-1,0.5")
(nv_nv-multiMoveJig "\nTo point: " '(1 1) (list l1))
;=>(0.0 1.5 0.0)
;; Rotate: the copies are drawn turned about the base by the cursor's angle from it.
(setq base '(1 1 0))
(defun rotate-fails (cursor / a want)
  (host:input (strcat "~" (rtos (car cursor) 2 6) "," (rtos (cadr cursor) 2 6)) "~9,1"
              (strcat (rtos (car cursor) 2 6) "," (rtos (cadr cursor) 2 6)))
  (setq r (nv_nv-multiRotateJig "\nAngle: " base (list l1 c1)))
  (setq a (angle base cursor)
        want (list (list "polyline" (turn '(0 0) base a) (turn '(10 0) base a))
                   (list "circle" (turn '(3 3) base a) 1.0)))
  (if (and (close-to r a) (close-to (drawn (last-drag)) want)) nil (list cursor r (drawn (last-drag)))))
(vl-remove 'nil (mapcar 'rotate-fails '((1 5) (-3 -2) (4 0) (2 2))))
;=>nil
;; A typed angle is in degrees; ortho holds the cursor's direction to the axes.
(host:input "~1,5" "45")
(nv_nv-multiRotateJig "\nAngle: " '(0 0) (list l1))
;=>0.785398
(close-to (drawn (last-drag)) (list (list "polyline" '(0 0 0) (turn '(10 0) '(0 0) (/ pi 4)))))
;=>T
(setvar "ORTHOMODE" 1)
(host:input "-5,1")
(nv_nv-multiRotateJig "\nAngle: " '(0 0) (list l1))
;=>3.14159
(setvar "ORTHOMODE" 0)
;; Enter and Escape: nil from both multi jigs.
(host:input "~3,3" "")
(nv_nv-multiMoveJig "\nTo point: " '(1 1) (list l1))
;=>nil
(host:input "~3,3" "*cancel*")
(nv_nv-multiMoveJig "\nTo point: " '(1 1) (list l1))
;=>nil
(host:input "~3,3" "")
(nv_nv-multiRotateJig "\nAngle: " '(1 1) (list l1))
;=>nil
(host:input "*cancel*")
(nv_nv-multiRotateJig "\nAngle: " '(1 1) (list l1))
;=>nil
;; rotateJig: a line turns about the low corner of its extents but is drawn unturned;
;; Enter gives T where multiRotateJig gives nil.
(host:input "~0,-5" "4,2")
(nv_nv-rotateJig l2 "\nRotation: ")
;=>0.0
(host:input "0,3")
(nv_nv-rotateJig l2 "\nRotation: ")
;=>1.5708
(host:input "~5,2" "-1,2")
(list (nv_nv-rotateJig l2 "\nRotation: ") (drawn (last-drag)))
;=>(3.14159 (("polyline" (0.0 2.0 0.0) (0.0 5.0 0.0))))
(host:input "~1,1" "")
(nv_nv-rotateJig l2 "\nRotation: ")
;=>T
(host:input "*cancel*")
(nv_nv-rotateJig l2 "\nRotation: ")
;=>nil
;; A block reference turns about its position, and is drawn turned.
(entmake '((0 . "BLOCK") (2 . "Bar") (70 . 0) (10 0.0 0.0 0.0)))
(entmake '((0 . "LINE") (10 0.0 0.0 0.0) (11 4.0 0.0 0.0)))
(entmake '((0 . "ENDBLK")))
(setq ins (entmakex '((0 . "INSERT") (2 . "Bar") (10 2.0 2.0 0.0))))
(host:input "2,9")
(list (nv_nv-rotateJig ins "\nRotation: ") (close-to (drawn (last-drag)) '(("polyline" (2 2 0) (2 6 0)))))
;=>(1.5708 T)
;; The entities named were never changed.
(equal (mapcar 'entget (list l1 l2 c1)) originals)
;=>T
(cdr (assoc 50 (entget ins)))
;=>nil
;; Erased entities and empty lists: nil without a drag; the list ends at its first
;; element that is not an entity name.
(setq gone (entmakex '((0 . "LINE") (10 0.0 0.0 0.0) (11 1.0 0.0 0.0))))
(entdel gone)
(host:jigs)
(list (nv_nv-multiMoveJig "\nTo: " '(0 0) (list gone)) (nv_nv-multiRotateJig "\nA: " '(0 0) nil)
      (nv_nv-rotateJig gone "\nR: ") (nv_nv-multiMoveJig "\nTo: " '(0 0) (list "x" l1)))
;=>(nil nil nil nil)
(host:jigs)
;=>nil
(host:input "@2,0")
(nv_nv-multiMoveJig "\nTo: " '(0 0) (list gone l1 "x" l2))
;=>(2.0 0.0 0.0)
(mapcar 'car (drawn (last-drag)))
;=>("polyline")
;; Wrong arguments: prompt, base point and list are required, in that order; rotateJig
;; needs an entity name and a prompt.
(defun try (f args / r) (setq r (vl-catch-all-apply f args)) (if (vl-catch-all-error-p r) 'error r))
(mapcar '(lambda (f) (mapcar '(lambda (a) (try f a)) (list nil '("p") (list "p" '(0 0)) (list 1 '(0 0) (list l1)) (list "p" "q" (list l1)) (list "p" '(0 0) l1))))
        '(nv_nv-multiMoveJig nv_nv-multiRotateJig))
;=>((ERROR ERROR ERROR ERROR ERROR ERROR) (ERROR ERROR ERROR ERROR ERROR ERROR))
(mapcar '(lambda (a) (try 'nv_nv-rotateJig a)) (list nil (list l1) (list "p" l1) (list l1 7)))
;=>(ERROR ERROR ERROR ERROR)
