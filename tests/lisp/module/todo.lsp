;; The to-do drawing name is one module-wide string; nv_nv-executeToDo sends an
;; expression to another open drawing.
(nv_nv-getToDoDrawing)
;=>""
(nv_nv-setToDoDrawing "C:\\Jobs\\Plan A.dwg")
;=>nil
(nv_nv-getToDoDrawing)
;=>"C:\\Jobs\\Plan A.dwg"
(nv_nv-setToDoDrawing 5)
;/
;/Wrong type of arguments passed.
;!ADS request error
(nv_nv-setToDoDrawing)
;/
;/Wrong type of arguments passed.
;!ADS request error
(nv_nv-getToDoDrawing)
;=>"C:\\Jobs\\Plan A.dwg"
(host:new-drawing)
;=>"Drawing2.dwg"
(nv_nv-getToDoDrawing)
;=>"C:\\Jobs\\Plan A.dwg"
(nv_nv-executeToDo "Drawing3.dwg" "(setq sent 1)")
;=>0
(nv_nv-executeToDo "Drawing1.dwg")
;/
;/Wrong type of arguments passed.
;!ADS request error
(host:set-quiescent "Drawing1.dwg" nil)
(nv_nv-executeToDo "Drawing1.dwg" "(setq sent 1)")
;=>-1
(host:set-quiescent "Drawing1.dwg" T)
(nv_nv-executeToDo "dRAWING1.DWG" "(setq sent (list 1 2))")
;=>1
;; Nothing runs before the current evaluation returns and the host is idle.
(host:activate "Drawing1.dwg")
;=>T
sent
;=>nil
(host:idle)
;=>nil
sent
;=>(1 2)
(host:close-drawing "Drawing2.dwg")
;=>T
(nv_nv-getToDoDrawing)
;=>"C:\\Jobs\\Plan A.dwg"
