;;; Leaders with a symbol: a tag bubble drawn in a drawing of its own, found on the
;;; search path when the first leader asks for it, then leaders inserted, edited,
;;; exploded and saved.
;;;   build/tabrik run examples/leaders.lsp
;;; It leaves, in the current folder:
;;;   TagBubble.dwg      the symbol's drawing
;;;   leaders.dxf        the drawing, leaders and all (other software that knows no
;;;                      NVLEADER class may drop the leaders)
;;;   leaders-plain.dxf  the same drawing with each leader as two lines and the symbol

(defun show (label value)
  (princ (strcat "\n  " label ": "))
  (prin1 value)
  (princ))

;; The module asks the application by this name when a symbol drawing is missing.
(defun nvBlock-alertMissing (name)
  (princ (strcat "\n  (no drawing for the symbol " name ")"))
  nil)

(if (/= (type nv_nv-leader-insert) 'EXRXSUBR)
  (progn (princ "\nThe Tabrik module is not loaded: build it first.") (exit)))

;; 1. The symbol: a circle of radius 1 about the origin, the size a leader's offset
;;    scales. A drawing saved as "TagBubble.dwg" becomes the block "TagBubble".
(princ "\nThe symbol drawing")
(host:new-drawing "TagBubble.dwg")
(entmake '((0 . "CIRCLE") (8 . "0") (10 0.0 0.0 0.0) (40 . 1.0)))
(entmake '((0 . "LINE") (8 . "0") (10 -0.7 0.0 0.0) (11 0.7 0.0 0.0)))
(show "saved" (host:save-as "TagBubble.dwg"))
(host:close-drawing)
;; Where the module looks for it: the current folder and the search path.
(setvar "ACADPREFIX" ".")

;; 2. Leaders. Offsets are given at plot size; the drawing's leader scale (DIMSCALE)
;;    turns them into drawing units.
(princ "\n\nLeaders")
(setvar "DIMSCALE" 2.0)
(if (not (tblsearch "LAYER" "NOTES"))
  (entmake '((0 . "LAYER") (100 . "AcDbSymbolTableRecord") (100 . "AcDbLayerTableRecord")
             (2 . "NOTES") (70 . 0) (62 . 3) (6 . "Continuous"))))
(setq first-leader (nv_nv-leader-insert '((0 0 0) (10 10 0) (20 10 0)) "NOTES" "TagBubble" 1.0))
(show "first leader" (cdr (assoc 0 (entget first-leader))))
(show "its symbol block is now in the drawing" (cdr (assoc 2 (tblsearch "BLOCK" "TagBubble"))))
(show "stored offset (1.0 x DIMSCALE 2)" (cdr (assoc 40 (entget first-leader))))
(setq second-leader (nv_nv-leader-insert '((30 0 0) (30 15 0) (45 25 0)) "NOTES" "TagBubble" 0.75))
(show "a symbol that has no drawing"
      (nv_nv-leader-insert '((0 0 0) (1 1 0) (2 1 0)) "NOTES" "NoSuchSymbol" 1.0))

;; 3. Edits: move the points, change the offset.
(princ "\n\nEdits")
(show "setPoints" (nv_nv-leader-setPoints second-leader '((30 0 0) (35 20 0) (50 20 0))))
(show "setOffset 1.5" (nv_nv-leader-setOffset second-leader 1.5))
(show "stored offset" (cdr (assoc 40 (entget second-leader))))

;; 4. Explode a copy of the first leader's look into plain entities; the leader stays.
(princ "\n\nExplode")
(setq pieces (nv_nv-leader-explode first-leader))
(show "pieces" (mapcar '(lambda (p) (cdr (assoc 0 (entget (cdr p))))) pieces))
(foreach p pieces (entdel (cdr p)))

;; 5. Save: the drawing with its leaders, and the exploded form for other readers.
(princ "\n\nSaving")
(show "leaders-plain.dxf" (host:save-exploded "leaders-plain.dxf"))
(show "leaders.dxf" (host:save-as "leaders.dxf"))
(show "reopened" (host:open-drawing "leaders.dxf"))
(show "leaders in it" (sslength (ssget "X" '((0 . "NVLEADER")))))
(princ "\n")
