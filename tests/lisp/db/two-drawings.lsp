;; Every drawing keeps its own connection; the active drawing's is the one the
;; database functions act on.
(foreach name '("a.mdb" "b.mdb") (vl-file-delete name))
(tb_create_db "a.mdb")
;=>T
(tb_create_db "b.mdb")
;=>T
(tb_connect "a.mdb")
;=>T
(host:new-drawing)
;=>"Drawing2.dwg"
(tb_mdb)
;=>nil
(tb_connect "b.mdb")
;=>T
(tb_mdb)
;=>"b.mdb"
(host:activate "Drawing1.dwg")
;=>T
(tb_mdb)
;=>"a.mdb"
(tb_readonly)
;=>nil
(host:activate "Drawing2.dwg")
;=>T
(tb_mdb)
;=>"b.mdb"
;; The second drawing opens the first one's database for itself, read-only.
(tb_connect "a.mdb" "r")
;=>T
(tb_readonly)
;=>T
(host:activate "Drawing1.dwg")
;=>T
(tb_readonly)
;=>nil
(host:activate "Drawing2.dwg")
;=>T
;; Back to b: the connection it gave up is still open and is taken again.
(tb_connect "b.mdb")
;=>T
(tb_mdb)
;=>"b.mdb"
(tb_close_db)
;=>nil
(tb_mdb)
;=>nil
(host:activate "Drawing1.dwg")
;=>T
(tb_mdb)
;=>"a.mdb"
(host:new-drawing)
;=>"Drawing3.dwg"
(tb_connect "b.mdb")
;=>T
(host:close-drawing "Drawing2.dwg")
;=>T
(tb_mdb)
;=>"b.mdb"
(host:activate "Drawing1.dwg")
;=>T
(tb_mdb)
;=>"a.mdb"
;; Closing another drawing leaves this one's connection alone.
(host:close-drawing "Drawing3.dwg")
;=>T
(tb_mdb)
;=>"a.mdb"
(tb_readonly)
;=>nil
