;; EditUserOptions: the settings grid read from and written to the registry, by
;; product and edition, worked by dialog scripts.
(setq *shared* "HKEY_CURRENT_USER\\Software\\Norvane Software\\Shared")
(defun setting (subkey name)
  (vl-registry-read (strcat "HKEY_CURRENT_USER\\Software\\Norvane Software\\" subkey) name))
(defun grid-rows () (cdddr (car (car (cadddr (last (host:dialogs)))))))
(defun titles (rows) (mapcar 'car rows))
;; The registry file outlives a run: start without any setting.
(foreach subkey '("Shared" "Electrical" "HVAC" "Plumbing")
  (vl-registry-delete (strcat "HKEY_CURRENT_USER\\Software\\Norvane Software\\" subkey)))
(vl-registry-descendents "HKEY_CURRENT_USER\\Software\\Norvane Software")
;=>nil
;; Nothing stored yet: every yes/no setting shows "Yes"; OK stores the digit 1 for
;; each and empty texts for the user's details.
(host:answer '(("dump") ("press" "OK")))
(EditUserOptions "HVAC")
;=>nil
(setq rows (grid-rows))
(assoc "Save support emails to the desktop (set to \"Yes\" if sending fails or crashes)" rows)
;=>("Save support emails to the desktop (set to \"Yes\" if sending fails or crashes)" "Yes" "Shared" "bSendToDesktop2" "-1")
(assoc "Email" rows)
;=>("Email" "" "Shared" "Email" "0")
(assoc "HVAC" rows)
;=>("HVAC" "" "" "" "")
(mapcar '(lambda (n) (setting "Shared" n)) '("Name" "Email" "Phone" "bSendToDesktop2" "bZoomToSchedule" "bAutoUpdateDrawings"))
;=>("" "" "" "1" "1" "1")
(setting "HVAC" "bUpdateAlert")
;=>"1"
;; Edits are stored on OK: text as typed, "No" as the digit 0.
(host:answer '(("cell" "Name" "Email" "Value" "ann@example.org")
               ("cell" "Name" "Zoom to schedule after insertion" "Value" "No")
               ("cell" "Name" "Alert me when updates are available" "Value" "No")
               ("press" "OK")))
(EditUserOptions "PLUMB")
;=>nil
(list (setting "Shared" "Email") (setting "Shared" "bZoomToSchedule") (setting "Plumbing" "bUpdateAlert") (setting "HVAC" "bUpdateAlert"))
;=>("ann@example.org" "0" "0" "1")
;; A stored 0 shows "No"; Cancel writes nothing.
(host:answer '(("cell" "Name" "Email" "Value" "other@example.org") ("dump") ("press" "Cancel")))
(EditUserOptions "PLUMB")
;=>nil
(cadr (assoc "Zoom to schedule after insertion" (grid-rows)))
;=>"No"
(setting "Shared" "Email")
;=>"ann@example.org"
;; The support report dialog proposes the address stored here.
(host:answer '(("dump")))
(nv_nv-submitBug 1 "" "" "")
;=>nil
(vl-remove-if-not '(lambda (e) (member (cadr e) '("Email Address (required):" "Re-enter Email Address:")))
                  (car (cadddr (car (host:dialogs)))))
;=>(("edit" "Email Address (required):" "ann@example.org") ("edit" "Re-enter Email Address:" "ann@example.org"))
;; Which rows show, by product and edition.
(defun shown (product variant)
  (host:answer '(("dump")))
  (if variant (EditUserOptions product variant) (EditUserOptions product))
  (titles (grid-rows)))
(setq common '("User Support Information" "Name" "Email" "Phone"
               "Save support emails to the desktop (set to \"Yes\" if sending fails or crashes)"
               "Drawing Options" "Zoom to schedule after insertion"))
(equal (shown "ELEC" nil)
       (append common '("Automatically open drawings that need to be updated" "Electrical"
                        "Alert me when updates are available"
                        "Warn if distribution equipment is overloaded"
                        "Recalculate illuminance levels after query")))
;=>T
(equal (shown "ELEC" "ELEC LITE")
       (append common '("Electrical" "Alert me when updates are available")))
;=>T
(equal (shown "PHOTO" "NOT ELEC")
       (append common '("Automatically open drawings that need to be updated" "Photometrics"
                        "Alert me when updates are available"
                        "Recalculate illuminance levels after query")))
;=>T
(equal (shown "CIVIL" nil)
       (append common '("Automatically open drawings that need to be updated")))
;=>T
;; The photometrics rows keep their values with the electrical product's.
(host:answer '(("cell" "Name" "Recalculate illuminance levels after query" "Value" "No") ("press" "OK")))
(EditUserOptions "PHOTO")
;=>nil
(setting "Electrical" "bRecalculatePhotoAfterQuery")
;=>"0"
;; A value that is not one of the choices is refused by the grid.
(host:answer '(("cell" "Name" "Zoom to schedule after insertion" "Value" "Maybe") ("press" "OK")))
(EditUserOptions "HVAC")
;/
;/; dialog script: the cell "Zoom to schedule after insertion" "Value" of "Name" has no option "Maybe"
;=>nil
(EditUserOptions)
;/
;/Wrong type of arguments passed.
;!ADS request error
(EditUserOptions 42)
;/
;/Wrong type of arguments passed.
;!ADS request error
