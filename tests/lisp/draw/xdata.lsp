;; Extended data under "NORVANE": pairs written in order, read back by key, by a list of
;; keys and all together; replaced as a whole; bad values dropped once, refused twice.
(regapp "NORVANE")
;=>"NORVANE"
(setq e (entmakex '((0 . "LINE") (10 0 0 0) (11 5 5 0))))
(tb_xdput-list e '("Size" 12 "Name" "Supply duct" "Area" 1.5))
;=>T
;; Seven items: the application, then each key and its value in its own group.
(cdr (assoc -3 (entget e '("NORVANE"))))
;=>(("NORVANE" (1000 . "Size") (1071 . 12) (1000 . "Name") (1000 . "Supply duct") (1000 . "Area") (1040 . 1.5)))
(tb_xdget-all e)
;=>(("Size" . 12) ("Name" . "Supply duct") ("Area" . 1.5))
(tb_xdget e "Area")
;=>1.5
(tb_xdget e "Name")
;=>"Supply duct"
(tb_xdget e "Size")
;=>12
;; Keys match exactly.
(tb_xdget e "size")
;=>nil
(tb_xdget e "Missing")
;=>nil
;; The requested keys, in stored order; only those present.
(tb_xdget-list e '("Area" "Size" "Missing"))
;=>(("Size" . 12) ("Area" . 1.5))
(tb_xdget-list e '("Missing" "Other"))
;=>nil
(tb_xdget-list e "Size")
;=>nil
;; A large integer stays a 32-bit integer.
(tb_xdput-list e '("Count" 100000))
;=>T
(tb_xdget e "Count")
;=>100000
;; Writing replaces: keys not written again are gone.
(tb_xdget e "Size")
;=>nil
;; A value of another kind drops its key once; twice refuses and writes nothing.
(tb_xdput-list e '("Where" (1.0 2.0 3.0) "Kept" "yes"))
;=>T
(tb_xdget-all e)
;=>(("Kept" . "yes"))
(tb_xdput-list e '("Where" (1.0 2.0 3.0) "Flag" T "Lost" "no"))
;=>nil
(tb_xdget-all e)
;=>(("Kept" . "yes"))
;; A key with no value at the end is dropped the same way.
(tb_xdput-list e '("First" 1 "Dangling"))
;=>T
(tb_xdget-all e)
;=>(("First" . 1))
;; A value that is itself a list refuses the call.
(tb_xdput-list e '("Nested" ("a" "b")))
;=>nil
(tb_xdget-all e)
;=>(("First" . 1))
;; A second argument that is not a list writes nothing.
(tb_xdput-list e "Size")
;=>nil
;; Without a list the application's data goes.
(tb_xdput-list e)
;=>T
(tb_xdget-all e)
;=>nil
(assoc -3 (entget e '("NORVANE")))
;=>nil
;; Data written by other means comes back in its own types; empty keys and items where
;; a key belongs are skipped.
(entmod (list (cons -1 e) '(-3 ("NORVANE" (1070 . 7) (1000 . "Short") (1070 . 3) (1000 . "") (1000 . "skipped") (1000 . "Point") (1010 1.0 2.0 3.0)))))
(tb_xdget-all e)
;=>(("Short" . 3) ("Point" 1.0 2.0 3.0))
(tb_xdget e "Point")
;=>(1.0 2.0 3.0)
;; Other applications' data is left alone.
(regapp "OTHER")
;=>"OTHER"
(entmod (list (cons -1 e) '(-3 ("OTHER" (1000 . "theirs")))))
(tb_xdput-list e '("Mine" "ours"))
;=>T
(cdr (assoc -3 (entget e '("OTHER"))))
;=>(("OTHER" (1000 . "theirs")))
;; Argument errors: the entity name is required, and tb_xdget's key must be a string.
(tb_xdget-all "not an entity")
;/
;/Wrong type of arguments passed.
;!ADS request error
(tb_xdput-list)
;/
;/Wrong type of arguments passed.
;!ADS request error
(tb_xdget e 12)
;/
;/Wrong type of arguments passed.
;!ADS request error
(tb_xdget e)
;/
;/Wrong type of arguments passed.
;!ADS request error
