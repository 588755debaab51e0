;; RectangleJig: the four corner layouts and middle placement, the Corner and Middle
;; keywords, the rotation about the placed point, the centre found back from it, Enter
;; and Escape at both prompts, and wrong arguments. Expected corners and centres are
;; worked out by hand from the side lengths (A along Y, B along X).
(defun vertices (drag) (mapcar 'cadr (nth 5 drag)))
(defun last-drag () (car (reverse (host:jigs))))
(defun close-to (a b) (equal a b 1e-6))
(host:jigs)
;; A = 10, B = 20 in corner mode 1 at the origin, no rotation.
(host:input "0,0")
(RectangleJig 10 20 1 nil)
;=>((10.0 5.0) (0.0 0.0) (20.0 10.0) 0.0 1)
;; Each layout at (2, 3) with A = 4 and B = 6: the drawn vertices P0..P3 and the result
;; (centre P0 P2 angle index). Index 0 is middle placement; 7 takes the last layout.
(setq layouts
  '((1 ((2 3 0) (8 3 0) (8 7 0) (2 7 0)) ((5 5) (2 3) (8 7) 0.0 1))
    (2 ((2 3 0) (-4 3 0) (-4 7 0) (2 7 0)) ((-1 5) (2 3) (-4 7) 0.0 2))
    (3 ((2 3 0) (-4 3 0) (-4 -1 0) (2 -1 0)) ((-1 1) (2 3) (-4 -1) 0.0 3))
    (4 ((2 3 0) (8 3 0) (8 -1 0) (2 -1 0)) ((5 1) (2 3) (8 -1) 0.0 4))
    (7 ((2 3 0) (8 3 0) (8 -1 0) (2 -1 0)) ((5 1) (2 3) (8 -1) 0.0 7))
    (0 ((-1 5 0) (5 5 0) (5 1 0) (-1 1 0)) ((2 3) (-1 5) (5 1) 0.0 0))))
(defun layout-fails (row / result drawn)
  (host:input "~9,9" "2,3")
  (setq result (RectangleJig 4 6 (car row) nil))
  (setq drawn (vertices (last-drag)))
  (if (and (close-to drawn (cadr row)) (close-to result (caddr row))) nil (list row result drawn)))
(vl-remove 'nil (mapcar 'layout-fails layouts))
;=>nil
;; An index beyond LISP's integers comes back as a real; Corner from any index past 4
;; goes to 1.
(host:input "0,0")
(RectangleJig 1 2 40000 nil)
;=>((1.0 -0.5) (0.0 0.0) (2.0 -1.0) 0.0 40000.0)
(host:input "C" "0,0")
(nth 4 (RectangleJig 1 2 2147483647 nil))
;=>1
;; Keywords from corner 1: Corner steps to the next corner and wraps from 4 to 1;
;; Middle gives index 0; Corner after Middle only leaves middle mode (index 0, the last
;; layout); full names and any letter case work. Each row: keywords, then index and
;; the corner opposite the pick at the origin (A = 1, B = 2).
(setq sequences
  '((("C") 2 (-2 1)) (("C" "C") 3 (-2 -1)) (("C" "C" "C") 4 (2 -1))
    (("C" "C" "C" "C") 1 (2 1)) (("M") 0 (1 -0.5)) (("M" "C") 0 (2 -1))
    (("M" "C" "C") 1 (2 1)) (("middle" "corner" "CORNER") 1 (2 1)) (("m" "m") 0 (1 -0.5))))
(defun keywords-fail (row / result)
  (apply 'host:input (append (car row) '("0,0")))
  (setq result (RectangleJig 1 2 1 nil))
  (if (and (= (nth 4 result) (cadr row)) (close-to (nth 2 result) (caddr row))) nil (list row result)))
(vl-remove 'nil (mapcar 'keywords-fail sequences))
;=>nil
;; Every keyword ends a drag and the next one asks again with the same prompt.
(host:jigs)
(host:input "C" "M" "0,0")
(RectangleJig 1 2 1 nil)
;=>((0.0 0.0) (-1.0 0.5) (1.0 -0.5) 0.0 0)
(mapcar '(lambda (d) (list (car d) (cadr d) (caddr d))) (host:jigs))
;=>(("\nSpecify insertion point or [Corner/Middle]: " "Corner,C Middle,M" 1) ("\nSpecify insertion point or [Corner/Middle]: " "Corner,C Middle,M" 2) ("\nSpecify insertion point or [Corner/Middle]: " "Corner,C Middle,M" 0))
;; Rotation (the flag defaults to T): corner 1 at (2, 3), the cursor straight above
;; it turns the rectangle a quarter turn about (2, 3).
(host:input "2,3" "~5,3" "2,13")
(RectangleJig 4 6)
;=>((0.0 6.0) (2.0 3.0) (-2.0 9.0) 1.5708 1)
(close-to (vertices (last-drag)) '((2 3 0) (2 9 0) (-2 9 0) (-2 3 0)))
;=>T
;; A typed angle: 30 degrees about the placed point, the corners and the centre by the
;; rotation formula.
(defun turn (p a) (list (- (* (car p) (cos a)) (* (cadr p) (sin a))) (+ (* (car p) (sin a)) (* (cadr p) (cos a)))))
(setq a (/ (* 30 pi) 180) result (progn (host:input "1,1" "30") (RectangleJig 4 6 1 T)))
(list (close-to (nth 1 result) '(1 1)) (close-to (nth 2 result) (mapcar '+ '(1 1) (turn '(6 4) a)))
      (close-to (car result) (mapcar '+ '(1 1) (turn '(3 2) a))) (close-to (nth 3 result) a))
;=>(T T T T)
;; Enter at the rotation prompt keeps the angle last sampled; 0 when the cursor never
;; moved there.
(host:input "0,0" "")
(RectangleJig 1 2)
;=>((1.0 0.5) (0.0 0.0) (2.0 1.0) 0.0 1)
(host:input "0,0" "~-3,0" "")
(RectangleJig 1 2)
;=>((-1.0 -0.5) (0.0 0.0) (-2.0 -1.0) 3.14159 1)
;; Enter or Escape at the placement prompt, Escape at the rotation prompt: nil.
(host:input "~1,1" "")
(RectangleJig 1 2)
;=>nil
(host:input "C" "*cancel*")
(RectangleJig 1 2)
;=>nil
(host:input "0,0" "~0,5" "*cancel*")
(RectangleJig 1 2)
;=>nil
;; Wrong arguments: the sides are required numbers; the index and flag are optional
;; and a non-integer index counts as absent.
(defun try (args / r) (setq r (vl-catch-all-apply 'RectangleJig args)) (if (vl-catch-all-error-p r) 'error r))
(mapcar 'try '(nil (1) ("1" 2) (1 nil)))
;=>(ERROR ERROR ERROR ERROR)
(host:input "0,0")
(try '(1 2 "x" nil))
;=>((1.0 0.5) (0.0 0.0) (2.0 1.0) 0.0 1)
(host:input "0,0")
(try '(1.5 2 0 nil "extra"))
;=>((0.0 0.0) (-1.0 0.75) (1.0 -0.75) 0.0 0)
