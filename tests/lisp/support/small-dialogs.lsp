;; The multi-line text editor and the typed-word confirmation, worked by dialog scripts.
;; ed_editMultilineText: lines reach the edit box with carriage returns and come back
;; with single line feeds; the title replaces the caption only when it is not empty.
(host:answer '(("dump") ("press" "OK")))
(ed_editMultilineText "first\nsecond" "Notes")
;=>"first\nsecond"
(mapcar '(lambda (d) (list (car d) (cadr d) (caddr d) (cadddr d))) (host:dialogs))
;=>(("nv_tabrik:EditMultilineText" "Notes" 1 ((("edit" "Text:" "first\r\nsecond")))))
(host:answer '(("set" "Text" "typed\r\nlines\r\n") ("press" "OK")))
(ed_editMultilineText "old" "")
;=>"typed\nlines\n"
(cadr (car (host:dialogs)))
;=>"Edit Text"
(host:answer '(("set" "Text" "thrown away") ("press" "Cancel")))
(ed_editMultilineText "kept")
;=>nil
(host:dialogs)
;=>(("nv_tabrik:EditMultilineText" "Edit Text" 2 nil))
;; No script: the dialog is cancelled.
(ed_editMultilineText "")
;=>nil
(host:dialogs)
;=>(("nv_tabrik:EditMultilineText" "Edit Text" 2 nil))
(ed_editMultilineText 5)
;/
;/Wrong type of arguments passed.
;!ADS request error
(ed_editMultilineText)
;/
;/Wrong type of arguments passed.
;!ADS request error
;; nv_nv-safeContinue: OK is enabled only while the typed text, turned into capitals,
;; equals the word (in capitals too).
(host:answer '(("set" "Confirm" "delete") ("dump") ("press" "OK")))
(nv_nv-safeContinue "Remove Layers" "All layers of the system will be removed." "Delete")
;=>T
(host:dialogs)
;=>(("IDD_SAFECONTINUE" "Remove Layers" 1 ((("static" 2280 "All layers of the system will be removed.") ("edit" "Confirm:" "DELETE")))))
;; A wrong word leaves OK disabled: pressing it fails the script and cancels.
(host:answer '(("set" "Confirm" "delet") ("press" "OK")))
(nv_nv-safeContinue "Remove" "Sure?" "delete")
;/
;/; dialog script: "OK" is disabled
;=>nil
(host:answer '(("set" "Confirm" "DELETE") ("press" "Cancel")))
(nv_nv-safeContinue "Remove" "Sure?" "delete")
;=>nil
(nv_nv-safeContinue "Remove" "Sure?")
;/
;/Wrong type of arguments passed.
;!ADS request error
(nv_nv-safeContinue "Remove" 1 "x")
;/
;/Wrong type of arguments passed.
;!ADS request error
