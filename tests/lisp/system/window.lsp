;; The host's main window, its watchdog timer, the progress meter and the small
;; system queries.
(GetSystemMetrics::SM_CXSCREEN)
;=>1920
(GetSystemMetrics::SM_CYSCREEN)
;=>1080
(setq name (GetComputerName))
(and (= (type name) 'STR) (<= 1 (strlen name) 15) (= name (strcase name)))
;=>T
(setq temp (GetTempPath))
(= (substr temp (strlen temp)) "/")
;=>T
;; Read-only: a missing file counts as read-only, a folder and a writable file do not.
(IsFileReadOnly "no-such-file.txt")
;=>T
(setq f (open "mine.txt" "w"))
(close f)
(IsFileReadOnly "mine.txt")
;=>nil
(IsFileReadOnly ".")
;=>nil
(IsFileReadOnly 1)
;/
;/Wrong type of arguments passed.
;!ADS request error
;; Network paths: UNC paths with either separator; local paths are not.
(mapcar 'PathIsNetworkPath '("\\\\server\\share\\a.dwg" "//server/share" "\\\\x" "C:\\local" "mine.txt" "/" "\\single"))
;=>(T T T nil nil nil nil)
(PathIsNetworkPath nil)
;/
;/Wrong type of arguments passed.
;!ADS request error
;; The window's title.
(nv_nv-getAcadWindowText)
;=>"Tabrik"
(nv_nv-setAcadWindowText "Job 12 - Tabrik")
;=>nil
(nv_nv-getAcadWindowText)
;=>"Job 12 - Tabrik"
(nv_nv-setAcadWindowText 12)
;=>nil
(nv_nv-getAcadWindowText)
;=>"Job 12 - Tabrik"
;; Enabled state.
(nv_nv-disableAutoCADWindow)
;=>nil
(host:window-enabled)
;=>nil
(nv_nv-enableAutoCADWindow)
;=>nil
(host:window-enabled)
;=>T
;; A short watchdog waits for the drawing to be idle, then enables the window and stops.
(nv_nv-disableAutoCADWindow)
(setq short (nv_nv-createJigTimer 500))
(host:set-quiescent "Drawing1.dwg" nil)
(host:idle)
(host:window-enabled)
;=>nil
(host:set-quiescent "Drawing1.dwg" T)
(host:idle)
(host:window-enabled)
;=>T
;; Stopped: a later idle time does not enable the window again.
(nv_nv-disableAutoCADWindow)
(host:idle)
(host:window-enabled)
;=>nil
;; A long one enables at its first tick whether or not the drawing is busy.
(host:set-quiescent "Drawing1.dwg" nil)
(setq long (nv_nv-createJigTimer 10000))
(/= long short)
;=>T
(host:idle)
(host:window-enabled)
;=>T
(host:set-quiescent "Drawing1.dwg" T)
;; A killed watchdog never fires; killing 0 or an unknown id does nothing.
(nv_nv-disableAutoCADWindow)
(setq killed (nv_nv-createJigTimer 20000))
(nv_nv-killJigTimer killed)
;=>nil
(nv_nv-killJigTimer 0)
;=>nil
(nv_nv-killJigTimer 4711)
;=>nil
(host:idle)
(host:window-enabled)
;=>nil
(nv_nv-enableAutoCADWindow)
(nv_nv-createJigTimer "500")
;/
;/Wrong type of arguments passed.
;!ADS request error
(nv_nv-killJigTimer)
;/
;/Wrong type of arguments passed.
;!ADS request error
;; The status bar's progress meter.
(host:progress-meter)
;=>nil
(acedSetStatusBarProgressMeter "Reading parts" 0 200)
;=>0
(host:progress-meter)
;=>("Reading parts" 0 200 0)
(acedSetStatusBarProgressMeterPos 50)
;=>0
(host:progress-meter)
;=>("Reading parts" 0 200 50)
(acedSetStatusBarProgressMeterPos 500)
;=>0
(acedSetStatusBarProgressMeterPos -5)
;=>0
(host:progress-meter)
;=>("Reading parts" 0 200 0)
(acedRestoreStatusBar)
;=>nil
(host:progress-meter)
;=>nil
(acedSetStatusBarProgressMeterPos 10)
;=>-1
(acedSetStatusBarProgressMeter "Backwards" 10 0)
;=>-1
(host:progress-meter)
;=>nil
(acedSetStatusBarProgressMeter "Reading" 0)
;/
;/Wrong type of arguments passed.
;!ADS request error
(acedSetStatusBarProgressMeterPos "1")
;/
;/Wrong type of arguments passed.
;!ADS request error
;; Draw order: a drawing whose model space has no draw-order table gives nil.
(setq line (entmakex '((0 . "LINE") (10 0.0 0.0 0.0) (11 1.0 1.0 0.0))))
(nv_nv-sendToBack line)
;=>nil
(nv_nv-sendToBack "line")
;/
;/Wrong type of arguments passed.
;!ADS request error
