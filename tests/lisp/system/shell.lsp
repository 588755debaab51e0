;; Shell folders, shell verbs, folder windows and HTML Help: the headless host records
;; each execution (verb file show) and opens nothing.
;; Known folders: names are exact; folders with no counterpart here give nil.
(= (type (nv_nv-SHGetFolderPath "DESKTOP")) 'STR)
;=>T
(mapcar '(lambda (n) (type (nv_nv-SHGetFolderPath n)))
        '("PERSONAL" "APPDATA" "LOCAL_APPDATA" "MYPICTURES" "INTERNET_CACHE" "COMMON_APPDATA"
          "COMMON_DOCUMENTS" "PROGRAM_FILES"))
;=>(STR STR STR STR STR STR STR STR)
(mapcar 'nv_nv-SHGetFolderPath
        '("ADMINTOOLS" "COMMON_ADMINTOOLS" "COOKIES" "HISTORY" "SYSTEM" "WINDOWS"
          "PROGRAM_FILES_COMMON" "desktop" "Desktop" "NOSUCH" ""))
;=>(nil nil nil nil nil nil nil nil nil nil nil)
;; The desktop with creation is the desktop.
(equal (nv_nv-SHGetFolderPath "FLAG_CREATE") (nv_nv-SHGetFolderPath "DESKTOP"))
;=>T
(nv_nv-SHGetFolderPath 16)
;/
;/Wrong type of arguments passed.
;!ADS request error
;; Shell verbs: show names map to show modes; an unknown one shows normally.
(nv_nv-shellExecute "open" "C:\\Docs\\plan.pdf" "SHOWMAXIMIZED")
;=>T
(nv_nv-shellExecute "print" "plan.pdf" "HIDE")
;=>T
(nv_nv-shellExecute "open" "plan.pdf" "nonsense")
;=>T
(nv_nv-shellExecute "open" "plan.pdf")
;=>nil
(nv_nv-shellExecute "open" 3 "SHOW")
;=>nil
(host:shell-log)
;=>(("open" "C:\\Docs\\plan.pdf" 3) ("print" "plan.pdf" 0) ("open" "plan.pdf" 1))
(mapcar '(lambda (s) (nv_nv-shellExecute "open" "x" s))
        '("HIDE" "MAXIMIZE" "MINIMIZE" "RESTORE" "SHOW" "SHOWDEFAULT" "SHOWMAXIMIZED"
          "SHOWMINIMIZED" "SHOWMINNOACTIVE" "SHOWNA" "SHOWNOACTIVATE" "SHOWNORMAL"))
(mapcar 'caddr (host:shell-log))
;=>(0 3 6 9 5 10 3 2 7 8 4 1)
;; A folder window: with no files the folder is explored; with files each non-empty
;; string of the list is selected, anything else in the list is skipped.
(nv_nv-SHOpenFolderAndSelect "C:\\Jobs")
;=>nil
(nv_nv-SHOpenFolderAndSelect "C:\\Jobs" nil)
;=>nil
(nv_nv-SHOpenFolderAndSelect "C:\\Jobs" '("C:\\Jobs\\a.dwg" 7 "" ("C:\\Jobs\\nested.dwg") "C:\\Jobs\\b.dwg"))
;=>nil
(nv_nv-SHOpenFolderAndSelect "C:\\Jobs" '(1 2))
;=>nil
(host:shell-log)
;=>(("explore" "C:\\Jobs" 1) ("explore" "C:\\Jobs" 1) ("select" "C:\\Jobs\\a.dwg" 1) ("select" "C:\\Jobs\\b.dwg" 1) ("explore" "C:\\Jobs" 1))
(nv_nv-SHOpenFolderAndSelect nil)
;/
;/Wrong type of arguments passed.
;!ADS request error
;; HTML Help: T whether or not the file can be shown.
(nv_nv-showHelp "C:\\Help\\tabrik.chm")
;=>T
(nv_nv-showHelp "")
;=>T
(host:shell-log)
;=>(("help" "C:\\Help\\tabrik.chm" 1))
(nv_nv-showHelp)
;/
;/Wrong type of arguments passed.
;!ADS request error
