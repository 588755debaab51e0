;; Block definitions from BLOCK ... ENDBLK sequences, and the entities inside them.
(entmake '((0 . "BLOCK") (2 . "TAG") (70 . 0) (10 1.0 2.0 0.0)))
;=>((0 . "BLOCK") (2 . "TAG") (70 . 0) (10 1.0 2.0 0.0))
(entmake '((0 . "CIRCLE") (10 0 0 0) (40 . 1.0)))
;=>((0 . "CIRCLE") (10 0 0 0) (40 . 1.0))
(entmake '((0 . "LINE") (10 0 0 0) (11 1 0 0)))
;; Nothing is in the drawing until the definition ends.
(tblsearch "BLOCK" "TAG")
;=>nil
(entlast)
;=>nil
(entmake '((0 . "ENDBLK")))
;=>"TAG"
(setq b (tblsearch "BLOCK" "TAG"))
(mapcar '(lambda (c) (cdr (assoc c b))) '(0 2 70 10))
;=>("BLOCK" "TAG" 0 (1.0 2.0 0.0))
(setq first (cdr (assoc -2 b)))
(cdr (assoc 0 (entget first)))
;=>"CIRCLE"
(cdr (assoc 0 (entget (entnext first))))
;=>"LINE"
;; An insert of the new block.
(entmake '((0 . "INSERT") (2 . "TAG") (10 5.0 5.0 0.0) (41 . 2.0) (42 . 2.0) (43 . 2.0)))
(setq d (entget (entlast)))
(mapcar '(lambda (c) (cdr (assoc c d))) '(0 2 10 41))
;=>("INSERT" "TAG" (5.0 5.0 0.0) 2.0)
(entmake '((0 . "INSERT") (2 . "NO-SUCH-BLOCK") (10 0 0 0)))
;=>nil
(ssget "X" '((0 . "INSERT") (2 . "TAG")))
;; A block name in use, and ENDBLK without BLOCK, make nothing.
(entmake '((0 . "BLOCK") (2 . "TAG") (70 . 0) (10 0 0 0)))
;=>nil
(entmake '((0 . "ENDBLK")))
;=>nil
;; Anonymous blocks take the next *U name.
(entmake '((0 . "BLOCK") (2 . "*U") (70 . 1) (10 0 0 0)))
(entmake '((0 . "POINT") (10 0 0 0)))
(entmake '((0 . "ENDBLK")))
;=>"*U1"
;; entmake without data drops a definition in progress.
(entmake '((0 . "BLOCK") (2 . "DROPPED") (70 . 0) (10 0 0 0)))
(entmake)
;=>nil
(entmake '((0 . "ENDBLK")))
;=>nil
(tblsearch "BLOCK" "DROPPED")
;=>nil

;; Old-style polylines: POLYLINE, its VERTEXes, then SEQEND.
(entmake '((0 . "POLYLINE") (66 . 1) (10 0.0 0.0 0.0) (70 . 1)))
(entmake '((0 . "VERTEX") (10 0.0 0.0 0.0)))
(entmake '((0 . "VERTEX") (10 4.0 0.0 0.0) (42 . 0.5)))
(entmake '((0 . "VERTEX") (10 4.0 3.0 0.0)))
(entmake '((0 . "SEQEND")))
;=>((0 . "SEQEND"))
(setq p (entlast))
(list (cdr (assoc 0 (entget p))) (cdr (assoc 70 (entget p))))
;=>("POLYLINE" 1)
(defun parts (e / all)
  (while (setq e (entnext e)) (setq all (cons (cdr (assoc 0 (entget e))) all)))
  (reverse all))
(parts p)
;=>("VERTEX" "VERTEX" "VERTEX" "SEQEND")
(cdr (assoc 10 (entget (entnext (entnext p)))))
;=>(4.0 0.0 0.0)
(cdr (assoc 42 (entget (entnext (entnext p)))))
;=>0.5
;; A VERTEX without its POLYLINE, or a SEQEND with nothing open, makes nothing.
(entmake '((0 . "VERTEX") (10 0.0 0.0 0.0)))
;=>nil
(entmake '((0 . "SEQEND")))
;=>nil

;; An insert with attributes.
(entmake '((0 . "INSERT") (66 . 1) (2 . "TAG") (10 0.0 0.0 0.0)))
(entmake '((0 . "ATTRIB") (10 0.0 0.0 0.0) (40 . 0.25) (1 . "42") (2 . "NUM") (70 . 0)))
(entmake '((0 . "SEQEND")))
(setq i (entlast))
(cdr (assoc 0 (entget i)))
;=>"INSERT"
(mapcar '(lambda (c) (cdr (assoc c (entget (entnext i))))) '(0 1 2))
;=>("ATTRIB" "42" "NUM")
;; Attributes go with their insert.
(entdel (entnext i))
;=>nil
