; A database of 100 000 parts for the memory figures of bench/README.md.
(tb_create_db "/tmp/tabrik_parts.mdb")
(tb_connect "/tmp/tabrik_parts.mdb")
(tb_command "CREATE TABLE Parts (ID COUNTER PRIMARY KEY, Code LONG, Name TEXT(50), Weight DOUBLE)")
(tb_command "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) INSERT INTO Parts (Code, Name, Weight) SELECT i, 'part ' || i, i * 0.5 FROM n")
(princ (tb_sql "SELECT COUNT(*) FROM Parts"))
