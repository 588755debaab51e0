;; Drawings saved and opened as DXF files; the file name follows the save.
(host:save-as "saved.dxf")
;=>T
(host:documents)
;=>("saved.dxf")
(getvar "DWGNAME")
;=>"saved.dxf"
(host:open-drawing "no-such-drawing.dxf")
;=>nil
(host:new-drawing)
;=>"Drawing1.dwg"
(setvar "DIMSCALE" 48)
;=>48
(host:save-as "scaled.dxf")
;=>T
(host:close-drawing)
;=>T
(host:open-drawing "scaled.dxf")
;=>"scaled.dxf"
;; The drawing keeps its leader scale through the file.
(getvar "DIMSCALE")
;=>48.0
(host:documents)
;=>("saved.dxf" "scaled.dxf")
(host:save-as 7)
;!bad argument type: stringp 7
