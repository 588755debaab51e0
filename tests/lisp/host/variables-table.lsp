;; The system variables as programs use them: a typical prologue and epilogue, the
;; host's refusals, names that must exist, and variables that change what the host does.
(defun c:tidy (/ *error* oldOsmode oldEcho oldLayer oldOrtho)
  (defun *error* (msg)
    (setvar "OSMODE" oldOsmode)
    (setvar "CMDECHO" oldEcho)
    (setvar "CLAYER" oldLayer)
    (setvar "ORTHOMODE" oldOrtho)
    (princ (strcat "\nrestored after: " msg))
    (princ))
  (setq oldOsmode (getvar "OSMODE")
        oldEcho (getvar "CMDECHO")
        oldLayer (getvar "CLAYER")
        oldOrtho (getvar "ORTHOMODE"))
  (setvar "OSMODE" 0)
  (setvar "CMDECHO" 0)
  (setvar "CLAYER" "Work")
  (setvar "ORTHOMODE" 1)
  (list (getvar "OSMODE") (getvar "CMDECHO") (getvar "CLAYER") (getvar "ORTHOMODE")))
;; Without the layer the program fails in its prologue and *error* restores.
(c:tidy)
;/
;/restored after: AutoCAD variable setting rejected: "CLAYER" "Work"
;!AutoCAD variable setting rejected: "CLAYER" "Work"
(list (getvar "OSMODE") (getvar "CMDECHO") (getvar "CLAYER") (getvar "ORTHOMODE"))
;=>(4133 1 "0" 0)
(entmake '((0 . "LAYER") (100 . "AcDbSymbolTableRecord") (100 . "AcDbLayerTableRecord")
           (2 . "Work") (70 . 0) (62 . 1) (6 . "Continuous")))
;=>((0 . "LAYER") (100 . "AcDbSymbolTableRecord") (100 . "AcDbLayerTableRecord") (2 . "Work") (70 . 0) (62 . 1) (6 . "Continuous"))
(c:tidy)
;=>(0 0 "Work" 1)
(setvar "CLAYER" "0")
;=>"0"
;; Refusals leave the value as it was.
(setvar "OSMODE" 40000)
;!AutoCAD variable setting rejected: "OSMODE" 40000
(setvar "OSMODE" "0")
;!AutoCAD variable setting rejected: "OSMODE" "0"
(setvar "LUPREC" 9)
;!AutoCAD variable setting rejected: "LUPREC" 9
(setvar "DWGNAME" "other.dwg")
;!AutoCAD variable setting rejected: "DWGNAME" "other.dwg"
(setvar "NOSUCHVAR" 1)
;!AutoCAD variable setting rejected: "NOSUCHVAR" 1
(setvar "DIMSTYLE" "Fancy")
;!AutoCAD variable setting rejected: "DIMSTYLE" "Fancy"
(getvar "NOSUCHVAR")
;=>nil
(list (getvar "OSMODE") (getvar "LUPREC") (getvar "DIMSTYLE"))
;=>(0 4 "Standard")
;; Types: reals take integers, points take lists of numbers.
(setvar "ANGBASE" 1)
;=>1
(getvar "ANGBASE")
;=>1.0
(setvar "ANGBASE" 0.0)
;=>0.0
(setvar "LIMMAX" '(420.0 297.0))
;=>(420.0 297.0)
(getvar "LIMMAX")
;=>(420.0 297.0)
(getvar "INSBASE")
;=>(0.0 0.0 0.0)
(getvar "ACADVER")
;=>"18.0s (LMS Tech)"
(mapcar 'type (mapcar 'getvar '("DATE" "CDATE" "MILLISECS" "TDCREATE" "DWGPREFIX")))
;=>(REAL REAL INT REAL STR)
(> (getvar "DATE") 2455000.0)
;=>T
;; Units variables drive the conversions.
(setvar "LUNITS" 4)
;=>4
(rtos 18.5)
;=>"1'-6 1/2\""
(setvar "LUNITS" 2)
;=>2
(setvar "LUPREC" 2)
;=>2
(rtos 18.5)
;=>"18.50"
(setvar "AUNITS" 3)
;=>3
(angtos pi)
;=>"3r"
(setvar "AUNITS" 0)
;=>0
(setvar "CTAB" "Layout1")
;=>"Layout1"
(getvar "TILEMODE")
;=>0
(setvar "TILEMODE" 1)
;=>1
(getvar "CTAB")
;=>"Model"
