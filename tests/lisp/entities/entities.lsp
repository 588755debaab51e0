;; Colours, extents, 3D face edges, 2D polyline fitting, viewport freezing and groups:
;; each change checked through entget and again in the drawing saved as DXF and
;; reopened; and the refusals, which change nothing.
(defun mk (data) (entmake data) (entlast))
(defun outcome (f args / r)
  (setq r (vl-catch-all-apply f args))
  (if (vl-catch-all-error-p r) (vl-catch-all-error-message r) r))
(defun g (e code) (cdr (assoc code (entget e))))
(setq ln (mk '((0 . "LINE") (10 0.0 0.0 0.0) (11 3.0 4.0 0.0)))
      ci (mk '((0 . "CIRCLE") (10 1.0 1.0 0.0) (40 . 3.0)))
      fc (mk '((0 . "3DFACE") (10 0.0 0.0 0.0) (11 1.0 0.0 0.0) (12 1.0 1.0 0.0) (13 0.0 1.0 0.0))))
(progn
  (entmake '((0 . "POLYLINE") (66 . 1) (10 0.0 0.0 0.0)))
  (foreach p '((0.0 0.0 0.0) (4.0 0.0 0.0) (4.0 4.0 0.0) (8.0 4.0 0.0))
    (entmake (list '(0 . "VERTEX") (cons 10 p))))
  (entmake '((0 . "SEQEND")))
  (setq pl (entlast))
  T)
;=>T
(defun vertices (e / n)
  (setq n 0 e (entnext e))
  (while (= (g e 0) "VERTEX") (setq n (1+ n) e (entnext e)))
  n)

;; Colours: an index (0 by block to 256 by layer), or a true colour; the polyline's
;; vertices take it too.
(list (AcDbEntity::setColor ln 3) (g ln 62))
;=>(nil 3)
(list (AcDbEntity::setColor ln 256) (g ln 62) (AcDbEntity::setColor ln 0) (g ln 62))
;=>(nil nil nil 0)
(mapcar '(lambda (i) (AcDbEntity::setColor ln i) (g ln 62)) '(257 -1 65536))
;=>(0 0 0)
(list (nv_nv-setColor pl 255 128 0) (g pl 420) (g (entnext pl) 420))
;=>(nil 16744448 16744448)
(list (nv_nv-setColor ci 1 2 3) (g ci 420))
;=>(nil 66051)
(outcome 'nv_nv-setColor (list ci 0 256 0))
;/
;/Bad data passed .
;=>"ADS request error"
(outcome 'nv_nv-setColor (list ci -1 0 0))
;/
;/Bad data passed .
;=>"ADS request error"
(g ci 420)
;=>66051

;; Extents: the corners of the box round the geometry.
(mapcar 'AcDbEntity::getGeomExtents (list ln ci fc))
;=>((("min" 0.0 0.0 0.0) ("max" 3.0 4.0 0.0)) (("min" -2.0 -2.0 0.0) ("max" 4.0 4.0 0.0)) (("min" 0.0 0.0 0.0) ("max" 1.0 1.0 0.0)))
;; A reference to an empty block has none.
(entmake '((0 . "BLOCK") (2 . "Empty") (70 . 0) (10 0.0 0.0 0.0)))
(progn (entmake '((0 . "ENDBLK"))) T)
;=>T
(setq empty-ref (mk '((0 . "INSERT") (2 . "Empty") (10 5.0 5.0 0.0))))
(AcDbEntity::getGeomExtents empty-ref)
;=>nil

;; 3D face edges 0 to 3; flag bit i marks edge i invisible.
(mapcar '(lambda (i) (list (AcDbFace::makeEdgeInvisibleAt fc i) (g fc 70))) '(2 0 2 4 -1))
;=>((T 4) (T 5) (T 5) (nil 5) (nil 5))

;; 2D polyline fitting: "f" adds fit vertices (flag 2), "s" a spline (flag 4) over
;; control vertices, "d" straightens back to the four vertices; other text changes
;; nothing.
(list (AcDb2dPolyline::setCurveType pl "f") (logand (g pl 70) 6) (> (vertices pl) 4))
;=>(T 2 T)
(list (AcDb2dPolyline::setCurveType pl "d") (logand (g pl 70) 6) (vertices pl))
;=>(T 0 4)
(list (AcDb2dPolyline::setCurveType pl "s") (logand (g pl 70) 6))
;=>(T 4)
(setq spline (entget pl) spline-vertices (vertices pl))
(list (AcDb2dPolyline::setCurveType pl "x") (AcDb2dPolyline::setCurveType pl "F"))
;=>(T T)
(list (equal spline (entget pl)) (= spline-vertices (vertices pl)))
;=>(T T)

;; Groups: made once, found again, selectable as asked.
(nv_nv-GetGroup "Pair")
;=>nil
(setq grp (nv_nv-GetGroup "Pair" T))
(list (g grp 0) (g grp 71) (equal grp (nv_nv-GetGroup "Pair" T T)) (equal grp (nv_nv-GetGroup "Pair")))
;=>("GROUP" 0 T T)
(list (nv_nv-setGroupSelectable "Pair" T) (g grp 71) (nv_nv-setGroupSelectable "Pair" nil) (g grp 71))
;=>(T 1 T 0)
(g (nv_nv-GetGroup "Open" T T) 71)
;=>1
(nv_nv-setGroupSelectable "Missing" T)
;=>nil
(nv_nv-GetGroup "Missing" nil T)
;=>nil

;; Layers frozen in a paper-space viewport; names the drawing lacks are passed over.
(foreach name '("Walls" "Doors")
  (entmake (list '(0 . "LAYER") '(100 . "AcDbSymbolTableRecord") '(100 . "AcDbLayerTableRecord") (cons 2 name) '(70 . 0) '(62 . 7) '(6 . "Continuous"))))
(setq vp (mk '((0 . "VIEWPORT") (67 . 1) (10 100.0 100.0 0.0) (40 . 50.0) (41 . 40.0) (69 . 2))))
(defun frozen (e) (mapcar '(lambda (p) (g (cdr p) 2)) (vl-remove-if-not '(lambda (p) (= (car p) 331)) (entget e))))
(list (nv_nv-freezeInViewport vp T '("Walls" "Doors" "Nowhere")) (frozen vp))
;=>(nil ("Walls" "Doors"))
(list (nv_nv-freezeInViewport vp nil '("Walls")) (frozen vp))
;=>(nil ("Doors"))
(list (nv_nv-freezeInViewport vp nil nil) (frozen vp))
;=>(nil ("Doors"))
(outcome 'nv_nv-freezeInViewport (list vp T '("Walls" 7)))
;/
;/Wrong type of arguments passed.
;=>"ADS request error"
(outcome 'nv_nv-freezeInViewport (list vp T "Walls"))
;/
;/Wrong type of arguments passed.
;=>"ADS request error"
(frozen vp)
;=>("Doors")

;; Plot styles: the layers name theirs by a placeholder in the drawing's plot style
;; names; a layer the drawing lacks is passed over.
(defun plot-style (layer) (cdr (assoc 390 (entget (tblobjname "LAYER" layer)))))
(list (nv_nv-setPlotStyle "Walls" "Thick") (nv_nv-setPlotStyle "Nowhere" "Thick"))
;=>(nil nil)
(tblsearch "LAYER" "Nowhere")
;=>nil

;; Saved and reopened, every change is still there.
(host:save-as "changed.dxf")
;=>T
(host:open-drawing "changed.dxf")
;=>"changed.dxf"
(defun only (type) (ssname (ssget "X" (list (cons 0 type))) 0))
(list (g (only "LINE") 62) (g (only "CIRCLE") 420) (g (only "3DFACE") 70) (logand (g (only "POLYLINE") 70) 6)
      (frozen (only "VIEWPORT")) (cdr (assoc 3 (member '(3 . "Pair") (dictsearch (namedobjdict) "ACAD_GROUP")))))
;=>(0 66051 5 4 ("Doors") "Pair")
(g (nv_nv-GetGroup "Open") 71)
;=>1
;; Walls names the plot style Thick, Doors the drawing's default; saved again, the
;; names read back are written back.
(list (equal (plot-style "Walls") (plot-style "Doors"))
      (and (member '(3 . "Thick") (dictsearch (namedobjdict) "ACAD_PLOTSTYLENAME")) T))
;=>(nil T)
(nv_nv-setPlotStyle "Doors" "Thick")
;=>nil
(host:save-as "again.dxf")
;=>T
(host:open-drawing "again.dxf")
;=>"again.dxf"
(list (equal (plot-style "Walls") (plot-style "Doors")) (equal (plot-style "Walls") (plot-style "0")))
;=>(T nil)
(host:close-drawing)
;=>T
(host:close-drawing)
;=>T

;; Refusals: each function on an entity of another class, an erased one and the layer
;; record "0" gives nil (or the bad-data error for nv_nv-setColor) and changes nothing.
(setq gone (mk '((0 . "3DFACE") (10 0.0 0.0 0.0) (11 1.0 0.0 0.0) (12 1.0 1.0 0.0) (13 0.0 1.0 0.0)))
      lay (tblobjname "LAYER" "0"))
(progn (entdel gone) T)
;=>T
(setq kept (mapcar 'entget (list ln ci fc pl vp lay)))
(list (AcDbFace::makeEdgeInvisibleAt ln 1) (AcDbFace::makeEdgeInvisibleAt gone 1) (AcDbFace::makeEdgeInvisibleAt lay 1)
      (AcDb2dPolyline::setCurveType ln "f") (AcDb2dPolyline::setCurveType ci "s") (AcDb2dPolyline::setCurveType lay "f")
      (AcDbEntity::setColor gone 1) (AcDbEntity::setColor lay 1)
      (AcDbEntity::getGeomExtents gone) (AcDbEntity::getGeomExtents lay)
      (nv_nv-freezeInViewport ln T '("Walls")) (nv_nv-freezeInViewport lay T '("Walls")))
;=>(nil nil nil nil nil nil nil nil nil nil nil nil)
(mapcar '(lambda (e) (outcome 'nv_nv-setColor (list e 1 2 3))) (list gone lay))
;/
;/Bad data passed .
;/
;/Bad data passed .
;=>("ADS request error" "ADS request error")
(list (equal kept (mapcar 'entget (list ln ci fc pl vp lay))) (entget gone))
;=>(T nil)

;; Wrong arguments.
(mapcar '(lambda (call) (outcome (car call) (cdr call)))
        (list (list 'AcDbEntity::setColor "ln" 1) (list 'AcDbEntity::setColor ln "1")
              (list 'nv_nv-setColor ln 1 2) (list 'AcDbEntity::getGeomExtents)
              (list 'AcDbFace::makeEdgeInvisibleAt fc "2") (list 'AcDb2dPolyline::setCurveType pl 1)
              (list 'nv_nv-freezeInViewport vp) (list 'nv_nv-GetGroup 7)
              (list 'nv_nv-setGroupSelectable "Pair")))
;/
;/Wrong type of arguments passed.
;/
;/Wrong type of arguments passed.
;/
;/Wrong type of arguments passed.
;/
;/Wrong type of arguments passed.
;/
;/Wrong type of arguments passed.
;/
;/Wrong type of arguments passed.
;/
;/Wrong type of arguments passed.
;/
;/Wrong type of arguments passed.
;/
;/Wrong type of arguments passed.
;=>("ADS request error" "ADS request error" "ADS request error" "ADS request error" "ADS request error" "ADS request error" "ADS request error" "ADS request error" "ADS request error")
