;; The host's sample dialog worked by dialog scripts: every action, the notifications
;; each sends (the dialog writes the last one in its status line), the dumps.
(host:answer
  '(("set" "Name" "Widget")
    ("set" "n&otes:" "two\nlines")
    ("set" "URGENT" T)
    ("select" "Colour" "green")
    ("set" "Size" "Huge")
    ("dump")
    ("press" "Add")
    ("select" "Items:" "Widget")
    ("set" "1001" "Renamed")
    ("dump")
    ("press" "OK")))
;=>nil
(host:sample-dialog)
;=>("Renamed" "two\nlines" T "Green" "Huge" "Widget" nil (("Bolt" "12" "1" "Pipe" "1" "...") ("Anchor" "3" "0" "Duct" "2" "...")))
(host:dialogs)
;=>(("nv_tabrik:Sample" "Sample" 1 ((("edit" "Name:" "Widget") ("edit" "Notes:" "two\nlines") ("check" "Urgent" T) ("combo" "Colour:" "Green") ("combo" "Size:" "Huge") ("list" "Items:" nil) ("grid" "grid1" ("Name" "Qty" "Done" "Kind" "Id" "Open") ("Bolt" "12" "1" "Pipe" "1" "...") ("Anchor" "3" "0" "Duct" "2" "...")) ("static" 1008 "Colour Green")) (("edit" "Name:" "Renamed") ("edit" "Notes:" "two\nlines") ("check" "Urgent" T) ("combo" "Colour:" "Green") ("combo" "Size:" "Huge") ("list" "Items:" 0 "Widget") ("grid" "grid1" ("Name" "Qty" "Done" "Kind" "Id" "Open") ("Bolt" "12" "1" "Pipe" "1" "...") ("Anchor" "3" "0" "Duct" "2" "...")) ("static" 1008 "Item Widget")))))

;; Grid actions: cells by row number or first cell, columns by header, the grid by
;; any visible header or its number; check cells take T or nil, a click toggles them;
;; the dialog's veto of an edit keeps the old value.
(host:answer
  '(("set" "Name" "g")
    ("cell" "Qty" 2 "Qty" "7")
    ("cell" "grid1" "bolt" "Done" nil)
    ("click" "Kind" 2 "Done")
    ("cell" "grid1" "Anchor" "Kind" "pipe")
    ("dump")
    ("cell" "grid1" 1 "Qty" "many")
    ("click" "grid1" 2 "Open")
    ("dump")
    ("row" "grid1" 2)
    ("dump")
    ("press" "OK")))
;=>nil
(host:sample-dialog)
;=>("g" "" nil "Red" "" "" nil (("Bolt" "12" "0" "Pipe" "1" "...") ("Anchor" "7" "1" "Pipe" "2" "...")))
(mapcar '(lambda (dump) (assoc "static" dump)) (cadddr (car (host:dialogs))))
;=>(("static" 1008 "Row 2 Kind = Pipe") ("static" 1008 "Open Anchor") ("static" 1008 "Row 2 selected"))
(host:message-boxes)
;=>(("Sample" "Qty must be a whole number." 48))

;; A press that opens a nested dialog runs it with the next script; records are listed
;; in the order the dialogs opened.
(host:answer '(("set" "Name" "n") ("press" "&More...") ("press" "OK")) '(("dump") ("press" "Yes")))
;=>nil
(nth 6 (host:sample-dialog))
;=>T
(host:dialogs)
;=>(("nv_tabrik:Sample" "Sample" 1 nil) ("IDD_SAMPLE_CONFIRM" "Confirm" 1 ((("static" 1101 "Mark as confirmed?")))))
(host:answer '(("set" "Name" "n") ("press" "More...") ("press" "OK")))
;=>nil
(nth 6 (host:sample-dialog))
;=>nil
(host:dialogs)
;=>(("nv_tabrik:Sample" "Sample" 1 nil) ("IDD_SAMPLE_CONFIRM" "Confirm" 2 nil))

;; A drop-down list exchanges an empty value by selecting its first item, as MFC's
;; DDX_CBString does. The dialog's own validation keeps it open; a script that ends leaves it cancelled.
(host:answer '(("press" "OK") ("dump")))
;=>nil
(host:sample-dialog)
;=>nil
(host:message-boxes)
;=>(("Sample" "Please enter a name." 48))
(host:dialogs)
;=>(("nv_tabrik:Sample" "Sample" 2 ((("edit" "Name:" "") ("edit" "Notes:" "") ("check" "Urgent" nil) ("combo" "Colour:" "Red") ("combo" "Size:" "") ("list" "Items:" nil) ("grid" "grid1" ("Name" "Qty" "Done" "Kind" "Id" "Open") ("Bolt" "12" "1" "Pipe" "1" "...") ("Anchor" "3" "0" "Duct" "2" "..."))))))

;; No script queued: the dialog is cancelled.
(host:sample-dialog "kept")
;=>nil
(host:dialogs)
;=>(("nv_tabrik:Sample" "Sample" 2 nil))
