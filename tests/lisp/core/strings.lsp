;; Strings: escapes, printing, conversion, wildcards.
(prin1 "a\"b")
;/"a\"b"
(princ "a\"b")
;/a"b
(prin1 (chr 2))
;/"\002"
(princ "a\nb")
;/a
;/b
(strcat "a" 1)
;!bad argument type: stringp 1
(vl-prin1-to-string "abc")
;=>"\"abc\""
(wcmatch "Name" "???,~*m*,N*")
;=>T
(substr "Hello" 2 3)
;=>"ell"
(vl-string-subst "Z" "o" "foo")
;=>"fZo"
