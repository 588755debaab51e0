;; defun, scoping, errors, *error* and catching.
(defun f (a) a)
;=>F
(f)
;!too few arguments
(foo)
;!no function definition: FOO
(defun show () x)
(defun outer (x / y) (setq y 1) (show))
(outer 42)
;=>42
(vl-catch-all-error-message (vl-catch-all-apply '/ '(50 0)))
;=>"divide by zero"
(defun *error* (msg) (setq seen msg) (princ))
(+ 1 nil)
;!bad argument type: numberp: nil
seen
;=>"bad argument type: numberp: nil"
(exit)
;!quit / exit abort
seen
;=>"quit / exit abort"
(setq *error* nil)
