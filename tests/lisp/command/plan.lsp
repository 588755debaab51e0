;; A command script that draws: the SCRIPT command runs plan.scr, whose lines give
;; each command and its answers as a user types them.
(setvar "CMDECHO" 0)
;=>0
(command "_.SCRIPT" "plan")
;=>nil
(defun kinds (/ ss i out)
  (setq ss (ssget "_X") i 0)
  (while (< i (sslength ss))
    (setq out (cons (cdr (assoc 0 (entget (ssname ss i)))) out) i (1+ i)))
  (reverse out))
;=>KINDS
(kinds)
;=>("LWPOLYLINE" "LINE" "LINE" "LINE" "CIRCLE" "ARC" "TEXT" "TEXT")
(mapcar '(lambda (c) (cdr (assoc c (entget (entlast))))) '(1 11 72 73))
;=>("HALL 1" (6.0 16.0 0.0) 1 2)
(mapcar '(lambda (c) (cdr (assoc c (entget (ssname (ssget "_X" '((0 . "ARC"))) 0))))) '(10 40 50 51))
;=>((12.0 3.0 0.0) 1.0 1.5708 3.14159)
(cdr (assoc 40 (entget (ssname (ssget "_X" '((0 . "CIRCLE"))) 0))))
;=>0.5
