;; entnext walks the drawing in the order entities were made; entlast is the newest;
;; handent finds an entity by its handle.
(entnext)
;=>nil
(entlast)
;=>nil
(setq a (entmakex '((0 . "LINE") (10 0 0 0) (11 1 0 0)))
      b (entmakex '((0 . "CIRCLE") (10 0 0 0) (40 . 1.0)))
      c (entmakex '((0 . "LINE") (10 0 0 0) (11 0 1 0))))
(defun walk (/ e all)
  (setq e (entnext))
  (while e (setq all (cons e all) e (entnext e)))
  (reverse all))
(equal (walk) (list a b c))
;=>T
(equal (entnext a) b)
;=>T
(entnext c)
;=>nil
(equal (entlast) c)
;=>T
;; Erased entities drop out of the walk and entlast; entnext from one still goes on.
(entdel b)
(equal (walk) (list a c))
;=>T
(equal (entnext b) c)
;=>T
(entdel c)
(equal (entlast) a)
;=>T
(entdel c)
(equal (entlast) c)
;=>T
;; Handles name entities for good.
(equal (handent (cdr (assoc 5 (entget a)))) a)
;=>T
(equal (handent (strcase (cdr (assoc 5 (entget c))) t)) c)
;=>T
(handent "FFFFFF")
;=>nil
;; ERRNO tells why: an invalid entity name.
(getvar "ERRNO")
;=>2
(handent "not hex")
;=>nil
(handent "")
;=>nil
(handent 12)
;!bad argument type: stringp 12
(entnext "a")
;!bad argument type: lentityp "a"
