;; The SCRIPT command: its file runs on the command line once the expression that
;; started it has ended; CMDACTIVE shows the script (4) while it runs.
(setvar "CMDECHO" 0)
(command "_.SCRIPT" "rooms")
;=>nil
(list (getvar "CLAYER") (cdr (assoc 62 (tblsearch "LAYER" "ROOMS"))) (and (tblsearch "LAYER" "DOORS") T))
;=>("NOTES" 4 T)
(list active-in-script (getvar "CMDACTIVE"))
;=>(4 0)

;; A script that is not there is reported; nothing runs.
(setvar "CMDECHO" 1)
(command "_.SCRIPT" "no-such-script")
;/Command: _.SCRIPT
;/Enter script file name <Drawing1.scr>: no-such-script
;/Can't find file "no-such-script".
