;; The registry file: vl-registry-* and RegEnumKey share it. The scenario starts from
;; an empty registry.
(tb_fdelete (host:registry-file))
(vl-registry-write "HKEY_CURRENT_USER\\Software\\Norvane Software\\Shared" "Name" "Ann")
;=>"Ann"
(vl-registry-write "HKEY_CURRENT_USER\\Software\\Norvane Software\\HVAC" "Units" 2)
;=>2
(vl-registry-write "HKEY_CURRENT_USER\\Software\\Norvane Software\\electrical")
;=>""
(vl-registry-write "HKEY_CURRENT_USER\\Software\\Norvane Software\\Plumbing" nil "default")
;=>"default"
(vl-registry-read "HKEY_CURRENT_USER\\Software\\Norvane Software\\Shared" "Name")
;=>"Ann"
(vl-registry-read "hkey_current_user\\SOFTWARE\\norvane software\\shared" "NAME")
;=>"Ann"
(vl-registry-read "HKEY_CURRENT_USER\\Software\\Norvane Software\\HVAC" "Units")
;=>2
(vl-registry-read "HKEY_CURRENT_USER\\Software\\Norvane Software\\Plumbing")
;=>"default"
(vl-registry-read "HKEY_CURRENT_USER\\Software\\Norvane Software\\Shared" "Missing")
;=>nil
(vl-registry-read "HKEY_CURRENT_USER\\Software\\Nobody" "Name")
;=>nil
(vl-registry-read "HKEY_NOWHERE\\Software" "Name")
;=>nil
;; Subkeys enumerate by name regardless of case, in every call alike.
(vl-registry-descendents "HKEY_CURRENT_USER\\Software\\Norvane Software")
;=>("electrical" "HVAC" "Plumbing" "Shared")
(vl-registry-descendents "HKEY_CURRENT_USER\\Software\\Norvane Software\\Shared" T)
;=>("Name")
(RegEnumKey "HKEY_CURRENT_USER\\Software\\Norvane Software")
;=>("electrical" "HVAC" "Plumbing" "Shared")
;; Doubled and trailing backslashes name the same key.
(RegEnumKey "HKEY_CURRENT_USER\\\\Software\\\\Norvane Software\\\\")
;=>("electrical" "HVAC" "Plumbing" "Shared")
(RegEnumKey "\\HKEY_CURRENT_USER\\Software")
;=>("Norvane Software")
;; Root names are exact; a key without subkeys and a missing key give nil.
(RegEnumKey "hkey_current_user\\Software")
;=>nil
(RegEnumKey "HKEY_CURRENT_USER\\Software\\Norvane Software\\Shared")
;=>nil
(RegEnumKey "HKEY_CURRENT_USER\\Software\\Nobody")
;=>nil
(RegEnumKey "")
;=>nil
(RegEnumKey 5)
;=>nil
(member "Software" (RegEnumKey "HKEY_CURRENT_USER"))
;=>("Software")
;; Values can be replaced, keep their type, and deleted; keys with subkeys stay.
(vl-registry-write "HKEY_CURRENT_USER\\Software\\Norvane Software\\Shared" "Name" "Bob")
;=>"Bob"
(vl-registry-read "HKEY_CURRENT_USER\\Software\\Norvane Software\\Shared" "Name")
;=>"Bob"
(vl-registry-write "HKEY_CURRENT_USER\\Software\\Norvane Software\\Shared" "Quote" "a \"b\"\\c\nd")
(vl-registry-read "HKEY_CURRENT_USER\\Software\\Norvane Software\\Shared" "Quote")
;=>"a \"b\"\\c\nd"
(vl-registry-delete "HKEY_CURRENT_USER\\Software\\Norvane Software\\Shared" "Name")
;=>T
(vl-registry-delete "HKEY_CURRENT_USER\\Software\\Norvane Software\\Shared" "Name")
;=>nil
(vl-registry-delete "HKEY_CURRENT_USER\\Software\\Norvane Software")
;=>nil
(vl-registry-delete "HKEY_CURRENT_USER\\Software\\Norvane Software\\electrical")
;=>T
(RegEnumKey "HKEY_CURRENT_USER\\Software\\Norvane Software")
;=>("HVAC" "Plumbing" "Shared")
