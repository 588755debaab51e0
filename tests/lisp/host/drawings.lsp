;; Drawings as a user of the host opens, switches and closes them.
(host:documents)
;=>("Drawing1.dwg")
(host:new-drawing)
;=>"Drawing2.dwg"
(host:new-drawing "Plan.dwg")
;=>"Plan.dwg"
(host:new-drawing "Plan.dwg")
;=>nil
(host:documents)
;=>("Drawing1.dwg" "Drawing2.dwg" "Plan.dwg")
(getvar "DWGNAME")
;=>"Plan.dwg"
(host:activate "drawing1.DWG")
;=>T
(getvar "DWGNAME")
;=>"Drawing1.dwg"
(host:activate "Nowhere.dwg")
;=>nil
(host:set-quiescent "Plan.dwg" nil)
;=>T
(host:set-quiescent "Nowhere.dwg" T)
;=>nil
(host:close-drawing "Drawing2.dwg")
;=>T
(host:close-drawing "Drawing2.dwg")
;=>nil
(host:documents)
;=>("Drawing1.dwg" "Plan.dwg")
;; Closing the active drawing activates the last opened one.
(host:close-drawing)
;=>T
(getvar "DWGNAME")
;=>"Plan.dwg"
;; The script keeps running in the namespace it began in, though its drawing closed.
(setq still 'here)
;=>HERE
(host:idle)
;=>nil
(host:new-drawing 1)
;!bad argument type: stringp 1
