;; An Access file users already have (Northwind, made by Access 97): converted into the
;; engine's format with host:convert-mdb, then opened, sought, walked and queried with
;; Jet SQL; and the Access file itself opened read-only through the engine's copy.
;; Expected values are Northwind's own (mdb-export reads the same from the file).
(setq nwind (findfile "../../dao/access/nwind.mdb"))
(vl-file-delete "nwind.tabrik.mdb")
(setq report (host:convert-mdb nwind "nwind.tabrik.mdb"))
(mapcar 'car report)
;=>("Order Details" "Orders" "Products" "Shippers" "Categories" "Customers" "Employees" "Suppliers" "Umsätze")
(assoc "Orders" report)
;=>("Orders" 830 0)
;; The target exists now: a second conversion refuses and writes nothing.
(host:convert-mdb nwind "nwind.tabrik.mdb")
;/
;/; convert-mdb: (3204) Database already exists.
;=>nil
(tb_connect "nwind.tabrik.mdb")
;=>T
(tb_readonly)
;=>nil
(tb_table "Customers" "PrimaryKey")
;=>"Customers"
(cdr (assoc "CompanyName" (tb_seek "ALFKI")))
;=>"Alfreds Futterkiste"
(tb_sql "SELECT Count(*) FROM Orders WHERE OrderDate Between #1/1/95# And #12/31/95#")
;=>(391)
(tb_sql "SELECT TOP 3 CompanyName FROM Customers WHERE Country = 'Germany' ORDER BY CompanyName")
;=>("Alfreds Futterkiste" "Blauer See Delikatessen" "Die Wandernde Kuh")
(tb_sql "SELECT CompanyName FROM Customers WHERE CompanyName Like 'Alf*'")
;=>("Alfreds Futterkiste")
(tb_sql "SELECT Count(*) FROM [Umsätze]")
;=>(830)
;; A stored query reads as a table, as in Access.
(car (tb_sql "SELECT TenMostExpensiveProducts FROM [Ten Most Expensive Products]"))
;=>"Côte de Blaye"
(tb_sql "SELECT IIf(Country = 'Germany', 'de', 'other') AS c, Count(*) AS n FROM Customers GROUP BY IIf(Country = 'Germany', 'de', 'other') ORDER BY 1")
;=>((("c" . "de") ("n" . 11)) (("c" . "other") ("n" . 80)))
;; The Access file itself: read-only, and the last error says how to change it.
(tb_connect nwind)
;=>T
(tb_readonly)
;=>T
(wcmatch (tb_lastError) "(3051) *convert-mdb*")
;=>T
(tb_table "Orders" "PrimaryKey")
;=>"Orders"
(cdr (assoc "ShipCity" (tb_seek 10248)))
;=>"Reims"
(tb_append '(("OrderID" . 1) ("CustomerID" . "ALFKI")))
;=>nil
(tb_sql "SELECT Count(*) FROM Orders")
;=>(830)
