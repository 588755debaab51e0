;; -LAYER: each option, given as a program gives it, leaves the layer table as the
;; option says (flags 70: 1 frozen, 4 locked; colour 62 negative when off).
(setvar "CMDECHO" 0)
(defun state (name / d)
  (setq d (tblsearch "LAYER" name))
  (list (cdr (assoc 70 d)) (cdr (assoc 62 d)) (cdr (assoc 6 d))))
(command "_.-LAYER" "_New" "A1,A2,B1" "")
(command "_.-LINETYPE" "_Load" "DASHED" "" "")
(tblsearch "LTYPE" "DASHED" )

;; Each row: the options after -LAYER, the layers to look at, their states after.
(setq cases
  '((("_OFF" "A1" "") ("A1") ((0 -7 "Continuous")))
    (("_ON" "A1" "") ("A1") ((0 7 "Continuous")))
    (("_Freeze" "A*" "") ("A1" "A2" "B1") ((1 7 "Continuous") (1 7 "Continuous") (0 7 "Continuous")))
    (("_Thaw" "A1,A2" "") ("A1" "A2") ((0 7 "Continuous") (0 7 "Continuous")))
    (("_LOck" "B1" "") ("B1") ((4 7 "Continuous")))
    (("_Unlock" "b1" "") ("B1") ((0 7 "Continuous")))
    (("_Color" "red" "A1,B1" "") ("A1" "A2" "B1") ((0 1 "Continuous") (0 7 "Continuous") (0 1 "Continuous")))
    (("_Color" "30" "A?" "") ("A1" "A2") ((0 30 "Continuous") (0 30 "Continuous")))
    (("_Ltype" "dashed" "A2" "") ("A2") ((0 30 "DASHED")))
    (("_OFF" "B1" "_Freeze" "B1" "") ("B1") ((1 -1 "Continuous")))))
(mapcar
  '(lambda (case)
     (apply 'command (cons "_.-LAYER" (car case)))
     (equal (mapcar 'state (cadr case)) (caddr case)))
  cases)
;=>(T T T T T T T T T T)

;; Make makes the layer current (and is current even if it existed); Set needs it.
(command "_.-LAYER" "_Make" "M1" "")
(list (getvar "CLAYER") (state "M1"))
;=>("M1" (0 7 "Continuous"))
(command "_.-LAYER" "_Set" "A1" "")
(getvar "CLAYER")
;=>"A1"
(host:command-prompts)
(command "_.-LAYER" "_Set" "NONE" "B1" "")
(list (getvar "CLAYER") (cdr (host:command-prompts)))
;=>("A1" ("Enter layer name to make current or <select object>: " "Enter layer name to make current or <select object>: " "Enter layer name to make current or <select object>: " "Enter an option [?/Make/Set/New/ON/OFF/Color/Ltype/LWeight/MATerial/Plot/Freeze/Thaw/LOck/Unlock/stAte/Description/rEconcile]: "))
(command "")
(getvar "CMDACTIVE")
;=>0

;; The current layer is never frozen, and only turned off when the user agrees.
;; The command line shows why (CMDECHO 1).
(setvar "CMDECHO" 1)
(command "_.-LAYER" "_Freeze" "A1" "")
;/
;/Command: _.-LAYER
;/Current layer:  "A1"
;/Enter an option [?/Make/Set/New/ON/OFF/Color/Ltype/LWeight/MATerial/Plot/Freeze/Thaw/LOck/Unlock/stAte/Description/rEconcile]: _Freeze
;/Enter name list of layer(s) to freeze or <select objects>: A1
;/Cannot freeze layer "A1".  It is the CURRENT layer.
;/
;/Enter an option [?/Make/Set/New/ON/OFF/Color/Ltype/LWeight/MATerial/Plot/Freeze/Thaw/LOck/Unlock/stAte/Description/rEconcile]: 
(setvar "CMDECHO" 0)
(command "_.-LAYER" "_OFF" "A1" "_No" "")
(state "A1")
;=>(0 30 "Continuous")
(command "_.-LAYER" "_OFF" "A1" "_Yes" "")
(state "A1")
;=>(0 -30 "Continuous")

;; A colour that is no colour is asked again.
(host:command-prompts)
(command "_.-LAYER" "_Color" "purple" "5" "A1" "")
(list (state "A1") (host:command-prompts))
;=>((0 -5 "Continuous") ("Enter an option [?/Make/Set/New/ON/OFF/Color/Ltype/LWeight/MATerial/Plot/Freeze/Thaw/LOck/Unlock/stAte/Description/rEconcile]: " "New color [Truecolor/COlorbook] : " "New color [Truecolor/COlorbook] : " "Enter name list of layer(s) for color 5 (blue) <A1>: " "Enter an option [?/Make/Set/New/ON/OFF/Color/Ltype/LWeight/MATerial/Plot/Freeze/Thaw/LOck/Unlock/stAte/Description/rEconcile]: "))
