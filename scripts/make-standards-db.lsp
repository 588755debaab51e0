;; Builds a standards database from its readable source: in the current folder,
;;   tabrik run scripts/make-standards-db.lsp
;; makes standards.mdb from standards.sql (set *standards-sql* and *standards-mdb*
;; before loading this file to name others).
;; Each statement of the source (lines up to one ending in ";") runs through tb_command
;; on a new database; lines starting with "--" and blank lines are skipped. A statement
;; that fails, or a source that cannot be read, ends the run with an error (exit status
;; 1), so that a build never carries on with half a database.
(defun standards-db:fail (text)
  (princ (strcat "\nmake-standards-db: " text "\n"))
  (exit))

(defun standards-db:run (statement / result)
  (setq result (tb_command statement))
  (if (null result)
    (standards-db:fail (strcat "failed: " statement " (" (vl-princ-to-string (tb_lastError)) ")")))
  result)

(defun standards-db:build (source target / file line trimmed statement count)
  (if (null (setq file (open source "r")))
    (standards-db:fail (strcat "cannot read " source)))
  (if (findfile target) (vl-file-delete target))
  (if (not (tb_create_db target)) (progn (close file) (standards-db:fail (strcat "cannot create " target))))
  (if (not (tb_connect target)) (progn (close file) (standards-db:fail (strcat "cannot open " target))))
  (setq statement "" count 0)
  (while (setq line (read-line file))
    (setq trimmed (vl-string-trim " \t\r" line))
    (cond
      ((or (= trimmed "") (wcmatch trimmed "--*")))
      ((wcmatch trimmed "*;")
       (setq statement (strcat statement " " (substr trimmed 1 (1- (strlen trimmed)))))
       (standards-db:run (vl-string-trim " " statement))
       (setq statement "" count (1+ count)))
      (t (setq statement (strcat statement " " trimmed)))))
  (close file)
  (tb_close_db)
  (if (/= (vl-string-trim " " statement) "")
    (standards-db:fail (strcat "statement without its semicolon: " statement)))
  count)

(standards-db:build (cond (*standards-sql*) ("standards.sql"))
                    (cond (*standards-mdb*) ("standards.mdb")))
