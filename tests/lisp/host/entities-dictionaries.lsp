;; Groups, dictionaries and xrecords made from entity data, entered in dictionaries with
;; dictadd, renamed and removed, saved and reopened.
(setq a (entmakex '((0 . "LINE") (10 0 0 0) (11 1 0 0))))
(setq b (entmakex '((0 . "CIRCLE") (10 0 0 0) (40 . 1.0))))
(setq groups (cdr (assoc -1 (dictsearch (namedobjdict) "ACAD_GROUP"))))
(cdr (assoc 0 (entget groups)))
;=>"DICTIONARY"

;; A group: entmakex names it; it is no entry of the group dictionary until dictadd.
(setq g (entmakex (list '(0 . "GROUP") '(100 . "AcDbGroup") '(300 . "Line and circle")
                        '(70 . 0) '(71 . 1) (cons 340 a) (cons 340 b))))
(type g)
;=>ENAME
(dictsearch groups "NV_PAIR")
;=>nil
(equal (dictadd groups "NV_PAIR" g) g)
;=>T
(setq d (dictsearch groups "NV_PAIR"))
(mapcar '(lambda (c) (cdr (assoc c d))) '(0 300 70 71))
;=>("GROUP" "Line and circle" 0 1)
(equal (mapcar 'cdr (vl-remove-if-not '(lambda (x) (= (car x) 340)) d)) (list a b))
;=>T
(equal (cdr (assoc 330 d)) groups)
;=>T
;; Each member names the group among its reactors; its owner is still its space.
(setq m (entget a))
(equal (cadr (member '(102 . "{ACAD_REACTORS") m)) (cons 330 g))
;=>T
(cdr (assoc 0 (entget (cdr (assoc 330 m)))))
;=>"BLOCK_RECORD"

;; Groups that make nothing: each row a member list.
(regapp "NORVANE")
(setq layer (tblobjname "LAYER" "0"))
(setq rows (list (list (cons 340 layer)) (list (cons 340 groups)) (list (cons 340 a) (cons 340 layer))))
(vl-remove-if-not
  '(lambda (members) (entmakex (append '((0 . "GROUP") (100 . "AcDbGroup") (300 . "bad")) members)))
  rows)
;=>nil
;; entmod changes the description and keeps the members when it lists none, or takes
;; the ones it lists.
(entmod (list (cons -1 g) '(300 . "Renamed")))
(setq d (entget g))
(list (cdr (assoc 300 d)) (length (vl-remove-if-not '(lambda (x) (= (car x) 340)) d)))
;=>("Renamed" 2)
(entmod (list (cons -1 g) (cons 340 b)))
(equal (mapcar 'cdr (vl-remove-if-not '(lambda (x) (= (car x) 340)) (entget g))) (list b))
;=>T
;; The line left the group, and the group left the line's reactors.
(member '(102 . "{ACAD_REACTORS") (entget a))
;=>nil

;; A dictionary of the program's own under the named-object dictionary, holding an
;; xrecord.
(setq mine (entmakex '((0 . "DICTIONARY") (100 . "AcDbDictionary"))))
(equal (dictadd (namedobjdict) "NORVANE_DATA" mine) mine)
;=>T
(setq x (entmakex (list '(0 . "XRECORD") '(100 . "AcDbXrecord") '(1 . "hello") '(40 . 1.5)
                        '(10 1 2 3) '(70 . 4) '(90 . 70000) (cons 340 a))))
(equal (dictadd mine "SETTINGS" x) x)
;=>T
(setq xd (dictsearch mine "SETTINGS"))
(mapcar '(lambda (c) (cdr (assoc c xd))) '(0 1 40 10 70 90))
;=>("XRECORD" "hello" 1.5 (1.0 2.0 3.0) 4 70000)
(equal (cdr (assoc 340 xd)) a)
;=>T
;; entmod replaces an xrecord's data whole.
(entmod (list (cons -1 x) '(1 . "changed") '(1 . "twice")))
(mapcar 'cdr (vl-remove-if-not '(lambda (g) (member (car g) '(1 40))) (entget x)))
;=>("changed" "twice")

;; dictadd, dictrename and dictremove: each row the call and its answer.
(setq y (entmakex '((0 . "XRECORD") (100 . "AcDbXrecord") (1 . "second"))))
(setq rows
  (list (list '(dictadd mine "SETTINGS" y) nil)           ; the key is taken
        (list '(dictadd mine "settings" y) nil)           ; keys ignore case
        (list '(dictadd mine "OTHER" x) nil)              ; x is an entry already
        (list '(dictadd mine "LINE" a) nil)               ; entities are not entries
        (list '(dictadd mine "SELF" mine) nil)            ; no loop of owners
        (list '(dictadd mine "ROOT" (namedobjdict)) nil)
        (list '(dictadd mine "OTHER" y) y)
        (list '(dictrename mine "OTHER" "SETTINGS") nil)  ; the new key is taken
        (list '(dictrename mine "NONE" "NEW") nil)
        (list '(dictrename mine "OTHER" "bad*key") nil)
        (list '(dictrename mine "OTHER" "NEW") "NEW")
        (list '(dictremove mine "OTHER") nil)
        (list '(dictremove mine "new") y)
        (list '(dictremove mine "NEW") nil)))
(vl-remove-if '(lambda (row) (equal (eval (car row)) (cadr row))) rows)
;=>nil
;; A removed entry is still an object, and may be entered again.
(cdr (assoc 1 (entget y)))
;=>"second"
(equal (dictadd mine "BACK" y) y)
;=>T
(mapcar 'cdr (vl-remove-if-not '(lambda (g) (= (car g) 3)) (entget mine)))
;=>("BACK" "SETTINGS")
;; Wrong argument types are errors.
(dictadd mine 7 y)
;!bad argument type: stringp 7
(dictremove "mine" "BACK")
;!bad argument type: lentityp "mine"
;; A name that is no dictionary answers nil.
(dictadd a "KEY" y)
;=>nil

;; entmake makes the same objects; it answers the list.
(entmake '((0 . "XRECORD") (100 . "AcDbXrecord") (1 . "made")))
;=>((0 . "XRECORD") (100 . "AcDbXrecord") (1 . "made"))

;; Everything saves and reopens: the group with its description and members, the
;; dictionary with its xrecords and their data.
(host:save-as "dictionaries.dxf")
;=>T
(host:open-drawing "dictionaries.dxf")
(setq groups (cdr (assoc -1 (dictsearch (namedobjdict) "ACAD_GROUP"))))
(setq d (dictsearch groups "NV_PAIR"))
(list (cdr (assoc 300 d)) (cdr (assoc 0 (entget (cdr (assoc 340 d))))))
;=>("Renamed" "CIRCLE")
(setq mine (cdr (assoc -1 (dictsearch (namedobjdict) "NORVANE_DATA"))))
(setq xd (dictsearch mine "SETTINGS"))
(list (cdr (assoc 0 xd)) (mapcar 'cdr (vl-remove-if-not '(lambda (g) (= (car g) 1)) xd)))
;=>("XRECORD" ("changed" "twice"))
(cdr (assoc 1 (dictsearch mine "BACK")))
;=>"second"
