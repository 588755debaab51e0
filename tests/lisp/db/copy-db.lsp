;; A database copied with host:copy-db: every table with its records, and a target that
;; already holds tables refused with nothing written. Northwind's counts are its own.
(setq nwind (findfile "../../dao/access/nwind.mdb"))
(vl-file-delete "nw.copy.mdb")
(vl-file-delete "nw.again.mdb")
(setq report (host:copy-db nwind "nw.copy.mdb"))
(assoc "Orders" report)
;=>("Orders" 830)
(assoc "Order Details" report)
;=>("Order Details" 2155)
(length report)
;=>9
;; The copy copies again, and the second copy matches the first.
(equal (host:copy-db "nw.copy.mdb" "nw.again.mdb") report)
;=>T
(host:copy-db "nw.copy.mdb" "nw.again.mdb")
;/
;/; copy-db: the target already holds 30 tables and queries; copy into an empty database
;=>nil
(host:copy-db "nowhere.mdb" "nw.third.mdb")
;/
;/; copy-db: (3024) Could not find file 'nowhere.mdb'.
;=>nil
(findfile "nw.third.mdb")
;=>nil
(tb_connect "nw.again.mdb")
;=>T
(tb_sql "SELECT Count(*) FROM Orders WHERE OrderDate Between #1/1/95# And #12/31/95#")
;=>(391)
(cdr (assoc "CompanyName" (progn (tb_table "Customers" "PrimaryKey") (tb_seek "ALFKI"))))
;=>"Alfreds Futterkiste"
(host:copy-db "nw.copy.mdb")
;!
(host:copy-db 1 nil)
;!
