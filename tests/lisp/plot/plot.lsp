;; Pictures of the active drawing from a script: host:plot writes PNG, SVG and PDF by
;; the name's extension, plots a window when given two corners, and says why when it
;; cannot.
(foreach name '("p.png" "p.svg" "p.pdf" "w.svg") (vl-file-delete name))
(entmake '((0 . "LINE") (10 0.0 0.0 0.0) (11 100.0 50.0 0.0) (62 . 1)))
(entmake '((0 . "CIRCLE") (10 50.0 25.0 0.0) (40 . 10.0)))
(mapcar '(lambda (name) (host:plot name 200)) '("p.png" "p.svg" "p.pdf"))
;=>(T T T)
(mapcar 'findfile '("p.png" "p.svg" "p.pdf"))
;=>("p.png" "p.svg" "p.pdf")
;; A PNG starts with its signature.
(progn (setq f (open "p.png" "r")) (setq first-line (read-line f)) (close f) (wcmatch first-line "*PNG*"))
;=>T
;; A window around the circle only: the picture is square.
(host:plot "w.svg" 100 '(40 15) '(60 35))
;=>T
(progn (setq f (open "w.svg" "r")) (read-line f) (setq header (read-line f)) (close f) (wcmatch header "*width=\"100pt\" height=\"100pt\"*"))
;=>T
(host:plot "p.bmp")
;/
;/; plot: the picture's name must end in .png, .svg or .pdf: p.bmp
;=>nil
(host:plot "w.svg" 100 '(1 1) '(1 5))
;/
;/; plot: the window has no size
;=>nil
(host:plot "/no-such-folder/p.png")
;/
;/; plot: cannot write /no-such-folder/p.png: No such file or directory
;=>nil
(host:plot "p.svg" 100 '(1 1))
;!too few arguments
;; Settings as an association list, in the width's place or after the window. Seen from
;; the south-west the line runs up the page, taller than wide: an upright A4 sheet.
(vl-file-delete "s.svg")
(host:plot "s.svg" '(("paper" . "A4") ("view" . "SW")))
;=>T
(progn (setq f (open "s.svg" "r")) (read-line f) (setq header (read-line f)) (close f) (wcmatch header "*width=\"595pt\" height=\"842pt\"*"))
;=>T
(host:plot "s.svg" 100 '(40 15) '(60 35) '(("scale" . 2) ("dpi" . 96)))
;=>T
(host:plot "s.svg" '(("view" . "up")))
;/
;/; plot: unknown view up (top, sw, se, ne or nw)
;=>nil
(host:plot "s.svg" '(("colour" . 1)))
;/
;/; plot: unknown setting colour (paper, scale, view, layout, dpi or width)
;=>nil
(host:plot "s.svg" '(("dpi" . "high")))
;/
;/; plot: the dpi must be a whole number
;=>nil
(host:plot "s.svg" '(("scale" . "1:0")))
;/
;/; plot: the scale must be like 1:50 or a positive number, not 1:0
;=>nil
(host:plot "s.svg" 100 '(1 1) '(2 2) '(("paper" . "A4")) 5)
;!too many arguments
;; Paper space without viewports: the blank sheet of an empty layout.
(host:plot "s.svg" '(("layout" . T)))
;=>T
;; A viewport in paper space, through a DXF file and back: the layout's picture draws the
;; model through it, clipped to its frame.
(entmake '((0 . "VIEWPORT") (67 . 1) (10 100.0 100.0 0.0) (40 . 100.0) (41 . 50.0) (12 50.0 25.0) (45 . 20.0) (69 . 2)))
(host:save-as "layout.dxf")
;=>T
(host:open-drawing "layout.dxf")
;=>"layout.dxf"
(vl-file-delete "l.svg")
(host:plot "l.svg" 200 '(("layout" . T)))
;=>T
(progn (setq f (open "l.svg" "r") clipped nil) (while (setq l (read-line f)) (if (wcmatch l "*<clipPath*") (setq clipped T))) (close f) clipped)
;=>T
