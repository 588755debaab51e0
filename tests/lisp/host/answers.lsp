;; Message boxes and the colour picker take their answers from the answer queue;
;; shell executions are recorded.
(alert "Hello")
;=>nil
(host:message-boxes)
;=>(("Message" "Hello" 0))
(host:message-boxes)
;=>nil
(host:answer "3" "*cancel*" "x")
;=>nil
(acad_colordlg 1)
;=>3
(acad_colordlg 1)
;=>nil
(acad_colordlg 1)
;=>nil
(acad_colordlg 1)
;=>nil
(startapp "notepad.exe" "readme.txt")
;=>33
(startapp "explorer.exe /select,c:\\a.zip")
;=>33
(host:shell-log)
;=>(("startapp" "notepad.exe readme.txt" 1) ("startapp" "explorer.exe /select,c:\\a.zip" 1))
(host:shell-log)
;=>nil
(host:dialogs)
;=>nil
(host:window-enabled)
;=>T
