;; The file and folder pickers answered from the answer queue: a path, or *cancel*.
;; A picker's own messages take answers from the same queue, in turn.
(setq history "HKEY_CURRENT_USER\\Software\\Tabrik\\Host\\FolderHistory")
;=>"HKEY_CURRENT_USER\\Software\\Tabrik\\Host\\FolderHistory"
(progn (foreach entry (vl-registry-descendents history "") (vl-registry-delete history entry)) nil)
;=>nil
(progn (tb_mkdir "pick") (tb_mkdir "pick\\a") (tb_mkdir "pick\\b") (tb_mkdir "pick\\c") nil)
;=>nil

;; XFolderDialog: the folder chosen, nil when cancelled or unanswered. Confirming
;; with nothing typed takes the history's text, and with no history there is nothing.
(host:answer "" "OK" "*cancel*")
;=>nil
(XFolderDialog "" "")
;=>nil
(host:message-boxes)
;=>(("Tabrik" "Please select a folder." 48))
(host:answer "pick\\a")
;=>nil
(XFolderDialog "" "")
;=>"pick\\a"
(host:answer "*cancel*")
;=>nil
(XFolderDialog "pick" "Choose")
;=>nil
(XFolderDialog "" "")
;=>nil
;; A folder that is not there keeps the picker open with a message.
(host:answer "pick\\zz" "OK" "pick\\b")
;=>nil
(XFolderDialog "" "Choose")
;=>"pick\\b"
(host:message-boxes)
;=>(("Tabrik" "The folder 'pick\\zz' isn't accessible." 48))
;; The history: most recent first, once each, and the current one; an empty answer
;; takes the first history item.
(host:answer "")
;=>nil
(XFolderDialog "" "")
;=>"pick\\b"
(host:answer "pick\\a")
;=>nil
(XFolderDialog "" "")
;=>"pick\\a"
(mapcar '(lambda (entry) (vl-registry-read history entry)) '("Folder0000" "Folder0001" "Folder"))
;=>("pick\\a" "pick\\b" "pick\\a")
(vl-registry-read history "Folder0002")
;=>nil
;; A deleted folder drops out of the history when it is next written.
(tb_rmdir "pick\\b")
;=>T
(host:answer "pick\\c")
;=>nil
(XFolderDialog "" "")
;=>"pick\\c"
(mapcar '(lambda (entry) (vl-registry-read history entry)) '("Folder0000" "Folder0001" "Folder0002"))
;=>("pick\\c" "pick\\a" nil)
;; More than 50 folders keep the 50 most recent; stale numbered entries above them go,
;; up to the first gap.
(progn (foreach entry '("Folder0050" "Folder0051" "Folder0053") (vl-registry-write history entry "stale")) nil)
;=>nil
(progn
  (setq n 0)
  (repeat 55
    (tb_mkdir (strcat "pick\\f" (itoa n)))
    (host:answer (strcat "pick\\f" (itoa n)))
    (XFolderDialog "" "")
    (setq n (1+ n)))
  nil)
;=>nil
(mapcar '(lambda (entry) (vl-registry-read history entry)) '("Folder0000" "Folder0049" "Folder0050" "Folder0051" "Folder0053"))
;=>("pick\\f54" "pick\\f5" nil nil "stale")

;; CFileDialog: open and save pickers.
(progn (tb_mkdir "pick\\docs") (setq f (open "pick\\docs\\plan.dwg" "w")) (close f) nil)
;=>nil
(host:answer "pick\\docs\\plan.dwg")
;=>nil
(CFileDialog T "Open" "pick\\docs\\" "dwg")
;=>"pick\\docs\\plan.dwg"
(host:answer "*cancel*")
;=>nil
(CFileDialog T "Open" "pick\\docs\\" "dwg")
;=>nil
;; Must-exist: a missing file is refused with Windows' message.
(host:answer "pick\\docs\\none.dwg" "OK" "plan.dwg")
;=>nil
(CFileDialog T "Open" "pick\\docs" "dwg" T T)
;=>"pick\\docs\\plan.dwg"
(host:message-boxes)
;=>(("Open" "pick\\docs\\none.dwg\nFile not found.\nCheck the file name and try again." 48))
;; A save picker proposes the initial path's file name (confirmed with an empty answer),
;; asks before replacing (No keeps it open) and adds a single default extension.
(host:answer "" "NO" "*cancel*")
;=>nil
(CFileDialog nil "Save" "pick\\docs\\plan.dwg" "dwg")
;=>nil
(host:message-boxes)
;=>(("Save" "pick\\docs\\plan.dwg already exists.\nDo you want to replace it?" 308))
(host:answer "" "YES")
;=>nil
(CFileDialog nil "Save" "pick\\docs\\plan.dwg" "dwg")
;=>"pick\\docs\\plan.dwg"
(host:message-boxes)
;=>(("Save" "pick\\docs\\plan.dwg already exists.\nDo you want to replace it?" 308))
(host:answer "" "report")
;=>nil
(CFileDialog nil "Save" "pick\\docs\\" "txt" nil)
;=>"pick\\docs\\report.txt"
(host:answer "pick\\docs\\plan.dwg")
;=>nil
(CFileDialog nil "Save" "pick\\docs\\" "dwg" nil)
;=>"pick\\docs\\plan.dwg"

;; Wrong arguments.
(CFileDialog T "Open" "pick")
;/
;/Wrong type of arguments passed.
;!ADS request error
(CFileDialog T 1 "pick" "dwg")
;/
;/Wrong type of arguments passed.
;!ADS request error
(XFolderDialog "pick")
;/
;/Wrong type of arguments passed.
;!ADS request error
(XFolderDialog nil "")
;/
;/Wrong type of arguments passed.
;!ADS request error
