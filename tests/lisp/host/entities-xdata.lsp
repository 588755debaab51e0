;; Extended data: applications registered with regapp, given under -3, read back
;; when entget names the application.
(regapp "NORVANE")
;=>"NORVANE"
(regapp "NORVANE")
;=>nil
(regapp "bad<name")
;=>nil
(regapp 7)
;!bad argument type: stringp 7
(cdr (assoc 2 (tblsearch "APPID" "NORVANE")))
;=>"NORVANE"
(setq e (entmakex '((0 . "LINE") (10 0 0 0) (11 5 5 0)
                    (-3 ("NORVANE" (1000 . "Size") (1071 . 12) (1040 . 1.5) (1010 1.0 2.0 3.0) (1070 . 7))))))
;; Without an application list, no -3.
(assoc -3 (entget e))
;=>nil
(cdr (assoc -3 (entget e '("NORVANE"))))
;=>(("NORVANE" (1000 . "Size") (1071 . 12) (1040 . 1.5) (1010 1.0 2.0 3.0) (1070 . 7)))
(cdr (assoc -3 (entget e '("NORV*"))))
;=>(("NORVANE" (1000 . "Size") (1071 . 12) (1040 . 1.5) (1010 1.0 2.0 3.0) (1070 . 7)))
(assoc -3 (entget e '("OTHER")))
;=>nil
;; The -3 group comes last.
(car (last (entget e '("NORVANE"))))
;=>-3
;; entmod replaces one application's data and keeps the others'.
(regapp "SECOND")
;=>"SECOND"
(entmod (list (cons -1 e) '(-3 ("SECOND" (1000 . "two")))))
(cdr (assoc -3 (entget e '("*"))))
;=>(("NORVANE" (1000 . "Size") (1071 . 12) (1040 . 1.5) (1010 1.0 2.0 3.0) (1070 . 7)) ("SECOND" (1000 . "two")))
(entmod (list (cons -1 e) '(-3 ("NORVANE" (1000 . "Other")))))
(cdr (assoc -3 (entget e '("NORVANE"))))
;=>(("NORVANE" (1000 . "Other")))
;; Data of an application nobody registered makes nothing.
(entmake '((0 . "LINE") (10 0 0 0) (11 1 1 0) (-3 ("UNREGISTERED" (1000 . "x")))))
;=>nil
(entmod (list (cons -1 e) '(-3 ("UNREGISTERED" (1000 . "x")))))
;=>nil
(entmake '((0 . "LINE") (10 0 0 0) (11 1 1 0) (-3 ("NORVANE" (8 . "x")))))
;!bad DXF group: (8 . "x")
