;; nv_nv-createLayer against the sample standards database: each layer row's colour,
;; linetype, plot flag and lineweight reach the new drawing layer under the rules for
;; null, empty and CONTINUOUS values; an existing layer is only unlocked (without the
;; database); a name the standards lack, or one the drawing refuses, creates nothing.
(vl-file-delete "create-layer.mdb")
(numberp (vl-file-copy (findfile "standards.mdb") "create-layer.mdb"))
;=>T
(tb_connect "create-layer.mdb")
;=>T
;; (colour linetype plottable lineweight) as the drawing's layer table holds them.
(defun layer-props (name / data)
  (if (setq data (entget (tblobjname "LAYER" name)))
    (list (cdr (assoc 62 data)) (cdr (assoc 6 data)) (if (assoc 290 data) (cdr (assoc 290 data)) 1)
          (cdr (assoc 370 data)))))
;; HIDDEN is in the drawing; DASHED is not, and must not be loaded by the layer.
(progn
  (entmake '((0 . "LTYPE") (100 . "AcDbSymbolTableRecord") (100 . "AcDbLinetypeTableRecord")
             (2 . "HIDDEN") (70 . 0) (3 . "Hidden __ __") (72 . 65) (73 . 0) (40 . 0.0)))
  T)
;=>T
(setq names '("M-DUCT-SUPP" "M-DUCT-RETN" "M-DUCT-EXHS" "M-DUCT-OUTS" "M-EQPM" "M-ANNO-NPLT"
              "G-ANNO-DIMS" "G-ANNO-LEAD" "X-SPARE" "P-DOMW-CWTR"))
(mapcar 'nv_nv-createLayer names)
;=>(T T T T T T T T T T)
;; Rows: Continuous and CONTINUOUS assign nothing; HIDDEN is found; DASHED is missing;
;; M-EQPM's true colour is ignored for its index 2; a null or empty lineweight keeps
;; the default (-3); "0" is the weight 0; a null colour keeps the layer's default 7.
(mapcar 'layer-props names)
;=>((4 "Continuous" 1 35) (3 "HIDDEN" 1 35) (6 "Continuous" 1 25) (5 "Continuous" 1 25) (2 "Continuous" 1 50) (8 "Continuous" 0 -3) (7 "Continuous" 1 -3) (7 "Continuous" 1 13) (9 "Continuous" 1 0) (140 "Continuous" 1 30))
(tblsearch "LTYPE" "DASHED")
;=>nil
;; The standards index finds a name in any letter case; the layer takes the name given.
(nv_nv-createLayer "e-lite-fixt")
;=>T
(list (cdr (assoc 2 (tblsearch "LAYER" "E-LITE-FIXT"))) (layer-props "E-LITE-FIXT"))
;=>("e-lite-fixt" (2 "Continuous" 1 35))
;; Not in the standards: nil, and no layer.
(list (nv_nv-createLayer "M-NOT-THERE") (tblsearch "LAYER" "M-NOT-THERE"))
;=>(nil nil)
;; A standards row whose name the drawing refuses as a layer name creates nothing.
(tb_command "INSERT INTO tblLayer (sName, iColor, sLinetype, bPlot) VALUES ('BAD<NAME', 1, 'Continuous', True)")
;=>1
(list (nv_nv-createLayer "BAD<NAME") (tblsearch "LAYER" "BAD<NAME"))
;=>(nil nil)
;; An existing locked layer is unlocked, with no database at all; its colour stays.
(progn
  (entmake '((0 . "LAYER") (100 . "AcDbSymbolTableRecord") (100 . "AcDbLayerTableRecord")
             (2 . "P-SANR-PIPE") (70 . 4) (62 . 5) (6 . "Continuous")))
  (cdr (assoc 70 (tblsearch "LAYER" "P-SANR-PIPE"))))
;=>4
(tb_close_db)
;=>nil
(nv_nv-createLayer "P-SANR-PIPE")
;=>T
(layer-props "P-SANR-PIPE")
;=>(5 "Continuous" 1 -3)
(cdr (assoc 70 (tblsearch "LAYER" "P-SANR-PIPE")))
;=>0
;; Without a connection a missing layer cannot be built.
(nv_nv-createLayer "M-DUCT-SUPP2")
;=>nil
;; A database without tblLayer: nil, and nothing printed.
(vl-file-delete "empty.mdb")
(tb_create_db "empty.mdb")
;=>T
(tb_connect "empty.mdb")
;=>T
(nv_nv-createLayer "P-SANR-PIPE2")
;=>nil
(tb_close_db)
;=>nil
;; Wrong arguments: anything but a string as the first is the wrong-type error.
(vl-catch-all-error-message (vl-catch-all-apply 'nv_nv-createLayer '(7)))
;/
;/Wrong type of arguments passed.
;=>"ADS request error"
(vl-catch-all-error-message (vl-catch-all-apply 'nv_nv-createLayer '(nil)))
;/
;/Wrong type of arguments passed.
;=>"ADS request error"
(vl-catch-all-error-message (vl-catch-all-apply 'nv_nv-createLayer nil))
;/
;/Wrong type of arguments passed.
;=>"ADS request error"
(nv_nv-createLayer "X-SPARE" "extra" 3)
;=>T
