;; The setting commands: linetypes from the linetype file, text styles, object snap
;; modes, purging what nothing uses, the view commands that only take their input, and
;; saving the drawing.
(setvar "CMDECHO" 0)

;; -LINETYPE: wild cards pick from the file; a loaded one is reloaded on request.
(command "_.-LINETYPE" "_Load" "DASH*,CENTER" "acad.lin" "")
(mapcar '(lambda (n) (cdr (assoc 2 (tblsearch "LTYPE" n)))) '("DASHDOT" "DASHED" "DASHED2" "CENTER" "HIDDEN"))
;=>("DASHDOT" "DASHED" "DASHED2" "CENTER" nil)
(cdr (member '(72 . 65) (tblsearch "LTYPE" "CENTER")))
;=>((73 . 4) (40 . 2.0) (49 . 1.25) (74 . 0) (49 . -0.25) (74 . 0) (49 . 0.25) (74 . 0) (49 . -0.25) (74 . 0))
(host:command-prompts)
(command "_.-LINETYPE" "_Load" "CENTER" "" "_No" "_Set" "center" "")
(list (getvar "CELTYPE") (host:command-prompts))
;=>("CENTER" ("Enter an option [?/Create/Load/Set]: " "Enter linetype(s) to load: " "Enter name of linetype file to search <acad.lin>: " "Linetype \"CENTER\" is already loaded.  Reload it? <Y>: " "Enter an option [?/Create/Load/Set]: " "Specify linetype name or [?] <ByLayer>: " "Enter an option [?/Create/Load/Set]: "))
(setvar "CMDECHO" 1)
(command "_.-LINETYPE" "_Load" "NOSUCH" "acad.lin" "_Set" "NOSUCH" "" "")
;/
;/Command: _.-LINETYPE
;/Current line type:  "CENTER"
;/Enter an option [?/Create/Load/Set]: _Load
;/Enter linetype(s) to load: NOSUCH
;/Enter name of linetype file to search <acad.lin>: acad.lin
;/Linetype "NOSUCH" not found in file acad.lin.
;/Enter an option [?/Create/Load/Set]: _Set
;/Specify linetype name or [?] <CENTER>: NOSUCH
;/Linetype "NOSUCH" is not loaded.  Use the Load option to load it.
;/Specify linetype name or [?] <CENTER>: 
;/Enter an option [?/Create/Load/Set]: 
(getvar "CMDACTIVE")
;=>0
(setvar "CMDECHO" 0)

;; -STYLE: a new style, then the same one changed (its old values are the defaults).
(command "_.-STYLE" "LABEL" "simplex.shx" "3.5" "0.8" "15" "_No" "_No")
(list (getvar "TEXTSTYLE") (mapcar '(lambda (g) (cdr (assoc g (tblsearch "STYLE" "LABEL")))) '(40 41 3)))
;=>("LABEL" (3.5 0.8 "simplex.shx"))
(angtos (cdr (assoc 50 (tblsearch "STYLE" "LABEL"))) 0 0)
;=>"15"
(host:command-prompts)
(command "_.-STYLE" "" "" "" "1" "" "" "")
(list (mapcar '(lambda (g) (cdr (assoc g (tblsearch "STYLE" "LABEL")))) '(40 41 3)) (host:command-prompts))
;=>((3.5 1.0 "simplex.shx") ("Enter name of text style or [?] <LABEL>: " "Specify full font name or font filename (TTF or SHX) <simplex.shx>: " "Specify height of text or [Annotative] <3.5000>: " "Specify width factor <0.8000>: " "Specify obliquing angle <15>: " "Display text backwards? [Yes/No] <No>: " "Display text upside-down? [Yes/No] <No>: "))

;; -OSNAP: each row the list typed and the OSMODE it gives.
(mapcar '(lambda (row) (command "_.-OSNAP" (car row)) (= (getvar "OSMODE") (cadr row)))
  '(("end" 1) ("END,MID,CEN" 7) ("nod,qua,int,ins,per" 248) ("tan,nea" 768)
    ("ext,par,app" 14336) ("none" 0) ("endpoint,intersection" 33)))
;=>(T T T T T T T)
(command "_.-OSNAP" "bogus" "cen")
(getvar "OSMODE")
;=>4

;; PURGE leaves what is used or the host's own, deletes the rest.
(command "_.-LAYER" "_New" "UNUSED1,UNUSED2,HELD" "")
(entmake '((0 . "LINE") (8 . "HELD") (10 0.0 0.0 0.0) (11 1.0 1.0 0.0)))
(command "_.PURGE" "_LAyers" "UNUSED*,HELD,0" "_No")
(mapcar '(lambda (n) (and (tblsearch "LAYER" n) T)) '("UNUSED1" "UNUSED2" "HELD" "0"))
;=>(nil nil T T)
(command "_.PURGE" "_LTypes" "*" "_Yes" "_Yes" "_No" "_Yes")
(mapcar '(lambda (n) (and (tblsearch "LTYPE" n) T)) '("DASHDOT" "DASHED" "DASHED2" "CENTER" "CONTINUOUS"))
;=>(nil T nil T T)
(setvar "CMDECHO" 1)
(command "_.PURGE" "_Blocks" "" "_No")
;/
;/Command: _.PURGE
;/Enter type of unused objects to purge [Blocks/Dimstyles/Groups/LAyers/LTypes/MAterials/MUltileaderstyles/Plotstyles/SHapes/textSTyles/Mlinestyles/Tablestyles/Visualstyles/Regapps/Zero-length geometry/Empty text objects/All]: _Blocks
;/Enter name(s) to purge <*>: 
;/Verify each name to be purged? [Yes/No] <Y>: _No
;/No unreferenced blocks found.
(setvar "CMDECHO" 0)

;; The view commands take their options and change nothing.
(host:command-prompts)
(foreach args '(("_.ZOOM" "_W" "0,0" "10,10") ("_.ZOOM" "_S" "bad" "2xp") ("_.ZOOM" "")
                ("_.REGEN") ("_.REDRAW"))
  (apply 'command args))
(list (getvar "CMDACTIVE") (length (host:command-prompts)))
;=>(0 7)

;; SAVEAS names the drawing after the file; QSAVE then saves there without a question.
(foreach name '("saved-as.dxf" "other.dxf") (vl-file-delete name))
(command "_.SAVEAS" "_DXF" "saved-as.dxf")
(list (getvar "DWGNAME") (and (findfile "saved-as.dxf") T))
;=>("saved-as.dxf" T)
(command "_.-LAYER" "_New" "LATER" "")
(host:command-prompts)
(command "_.QSAVE")
(list (host:command-prompts) (getvar "CMDACTIVE"))
;=>(nil 0)
(host:open-drawing "saved-as.dxf")
(and (tblsearch "LAYER" "LATER") T)
;=>T
;; An existing file is replaced only when the user agrees.
(command "_.SAVE" "saved-as.dxf")
(command "_.SAVEAS" "" "other.dxf")
(command "_.SAVEAS" "" "saved-as.dxf" "_No")
(getvar "DWGNAME")
;=>"other.dxf"
