;; The command line driven from LISP: command names and their prefixes, commands that
;; wait across calls, cancelling, pause, vl-cmdf's argument check, CMDACTIVE and
;; CMDNAMES, the prompts asked, and the *error* path of a cancelled command.
(setvar "CMDECHO" 0)
;=>0

;; Unknown names print the host's line and the call goes on with the next argument,
;; which the command prompt takes as a command name too.
(command "foo" "_.bar")
;=>nil
;/
;/Unknown command "FOO".  Press F1 for help.
;/Unknown command "BAR".  Press F1 for help.

;; Prefixes and letter case: each name below runs -LAYER and makes one layer.
(foreach name '("-layer" "_-LAYER" "._-layer" "_.-Layer" ".-LAYER")
  (command name "_New" (strcat "P" (itoa (strlen name))) ""))
;=>nil
(mapcar '(lambda (n) (cdr (assoc 2 (tblsearch "LAYER" n)))) '("P6" "P7" "P8"))
;=>("P6" "P7" "P8")

;; A command whose arguments ran out waits for the next call.
(command "_.-LAYER")
;=>nil
(list (getvar "CMDACTIVE") (getvar "CMDNAMES"))
;=>(1 "-LAYER")
(foreach option '("_New" "W1,W2") (command option))
;=>nil
(getvar "CMDACTIVE")
;=>1
(command "")
;=>nil
(list (getvar "CMDACTIVE") (getvar "CMDNAMES") (and (tblsearch "LAYER" "W2") T))
;=>(0 "" T)

;; (command) cancels; nothing it had not been given happens.
(host:command-prompts)
(command "_.-LAYER" "_New")
;=>nil
(command)
;=>nil
(list (getvar "CMDACTIVE") (host:command-prompts))
;=>(0 ("Enter an option [?/Make/Set/New/ON/OFF/Color/Ltype/LWeight/MATerial/Plot/Freeze/Thaw/LOck/Unlock/stAte/Description/rEconcile]: " "Enter name list for new layer(s): "))

;; pause takes the next token of the input queue; the loop of programs that let the
;; user finish a command ends when the queue has answered every prompt.
(host:input "_New" "U1" "")
(command "_.-LAYER")
(while (> (getvar "CMDACTIVE") 0) (command pause))
;=>nil
(and (tblsearch "LAYER" "U1") T)
;=>T

;; vl-cmdf checks every argument before anything runs; command runs what came before
;; the bad one (and cancels what it started).
(vl-cmdf "_.-LAYER" "_New" "V1" 'symbol "")
;!bad argument type: stringp SYMBOL
(list (tblsearch "LAYER" "V1") (getvar "CMDACTIVE"))
;=>(nil 0)
(vl-cmdf "_.-LAYER" "_New" "V2" "")
;=>T
(command "_.-LAYER" "_New" "V3" "" (list 1 2 3 4))
;!bad argument type: stringp (1 2 3 4)
(list (and (tblsearch "LAYER" "V3") T) (getvar "CMDACTIVE"))
;=>(T 0)

;; Numbers and points answer as typed; nil arguments are skipped.
(host:command-prompts)
(command "_.ZOOM" nil "_C" '(1.5 2.0) 25)
;=>nil
(cdr (host:command-prompts))
;=>("Specify center point: " "Enter magnification or height <1.0000>: ")

;; Escape at a pause cancels the command: *error* hears "Function cancelled".
(defun *error* (msg) (setq caught msg) (princ))
(progn (setq caught nil) (command "_.-LAYER" pause) (setq after T))
;!Function cancelled
(list caught (getvar "CMDACTIVE"))
;=>("Function cancelled" 0)
(setq *error* nil)

;; 'REDRAW runs in the middle of -LAYER; the interrupted prompt comes back.
(host:command-prompts)
(command "_.-LAYER" "'_.ZOOM" "_E" "_New" "T1" "")
;=>nil
(list (host:command-prompts) (and (tblsearch "LAYER" "T1") T))
;=>(("Enter an option [?/Make/Set/New/ON/OFF/Color/Ltype/LWeight/MATerial/Plot/Freeze/Thaw/LOck/Unlock/stAte/Description/rEconcile]: " "Specify corner of window, enter a scale factor (nX or nXP), or\n[All/Center/Dynamic/Extents/Previous/Scale/Window/Object] <real time>: " "Enter an option [?/Make/Set/New/ON/OFF/Color/Ltype/LWeight/MATerial/Plot/Freeze/Thaw/LOck/Unlock/stAte/Description/rEconcile]: " "Enter name list for new layer(s): " "Enter an option [?/Make/Set/New/ON/OFF/Color/Ltype/LWeight/MATerial/Plot/Freeze/Thaw/LOck/Unlock/stAte/Description/rEconcile]: ") T)

;; CMDECHO 1: the command line shows the command, its prompts and the answers.
(setvar "CMDECHO" 1)
(command "_.-OSNAP" "end,mid")
;=>nil
;/
;/Command: _.-OSNAP
;/Current osnap modes: End,Cen,Int,Ext
;/Enter list of object snap modes: end,mid
(getvar "OSMODE")
;=>3

;; Entity names, selection sets and entsel lists answer object prompts; at a point
;; prompt an entity name is no point and the prompt asks again.
(setvar "CMDECHO" 0)
(entmake '((0 . "LINE") (8 . "0") (10 0.0 0.0 0.0) (11 4.0 0.0 0.0)))
(host:command-prompts)
(command "_.ZOOM" "_O" (ssget "X") (entlast) (list (entlast) '(2.0 0.0 0.0)) "")
(list (getvar "CMDACTIVE") (cdr (host:command-prompts)))
;=>(0 ("Select objects: " "Select objects: " "Select objects: " "Select objects: "))
(command "_.ZOOM" "_C" (entlast) '(1 1) 2.5)
(list (getvar "CMDACTIVE") (cdr (host:command-prompts)))
;=>(0 ("Specify center point: " "Specify center point: " "Enter magnification or height <1.0000>: "))

;; pause at the command prompt takes the command's name from the queue too.
(host:input "_.-LAYER" "_New" "PZ" "")
(command pause pause pause pause)
(list (getvar "CMDACTIVE") (and (tblsearch "LAYER" "PZ") T))
;=>(0 T)

;; vl-cmdf answers T, and with no argument cancels as command does.
(vl-cmdf "_.-LAYER")
;=>T
(list (vl-cmdf) (getvar "CMDACTIVE"))
;=>(T 0)
