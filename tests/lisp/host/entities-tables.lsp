;; Symbol tables and dictionaries as LISP sees them.
(tblsearch "LAYER" "0")
;=>((0 . "LAYER") (2 . "0") (70 . 0) (62 . 7) (6 . "Continuous"))
(tblsearch "layer" "0")
;=>((0 . "LAYER") (2 . "0") (70 . 0) (62 . 7) (6 . "Continuous"))
(mapcar '(lambda (n) (cdr (assoc 2 (tblsearch "LTYPE" n)))) '("ByLayer" "ByBlock" "Continuous" "BYLAYER"))
;=>("ByLayer" "ByBlock" "Continuous" "ByLayer")
(cdr (assoc 3 (tblsearch "LTYPE" "Continuous")))
;=>"Solid line"
(tblsearch "LAYER" "NO-SUCH-LAYER")
;=>nil
(cdr (assoc 2 (tblsearch "STYLE" "Standard")))
;=>"Standard"
(cdr (assoc 2 (tblsearch "APPID" "ACAD")))
;=>"ACAD"
;; Layout blocks are not in the BLOCK table as LISP sees it.
(tblsearch "BLOCK" "*Model_Space")
;=>nil
(tblnext "BLOCK" T)
;=>nil
(tblsearch "NOPE" "0")
;!bad argument value: table name "NOPE"
(tblsearch 1 "0")
;!bad argument type: stringp 1
(tblsearch "LAYER" 0)
;!bad argument type: stringp 0

;; tblnext walks a table; the setnext form of tblsearch places it.
(entmake '((0 . "LAYER") (2 . "A") (70 . 0)))
(entmake '((0 . "LAYER") (2 . "B") (70 . 0) (62 . 4)))
(defun names (/ r all)
  (setq r (tblnext "LAYER" T))
  (while r (setq all (cons (cdr (assoc 2 r)) all) r (tblnext "LAYER")))
  (reverse all))
(names)
;=>("0" "A" "B")
(cdr (assoc 2 (tblsearch "LAYER" "A" T)))
;=>"A"
(cdr (assoc 2 (tblnext "LAYER")))
;=>"B"
(tblnext "LAYER")
;=>nil
;; A record made twice is refused the second time.
(entmake '((0 . "LAYER") (2 . "a") (70 . 0)))
;=>nil
(entmake '((0 . "LAYER") (2 . "bad|name") (70 . 0)))
;=>nil

;; tblobjname names the record itself.
(setq r (tblobjname "LAYER" "B"))
(cdr (assoc 0 (entget r)))
;=>"LAYER"
(cdr (assoc 62 (entget r)))
;=>4
(tblobjname "LAYER" "NO-SUCH-LAYER")
;=>nil

;; The named-object dictionary holds the group dictionary.
(setq root (namedobjdict))
(cdr (assoc 0 (entget root)))
;=>"DICTIONARY"
(cdr (assoc 0 (dictsearch root "ACAD_GROUP")))
;=>"DICTIONARY"
(cdr (assoc 0 (dictsearch root "acad_group")))
;=>"DICTIONARY"
(dictsearch root "NO-SUCH-ENTRY")
;=>nil
(equal (cdr (assoc -1 (dictsearch root "ACAD_GROUP"))) (cdr (assoc 350 (member '(3 . "ACAD_GROUP") (entget root)))))
;=>T
(cdr (assoc 0 (dictnext root T)))
;=>"DICTIONARY"
(dictsearch "x" "ACAD_GROUP")
;!bad argument type: lentityp "x"

;; entmod renames a record to a free name; the standard records keep theirs;
;; dictionaries are not changed through entity data.
(setq r (tblobjname "LAYER" "A"))
(cdr (assoc 2 (entget (cdr (assoc -1 (entmod (subst '(2 . "RENAMED") '(2 . "A") (entget r))))))))
;=>"RENAMED"
(tblsearch "LAYER" "A")
;=>nil
(entmod (subst '(2 . "B") '(2 . "RENAMED") (entget r)))
;=>nil
(entmod (subst '(2 . "bad|name") '(2 . "RENAMED") (entget r)))
;=>nil
(setq zero (tblobjname "LAYER" "0"))
(entmod (subst '(2 . "ZERO") '(2 . "0") (entget zero)))
;=>nil
(cdr (assoc 62 (entget (cdr (assoc -1 (entmod (subst '(62 . 5) '(62 . 7) (entget zero))))))))
;=>5
(entmod (entget root))
;=>nil
(cdr (assoc 0 (dictsearch root "ACAD_GROUP")))
;=>"DICTIONARY"

;; Another drawing's tables start at their first record.
(tblnext "LAYER")
(host:new-drawing)
(cdr (assoc 2 (tblnext "LAYER")))
;=>"0"
