;; An action that names nothing the dialog has prints why on a line of its own and
;; cancels the dialog; the actions after it do not run.
(defun run-script (script)
  (host:answer script)
  (host:sample-dialog "n")
  (mapcar '(lambda (run) (caddr run)) (host:dialogs)))
;=>RUN-SCRIPT
(run-script '(("press" "Nope") ("press" "OK")))
;/
;/; dialog script: no control "Nope"
;=>(2)
(run-script '(("set" "Add" "x")))
;/
;/; dialog script: "Add" is not an edit, combo or check box
;=>(2)
(run-script '(("press" "Name")))
;/
;/; dialog script: "Name" is not a button
;=>(2)
(run-script '(("select" "Colour" "Purple")))
;/
;/; dialog script: "Colour" has no item "Purple"
;=>(2)
(run-script '(("select" "Items" 3)))
;/
;/; dialog script: "Items" has no item 3
;=>(2)
(run-script '(("set" "Name" "") ("press" "Add")))
;/
;/; dialog script: "Add" is disabled
;=>(2)
(run-script '(("frob" "Name")))
;/
;/; dialog script: unknown action ("frob" "Name")
;=>(2)
(run-script '(("set" "Name")))
;/
;/; dialog script: too few arguments: ("set" "Name")
;=>(2)
(run-script '("press" "OK"))
;/
;/; dialog script: not an action: "press"
;=>(2)
(run-script '(("cell" "grid2" 1 "Qty" "1")))
;/
;/; dialog script: no grid "grid2"
;=>(2)
(run-script '(("cell" "grid1" 3 "Qty" "1")))
;/
;/; dialog script: "grid1" has no row 3
;=>(2)
(run-script '(("cell" "grid1" "Nut" "Qty" "1")))
;/
;/; dialog script: "grid1" has no row "Nut"
;=>(2)
(run-script '(("cell" "grid1" 1 "Id" "9")))
;/
;/; dialog script: "grid1" has no column "Id"
;=>(2)
(run-script '(("cell" "Qty" 1 "Name" "Nut")))
;/
;/; dialog script: the cell 1 "Name" of "Qty" is read-only
;=>(2)
(run-script '(("cell" "Qty" 1 "Kind" "Wire")))
;/
;/; dialog script: the cell 1 "Kind" of "Qty" has no option "Wire"
;=>(2)
(run-script '(("cell" "Qty" 1 "Open" "x")))
;/
;/; dialog script: the cell 1 "Open" of "Qty" cannot be edited as text
;=>(2)
;; A hidden column names no grid either.
(run-script '(("row" "Id" 1)))
;/
;/; dialog script: no grid "Id"
;=>(2)
;; In a nested dialog the bad action cancels only that dialog.
(host:answer '(("press" "More...") ("press" "OK")) '(("press" "Bogus") ("press" "Yes")))
;=>nil
(host:sample-dialog "n")
;/
;/; dialog script: no control "Bogus"
;=>("n" "" nil "Red" "" "" nil (("Bolt" "12" "1" "Pipe" "1" "...") ("Anchor" "3" "0" "Duct" "2" "...")))
(mapcar '(lambda (run) (caddr run)) (host:dialogs))
;=>(1 2)
