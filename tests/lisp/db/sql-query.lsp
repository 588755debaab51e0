;; Stored queries: tb_create_query defines or redefines one, tb_query runs it with
;; its parameters given as alternating names and values.
(vl-file-delete "query.mdb")
(tb_create_db "query.mdb")
;=>T
(tb_connect "query.mdb")
;=>T
(tb_command "CREATE TABLE Fixtures (ID LONG PRIMARY KEY, Kind TEXT(10), Watts DOUBLE, Fitted DATETIME)")
;=>0
(foreach row '("1, 'lamp', 60, #1/5/2020#" "2, 'lamp', 100, #6/1/2021#" "3, 'fan', 40, #3/3/2022#" "4, 'heater', 1500, Null")
  (tb_command (strcat "INSERT INTO Fixtures VALUES (" row ")")))
;; A new name: the stored query is made.
(tb_create_query "Lamps" "SELECT ID FROM Fixtures WHERE Kind = 'lamp' ORDER BY ID")
;=>T
(tb_query "Lamps")
;=>(1 2)
;; An existing name: its statement is replaced.
(tb_create_query "Lamps" "SELECT ID, Watts FROM Fixtures WHERE Kind Like 'l*' ORDER BY Watts DESC")
;=>T
(tb_query "Lamps")
;=>((("ID" . 2) ("Watts" . 100.0)) (("ID" . 1) ("Watts" . 60.0)))
;; Parameters, declared and named with blanks, given flat as name and value.
(tb_create_query "Fitted After" "PARAMETERS [Fitted since] DateTime, [Least watts] Double; SELECT ID FROM Fixtures WHERE Fitted >= [Fitted since] AND Watts >= [Least watts] ORDER BY ID")
;=>T
(tb_query "Fitted After" "Fitted since" "1/1/2021" "Least watts" 50)
;=>(2)
(tb_query "Fitted After" "least WATTS" 0 "fitted since" "1/1/2021")
;=>(2 3)
(tb_query "Fitted After" "Fitted since" "1/1/2030" "Least watts" 0)
;=>nil
;; A parameter list wrapped in a list fails: "*RTLB*" names no parameter.
(tb_query "Fitted After" '("Fitted since" "1/1/2021" "Least watts" 50))
;/
;/Tabrik Error: Item not found in this collection.
;=>nil
(tb_lastError)
;=>"(3265) Item not found in this collection."
;; A missing parameter value, a name that is no text, and unknown names.
(tb_query "Fitted After" "Fitted since" "1/1/2021")
;/
;/Tabrik Error: Too few parameters. Expected 1.
;=>nil
(tb_resetLastError)
;=>""
(tb_query "Fitted After" 5 "x")
;=>nil
(tb_lastError)
;=>""
(tb_query "Fitted After" "Nothing" 1)
;/
;/Tabrik Error: Item not found in this collection.
;=>nil
(tb_query "No Such Query")
;/
;/Tabrik Error: Item not found in this collection.
;=>nil
;; A statement that fails when it runs: the query was stored, running it reports.
(tb_create_query "Broken" "SELECT Watts FROM Nowhere")
;=>T
(tb_query "Broken")
;/
;/Tabrik Error: The Microsoft Jet database engine cannot find the input table or query 'Nowhere'.  Make sure it exists and that its name is spelled correctly.
;=>nil
;; A drawing without a connection.
(host:new-drawing)
;=>"Drawing2.dwg"
(list (tb_query "Lamps") (tb_create_query "X" "SELECT 1"))
;=>(nil nil)
(host:activate "Drawing1.dwg")
;=>T
;; Argument errors.
(tb_query)
;/
;/Wrong type of arguments passed.
;!ADS request error
(tb_query 1 2)
;!ADS request error
(tb_create_query "OnlyName")
;/
;/Wrong type of arguments passed.
;!ADS request error
(tb_create_query "Name" 7)
;!ADS request error
