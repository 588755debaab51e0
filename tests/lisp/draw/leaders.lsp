;; The leader functions: a symbol brought in from a drawing file on the search path,
;; leaders inserted at the drawing's leader scale, edited, exploded, saved and reopened;
;; the host's own leader; argument errors.
(setq *missing* nil)
(defun nvBlock-alertMissing (name) (setq *missing* (cons name *missing*)) "ignored")
;; The symbol: a drawing holding a circle of radius 1, saved as Tag.dwg.
(host:new-drawing "Symbols.dwg")
;=>"Symbols.dwg"
(progn (entmake '((0 . "CIRCLE") (10 0.0 0.0 0.0) (40 . 1.0))) T)
;=>T
(host:save-as "Tag.dwg")
;=>T
(host:close-drawing)
;=>T
(host:documents)
;=>("Drawing1.dwg")
(setvar "DIMSCALE" 48.0)
;=>48.0
(tblsearch "BLOCK" "Tag")
;=>nil
;; The first leader brings the block in; the offset is scaled by DIMSCALE.
(setq ld (nv_nv-leader-insert '((0 0 0) (100 0 0) (100 100 0)) "0" "Tag" 1))
(type ld)
;=>ENAME
(cdr (assoc 2 (tblsearch "BLOCK" "Tag")))
;=>"Tag"
*missing*
;=>nil
(mapcar '(lambda (g) (assoc g (entget ld))) '(0 100 10 11 12 40))
;=>((0 . "NVLEADER") (100 . "AcDbEntity") (10 0.0 0.0 0.0) (11 100.0 0.0 0.0) (12 100.0 100.0 0.0) (40 . 48.0))
(cdr (assoc 8 (entget ld)))
;=>"0"
;; A block neither in the drawing nor on the search path: the application hears of it.
(nv_nv-leader-insert '((0 0 0) (4 0 0) (4 3 0)) "0" "NoSuchTag" 1)
;=>nil
*missing*
;=>("NoSuchTag")
;; A layer the drawing lacks: nil, and the block is not even looked for.
(nv_nv-leader-insert '((0 0 0) (4 0 0) (4 3 0)) "NoSuchLayer" "NoSuchTag" 1)
;=>nil
*missing*
;=>("NoSuchTag")
;; Offsets from LISP are relative to the leader scale.
(nv_nv-leader-setOffset ld 0.5)
;=>T
(cdr (assoc 40 (entget ld)))
;=>24.0
(nv_nv-leader-setPoints ld '((0 0 0) (50 0 0) (50 60 0)))
;=>T
(mapcar '(lambda (g) (cdr (assoc g (entget ld)))) '(10 11 12))
;=>((0.0 0.0 0.0) (50.0 0.0 0.0) (50.0 60.0 0.0))
;; A missing block leaves the leader's own (and still answers T).
(nv_nv-leader-setBlock ld "StillMissing")
;=>T
*missing*
;=>("StillMissing" "NoSuchTag")
;; Explode: the two legs (the second stopping 24 short of the end) and the symbol, in
;; that order, on the leader's layer; the leader stays.
(setq parts (nv_nv-leader-explode ld))
(mapcar 'car parts)
;=>("obj" "obj" "obj")
(mapcar '(lambda (p) (cdr (assoc 0 (entget (cdr p))))) parts)
;=>("LINE" "LINE" "INSERT")
(mapcar '(lambda (g) (cdr (assoc g (entget (cdr (cadr parts)))))) '(10 11))
;=>((50.0 0.0 0.0) (50.0 36.0 0.0))
(mapcar '(lambda (g) (cdr (assoc g (entget (cdr (caddr parts)))))) '(2 10 41 50))
;=>("Tag" (50.0 60.0 0.0) 24.0 1.5708)
(cdr (assoc 0 (entget ld)))
;=>"NVLEADER"
;; Functions that open a leader give nil for any other entity.
(setq ln (entmakex '((0 . "LINE") (10 0 0 0) (11 1 0 0))))
(nv_nv-leader-setPoints ln '((0 0 0) (1 0 0) (1 1 0)))
;=>nil
(nv_nv-leader-setOffset ln 2)
;=>nil
(nv_nv-leader-setBlock ln "Tag")
;=>nil
(nv_nv-leader-explode ln)
;=>nil
;; A leader erased is not opened.
(entdel ld)
(nv_nv-leader-explode ld)
;=>nil
(entdel ld)
;; The host's own leader from any number of points, stopping at the first non-point.
(setq hl (AcDbLeader::create '(0 0 0) '(1 1 0) '(2 1 0)))
(cdr (assoc 0 (entget hl)))
;=>"LEADER"
(vl-remove-if-not '(lambda (g) (= (car g) 10)) (entget hl))
;=>((10 0.0 0.0 0.0) (10 1.0 1.0 0.0) (10 2.0 1.0 0.0))
(setq hl (AcDbLeader::create 1 2 3 4 5 6 "stop" '(9 9 9)))
(vl-remove-if-not '(lambda (g) (= (car g) 10)) (entget hl))
;=>((10 1.0 2.0 3.0) (10 4.0 5.0 6.0))
(AcDbLeader::create '(0 0 0))
;=>nil
(AcDbLeader::create)
;=>nil
;; Saved as DXF and reopened, the leader keeps its points and offset; the symbol is
;; not part of its DXF record, so the reopened leader has none.
(host:save-as "leaders.dxf")
;=>T
(host:open-drawing "leaders.dxf")
;=>"leaders.dxf"
(setq again (ssname (ssget "X" '((0 . "NVLEADER"))) 0))
(mapcar '(lambda (g) (cdr (assoc g (entget again)))) '(10 11 12 40))
;=>((0.0 0.0 0.0) (50.0 0.0 0.0) (50.0 60.0 0.0) 24.0)
;; The exploded export holds lines and block references, no leader; the drawing keeps
;; its leader and its name (save-as renamed the first drawing after its file).
(host:save-exploded "plain.dxf")
;=>T
(host:documents)
;=>("leaders.dxf" "leaders.dxf")
(host:open-drawing "plain.dxf")
;=>"plain.dxf"
(ssget "X" '((0 . "NVLEADER")))
;=>nil
;; The three lines of the drawing and the reopened leader's two legs; the one block
;; reference the explode above made (the reopened leader has no symbol to add).
(sslength (ssget "X" '((0 . "LINE"))))
;=>5
(sslength (ssget "X" '((0 . "INSERT"))))
;=>1
;; Argument errors.
(nv_nv-leader-insert)
;/
;/Wrong type of arguments passed.
;!ADS request error
(nv_nv-leader-insert '((0 0 0) (4 0 0)) "0" "Tag" 1)
;/
;/Wrong type of arguments passed.
;!ADS request error
(nv_nv-leader-insert '((0 0 0) (4 0 0) (4 3 0) (5 5 5)) "0" "Tag" 1)
;/
;/Wrong type of arguments passed.
;!ADS request error
(nv_nv-leader-insert '(0 0 0) "0" "Tag" 1)
;/
;/Wrong type of arguments passed.
;!ADS request error
(nv_nv-leader-insert '((0 0 0) (4 0 0) (4 3 0)) 7 "Tag" 1)
;/
;/Wrong type of arguments passed.
;!ADS request error
(nv_nv-leader-insert '((0 0 0) (4 0 0) (4 3 0)) "0" "Tag" "one")
;/
;/Wrong type of arguments passed.
;!ADS request error
(nv_nv-leader-setPoints "leader" '((0 0 0) (1 0 0) (1 1 0)))
;/
;/Wrong type of arguments passed.
;!ADS request error
(nv_nv-leader-setPoints again '((0 0 0) (1 0 0)))
;/
;/Wrong type of arguments passed.
;!ADS request error
(nv_nv-leader-setOffset again nil)
;/
;/Wrong type of arguments passed.
;!ADS request error
(nv_nv-leader-setBlock again 12)
;/
;/Wrong type of arguments passed.
;!ADS request error
(nv_nv-leader-explode)
;/
;/Wrong type of arguments passed.
;!ADS request error
