;; Output of a form, line by line, and values as prin1 prints them.
(princ "one\ntwo")
;=>"one\ntwo"
;/one
;/two
(progn (prin1 "q") (princ 1.5) (print 'sym) nil)
;=>nil
;/"q"1.5
;/SYM 
(progn (princ "no newline") (car 1))
;/no newline
;!bad argument type: consp 1
(/ 1 0)
;!
(strcat "Gr" "öße")
;=>"Größe"
;; Text passes through as UTF-8, byte for byte.
(princ "Größe €")
;/Größe €
