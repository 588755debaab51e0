;; Unloading and loading the module again while the host runs: the functions go with
;; the module and come back in every open drawing, each drawing announcing the load.
(host:unload-module)
;=>T
(type tb_getVersion)
;=>nil
(host:load-module)
;/
;/Loading Norvane Tabrik (Direct)
;=>T
(tb_getVersion)
;=>-1
(host:new-drawing)
;/
;/Loading Norvane Tabrik (Direct)
;=>"Drawing2.dwg"
(nv_nv-setToDoDrawing "Drawing1.dwg")
;=>nil
(host:unload-module)
;=>T
(host:load-module)
;/
;/Loading Norvane Tabrik (Direct)
;/Loading Norvane Tabrik (Direct)
;=>T
(type nv::pow)
;=>EXRXSUBR
;; The to-do name belongs to the module's life: a new load starts without one.
(nv_nv-getToDoDrawing)
;=>""
(host:activate "Drawing1.dwg")
;=>T
(tb_connect)
;/
;/Wrong type of arguments passed.
;!ADS request error
