;; UNDO and U: each command is one step; a group (Begin ... End) is one; Back goes to
;; the last mark. What is undone is gone exactly: the saved drawing is the same file.
(setvar "CMDECHO" 0)
(defun file-text (path / f line lines)
  (setq f (open path "r"))
  (while (setq line (read-line f)) (setq lines (cons line lines)))
  (close f)
  (reverse lines))
(defun names (table / record found)
  (setq record (tblnext table T))
  (while record
    (setq found (cons (cdr (assoc 2 record)) found)
          record (tblnext table)))
  (reverse found))
(host:save-as "start.dxf")
;=>T

;; Three commands, then U three times: back to the start, byte for byte.
(command "_.-LAYER" "_Make" "E-LITE" "_Color" "1" "" "")
(command "_.-LINETYPE" "_Load" "HIDDEN" "acad.lin" "_Set" "HIDDEN" "")
(command "_.-STYLE" "NOTE" "romans.shx" "2.5" "1" "0" "_No" "_No")
(list (getvar "CLAYER") (getvar "CELTYPE") (getvar "TEXTSTYLE"))
;=>("E-LITE" "HIDDEN" "NOTE")
(command "_.U")
(list (getvar "CLAYER") (getvar "CELTYPE") (getvar "TEXTSTYLE") (tblsearch "STYLE" "NOTE"))
;=>("E-LITE" "HIDDEN" "Standard" nil)
(command "_.U")
(list (getvar "CELTYPE") (tblsearch "LTYPE" "HIDDEN"))
;=>("ByLayer" nil)
(command "_.U")
(list (getvar "CLAYER") (names "LAYER"))
;=>("0" ("0"))
(host:save-as "undone.dxf")
;=>T
(equal (file-text "start.dxf") (file-text "undone.dxf"))
;=>T

;; Nothing left: U says so and changes nothing.
(setvar "CMDECHO" 1)
(command "_.U")
;/
;/Command: _.U
;/Everything has been undone
(setvar "CMDECHO" 0)

;; UNDO with a number; Mark and Back.
(foreach name '("L1" "L2" "L3" "L4") (command "_.-LAYER" "_New" name ""))
(command "_.UNDO" "2")
(names "LAYER")
;=>("0" "L1" "L2")
(command "_.UNDO" "_Mark")
(getvar "UNDOMARKS")
;=>1
(foreach name '("M1" "M2") (command "_.-LAYER" "_New" name ""))
(command "_.UNDO" "_Back")
(list (names "LAYER") (getvar "UNDOMARKS"))
;=>(("0" "L1" "L2") 0)
;; Back with no mark left asks before it undoes everything.
(command "_.UNDO" "_Back" "_No")
(names "LAYER")
;=>("0" "L1" "L2")
(command "_.UNDO" "_Back" "_Yes")
(names "LAYER")
;=>("0")

;; A group undoes as one.
(command "_.UNDO" "_BEgin")
(foreach name '("G1" "G2" "G3") (command "_.-LAYER" "_New" name ""))
(command "_.UNDO" "_End")
(command "_.-LAYER" "_New" "AFTER" "")
(command "_.U")
(names "LAYER")
;=>("0" "G1" "G2" "G3")
(command "_.U")
(names "LAYER")
;=>("0")

;; Control One keeps one step; None keeps none and U refuses.
(command "_.UNDO" "_Control" "_One")
(foreach name '("O1" "O2") (command "_.-LAYER" "_New" name ""))
(command "_.UNDO" "1")
(command "_.UNDO" "1")
(names "LAYER")
;=>("0" "O1")
(command "_.UNDO" "_Control" "_None")
(command "_.-LAYER" "_New" "N1" "")
(setvar "CMDECHO" 1)
(command "_.U")
;/
;/Command: _.U
;/U command disabled. Use UNDO command to turn it on
(setvar "CMDECHO" 0)
(command "_.UNDO" "_All")
(command "_.-LAYER" "_New" "N2" "")
(command "_.U")
(names "LAYER")
;=>("0" "O1" "N1")
