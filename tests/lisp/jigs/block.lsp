;; AcDbBlockReference::Jig: position and rotation drags of new block references, what
;; the drag draws (the block preview: the block's entities under each reference's
;; transform, nested blocks, host leaders as plain segments, constant attributes as
;; text), the references and attributes added to model space, a given insertion
;; point, missing blocks, Enter and Escape at both prompts, and wrong arguments.
(setq *missing* nil)
(defun nvBlock-alertMissing (name) (setq *missing* (cons name *missing*)) nil)
(defun last-drag () (car (reverse (host:jigs))))
(defun drawn (drag) (nth 5 drag))
(defun close-to (a b) (equal a b 1e-6))
(defun handles (/ e l) (setq e (entnext)) (while e (setq l (cons (cdr (assoc 5 (entget e))) l) e (entnext e))) l)
;; Inner: one vertical line. Box: a line along X, a host leader through three points,
;; Inner at (5, 0), a prompted attribute TAG and two constant ones, one of them
;; invisible.
(entmake '((0 . "BLOCK") (2 . "Inner") (70 . 0) (10 0.0 0.0 0.0)))
(entmake '((0 . "LINE") (10 0.0 0.0 0.0) (11 0.0 1.0 0.0)))
(entmake '((0 . "ENDBLK")))
(entmake '((0 . "BLOCK") (2 . "Box") (70 . 2) (10 0.0 0.0 0.0)))
(entmake '((0 . "LINE") (10 0.0 0.0 0.0) (11 2.0 0.0 0.0)))
(entmake '((0 . "LEADER") (100 . "AcDbEntity") (100 . "AcDbLeader") (76 . 3) (10 0.0 0.0 0.0) (10 1.0 1.0 0.0) (10 3.0 1.0 0.0)))
(entmake '((0 . "INSERT") (2 . "Inner") (10 5.0 0.0 0.0)))
(entmake '((0 . "ATTDEF") (10 0.0 2.0 0.0) (40 . 0.5) (1 . "V") (2 . "TAG") (3 . "Tag?") (70 . 0)))
(entmake '((0 . "ATTDEF") (10 0.0 3.0 0.0) (40 . 0.5) (1 . "SHOWN") (2 . "C1") (3 . "") (70 . 2)))
(entmake '((0 . "ATTDEF") (10 0.0 4.0 0.0) (40 . 0.5) (1 . "HIDDEN") (2 . "C2") (3 . "") (70 . 3)))
(progn (entmake '((0 . "ENDBLK"))) (host:jigs) (setq before (handles)) T)
;=>T
;; Place at (10, 10) with X scale 2 and Y scale 1, then turn a quarter: the cursor goes
;; straight up from the insertion point.
(host:input "~5,5" "10,10" "~10,20" "10,20")
(setq r (AcDbBlockReference::Jig T 2 1 nil "Box"))
(mapcar 'car r)
;=>("obj")
;; (Group codes left out of entity data hold their defaults: 42 scale 1, 50 angle 0.)
(defun group (e g d / p) (if (setq p (assoc g (entget e))) (cdr p) d))
(mapcar '(lambda (g) (group (cdar r) g 'default)) '(0 2 10 41 42 43 50))
;=>("INSERT" "Box" (10.0 10.0 0.0) 2.0 DEFAULT 2.0 1.5708)
;; Only the prompted attribute becomes an ATTRIB of the reference.
(mapcar '(lambda (g) (cdr (assoc g (entget (entnext (cdar r)))))) '(0 2 1))
;=>("ATTRIB" "TAG" "V")
(setq drags (host:jigs))
(mapcar '(lambda (d) (list (car d) (caddr d))) drags)
;=>(("\nSpecify insertion point: " 0) ("\nSpecify rotation angle <0>: " 0))
;; The position drag drew the block scaled (2, 1) at (10, 10): the line, the leader's
;; two segments, Inner at (20, 10), and the visible constant attribute's text only.
(setq polys (vl-remove-if-not '(lambda (p) (= (car p) "polyline")) (drawn (car drags))))
(close-to polys '(("polyline" (10 10 0) (14 10 0)) ("polyline" (10 10 0) (12 11 0))
                  ("polyline" (12 11 0) (16 11 0)) ("polyline" (20 10 0) (20 11 0))))
;=>T
(mapcar 'caddr (vl-remove-if-not '(lambda (p) (= (car p) "text")) (drawn (car drags))))
;=>("SHOWN")
;; The rotation drag drew it turned by a quarter about (10, 10): (x, y) -> (10 - y', 10 + x').
(setq polys (vl-remove-if-not '(lambda (p) (= (car p) "polyline")) (drawn (cadr drags))))
(close-to polys '(("polyline" (10 10 0) (10 14 0)) ("polyline" (10 10 0) (9 12 0))
                  ("polyline" (9 12 0) (9 16 0)) ("polyline" (10 20 0) (9 20 0))))
;=>T
;; Several names: one reference each, in argument order, missing names skipped after
;; the application heard of them. Without the rotate flag there is one drag.
(host:input "3,4")
(setq r (AcDbBlockReference::Jig nil 1 1 nil "Inner" "Ghost" "Box"))
(mapcar '(lambda (p) (list (car p) (cdr (assoc 2 (entget (cdr p)))) (cdr (assoc 10 (entget (cdr p)))))) r)
;=>(("obj" "Inner" (3.0 4.0 0.0)) ("obj" "Box" (3.0 4.0 0.0)))
*missing*
;=>("Ghost")
(length (host:jigs))
;=>1
;; A given insertion point skips the position drag; Enter at the rotation prompt
;; inserts with rotation 0 even after the cursor moved.
(host:input "~4,9" "")
(setq r (AcDbBlockReference::Jig T 1 1 '(4 4 0) "Inner"))
(list (group (cdar r) 10 nil) (group (cdar r) 50 0.0))
;=>((4.0 4.0 0.0) 0.0)
(mapcar 'car (host:jigs))
;=>("\nSpecify rotation angle <0>: ")
;; A typed angle is in degrees; beyond a full turn it comes back within one.
(host:input "0,0" "450")
(cdr (assoc 50 (entget (cdar (AcDbBlockReference::Jig T 1 1 nil "Inner")))))
;=>1.5708
;; Nothing found, Enter or Escape at the insertion prompt, Escape at the rotation
;; prompt: nil, and the drawing has no new entity.
(progn (host:jigs) (setq before (handles)) T)
;=>T
(AcDbBlockReference::Jig T 1 1 nil "Ghost")
;=>nil
(host:jigs)
;=>nil
(host:input "")
(AcDbBlockReference::Jig T 1 1 nil "Box")
;=>nil
(host:input "~1,1" "*cancel*")
(AcDbBlockReference::Jig T 1 1 nil "Box" "Inner")
;=>nil
(host:input "1,1" "~2,2" "*cancel*")
(AcDbBlockReference::Jig T 1 1 nil "Box")
;=>nil
(host:input "*cancel*")
(AcDbBlockReference::Jig T 1 1 '(1 1) "Box")
;=>nil
(equal (handles) before)
;=>T
;; Wrong arguments: the flag and both scales are required, the scales numbers.
(defun try (args / r) (setq r (vl-catch-all-apply 'AcDbBlockReference::Jig args)) (if (vl-catch-all-error-p r) 'error r))
(mapcar 'try '(nil (T) (T 1) (T "2" 1 nil "Box") (T 1 nil nil "Box")))
;=>(ERROR ERROR ERROR ERROR ERROR)
;; No names at all, or names that are not strings: nothing to place.
(mapcar 'try '((T 1 1) (T 1 1 nil) (T 1 1 nil 42 "Box")))
;=>(nil nil nil)
(equal (handles) before)
;=>T
