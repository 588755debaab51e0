;; The text style dialog driven by scripts on a copy of the sample standards database:
;; the rows the program lets through (sorted by key), Cancel writing nothing, the two
;; required values of the default key stopping OK, OK writing every row (empty cells as
;; Null, a name with an apostrophe as typed), and the refusals before the dialog.
(vl-file-delete "text-styles.mdb")
(numberp (vl-file-copy (findfile "standards.mdb") "text-styles.mdb"))
;=>T
(setq *asked* nil)
(defun util-showTextStyle (key) (setq *asked* (cons key *asked*)) (/= key "Tags"))
(defun styles ()
  (tb_sql "SELECT sKey & '|' & sStyleName & '|' & dHeight & '|' & dScaleFactor FROM tblTextStyle ORDER BY ixTextStyle"))
(tb_connect "text-styles.mdb")
;=>T
(setq before (styles))
;=>("Default|Standard|0.09375|1" "Title|RomanS|0.25|0.85" "Notes|Standard|0.125|" "Tags|||" "Schedule|Simplex|0.1|1.1")
;; Cancel: the edits are dropped. The dump shows every column, the hidden id too.
(host:answer '(("cell" "Text Style Key" "Title" "Height" "0.3") ("dump") ("press" "Cancel")))
;=>nil
(nv_nv-customizeTextStyles "text-styles.mdb" "Notes")
;=>nil
(reverse *asked*)
;=>("Default" "Notes" "Schedule" "Tags" "Title")
(host:dialogs)
;=>(("nv_tabrik:TextStyleCustomization" "Text Styles" 2 ((("grid" "grid1" ("Text Style Key" "ixTextStyle" "Text Style" "Height" "Scale Factor") ("Default" "1" "Standard" "0.0938" "1") ("Notes" "3" "Standard" "0.125" "") ("Schedule" "5" "Simplex" "0.1" "1.1") ("Title" "2" "RomanS" "0.3" "0.85"))))))
(equal (styles) before)
;=>T
;; The key column cannot be edited.
(host:answer '(("cell" "Text Style Key" "Title" "Text Style Key" "X")))
;=>nil
(nv_nv-customizeTextStyles "text-styles.mdb")
;/
;/; dialog script: the cell "Title" "Text Style Key" of "Text Style Key" is read-only
;=>nil
(mapcar 'caddr (host:dialogs))
;=>(2)
;; OK with the default's style empty, then its height empty: each stops OK with its
;; message; in another letter case the key needs neither.
(host:answer
  '(("cell" "Text Style Key" "Default" "Text Style" "  ") ("press" "OK")
    ("cell" "Text Style Key" "Default" "Text Style" "Standard") ("cell" "Text Style Key" "Default" "Height" "") ("press" "OK")
    ("press" "Cancel")))
;=>nil
(nv_nv-customizeTextStyles "text-styles.mdb")
;=>nil
(list (mapcar 'caddr (host:dialogs)) (host:message-boxes))
;=>((2) (("Norvane" "DEFAULT \"Text Style\" must have a value." 64) ("Norvane" "DEFAULT \"Height\" must have a value." 64)))
(equal (styles) before)
;=>T
(tb_command "UPDATE tblTextStyle SET sKey = 'default' WHERE ixTextStyle = 1")
;=>1
;; OK writes every row: a typed height as typed, empty cells as Null, quotes doubled.
(host:answer
  '(("cell" "Text Style Key" "default" "Text Style" "") ("cell" "Text Style Key" "default" "Height" "")
    ("cell" "Text Style Key" "Title" "Text Style" "O'Neil") ("cell" "Text Style Key" "Title" "Height" "0.3")
    ("cell" "Text Style Key" "Schedule" "Scale Factor" "") ("press" "OK")))
;=>nil
(nv_nv-customizeTextStyles "text-styles.mdb")
;=>nil
(list (mapcar 'caddr (host:dialogs)) (host:message-boxes))
;=>((1) nil)
(styles)
;=>("default|||1" "Title|O'Neil|0.3|0.85" "Notes|Standard|0.125|" "Tags|||" "Schedule|Simplex|0.1|")
;; Without a path the drawing's current database is used; without one nothing opens.
(host:answer '(("press" "OK")))
;=>nil
(nv_nv-customizeTextStyles)
;=>nil
(mapcar 'caddr (host:dialogs))
;=>(1)
(tb_close_db)
;=>nil
(nv_nv-customizeTextStyles nil "Title")
;=>nil
(host:dialogs)
;=>nil
;; A file that is no database: the tb_ failure report; a read-only one: the message box.
(nv_nv-customizeTextStyles "missing.mdb")
;/
;/Tabrik Error: Could not find file 'missing.mdb'.
;=>nil
(nv_nv-customizeTextStyles 12)
;/
;/Wrong type of arguments passed.
;!ADS request error
