;; Host variables and the file search of the host.
(getvar "DIMSCALE")
;=>1.0
(setvar "DIMSCALE" 96.0)
;=>96.0
(getvar "DIMSCALE")
;=>96.0
(setvar "DIMSCALE" 0)
;!AutoCAD variable setting rejected: "DIMSCALE" 0
(getvar "ERRNO")
;=>0
(setvar "ERRNO" 7)
;=>7
(getvar "PICKBOX")
;=>0.1
(type (getvar "CDATE"))
;=>REAL
;; The scenario's own folder is the search path: the fixture beside it is found,
;; whichever separator the name uses.
(vl-filename-base (findfile "fixture.txt"))
;=>"fixture"
(vl-filename-base (findfile "sub\\nested.txt"))
;=>"nested"
(findfile "no-such-file.txt")
;=>nil
(host:set-search-path "/nonexistent-folder")
;=>T
(getvar "ACADPREFIX")
;=>"/nonexistent-folder"
(findfile "fixture.txt")
;=>nil
(setvar "ACADPREFIX" "")
;=>""
