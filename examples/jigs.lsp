;;; Jigs: a row of valve symbols placed with the block jig, turned with the rotate
;;; jigs, moved with the move jig, then saved. The script plays the user: each
;;; (host:input ...) queues what a user would do at the next prompts ("~x,y" moves the
;;; cursor, "x,y" picks, "" is Enter, other text is typed).
;;;   build/tabrik run examples/jigs.lsp
;;; It leaves, in the current folder:
;;;   jigs.dxf   the drawing with the placed, turned and moved valves

(defun show (label value)
  (princ (strcat "\n  " label ": "))
  (prin1 value)
  (princ))

(defun nvBlock-alertMissing (name)
  (princ (strcat "\n  (no block " name ")"))
  nil)

(if (/= (type RectangleJig) 'EXRXSUBR)
  (progn (princ "\nThe Tabrik module is not loaded: build it first.") (exit)))

;; 1. The symbol: a valve (two triangles tip to tip) with a constant label, part of the
;;    block, so it turns and moves with each valve.
(entmake '((0 . "BLOCK") (2 . "Valve") (70 . 2) (10 0.0 0.0 0.0)))
(entmake '((0 . "LINE") (10 -1.0 -0.5 0.0) (11 1.0 0.5 0.0)))
(entmake '((0 . "LINE") (10 1.0 0.5 0.0) (11 1.0 -0.5 0.0)))
(entmake '((0 . "LINE") (10 1.0 -0.5 0.0) (11 -1.0 0.5 0.0)))
(entmake '((0 . "LINE") (10 -1.0 0.5 0.0) (11 -1.0 -0.5 0.0)))
(entmake '((0 . "ATTDEF") (10 -1.0 1.0 0.0) (40 . 0.4) (1 . "V") (2 . "LABEL") (3 . "") (70 . 2)))
(entmake '((0 . "ENDBLK")))

;; 2. A row of four valves, three units apart: the cursor wanders, then picks; the
;;    first two are turned by dragging, the others go in at rotation 0 (Enter).
(princ "\nPlacing a row of valves")
(setq valves nil)
(foreach spot '(("~2,2" "0,0" "~0,5" "0,5") ("~4,1" "3,0" "~5,2" "4,1")
                ("6,0" "") ("9,0" ""))
  (apply 'host:input spot)
  (setq valves (append valves (mapcar 'cdr (AcDbBlockReference::Jig T 1 1 nil "Valve")))))
(show "valves" (length valves))
(defun rotation (v) (cond ((cdr (assoc 50 (entget v)))) (0.0)))
(show "rotations" (mapcar 'rotation valves))

;; 3. Turn the last two together a quarter turn about the row's end: the jig returns
;;    the angle, the program applies it to the entities.
(princ "\n\nTurning the last two")
(setq base '(9.0 0.0 0.0))
(host:input "~9,4" "~8,3" "9,5")
(setq turn (nv_nv-multiRotateJig "\nAngle: " base (cddr valves)))
(show "angle" turn)
(foreach v (cddr valves)
  (setq e (entget v)
        p (cdr (assoc 10 e))
        d (distance base p)
        a (+ (angle base p) turn))
  (setq e (subst (cons 10 (polar base a d)) (assoc 10 e) e))
  (setq e (if (assoc 50 e)
            (subst (cons 50 (+ (cdr (assoc 50 e)) turn)) (assoc 50 e) e)
            (append e (list (cons 50 turn)))))
  (entmod e))
(show "positions" (mapcar '(lambda (v) (cdr (assoc 10 (entget v)))) (cddr valves)))
(show "rotations" (mapcar 'rotation (cddr valves)))

;; 4. One valve on its own: rotateJig turns it about its insertion point.
(host:input "~3,3" "3,-3")
(setq a (nv_nv-rotateJig (car valves) "\nRotation: "))
(show "first valve's new angle" a)
(setq e (entget (car valves)))
(entmod (if (assoc 50 e) (subst (cons 50 a) (assoc 50 e) e) (append e (list (cons 50 a)))))

;; 5. Move the whole row up by 4: the jig returns the point picked from the base.
(princ "\n\nMoving the row")
(host:input "~2,2" "@0,4")
(setq to (nv_nv-multiMoveJig "\nTo point: " '(0 0) valves))
(show "moved to" to)
(foreach v valves
  (setq e (entget v))
  (entmod (subst (cons 10 (mapcar '+ (cdr (assoc 10 e)) to)) (assoc 10 e) e)))
(show "positions" (mapcar '(lambda (v) (cdr (assoc 10 (entget v)))) valves))

;; 6. Save.
(show "\nsaved jigs.dxf" (host:save-as "jigs.dxf"))
(princ "\n")
(princ)
