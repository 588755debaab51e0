;; CreateCompressedGuidString: 22 characters of the IFC alphabet, the first 0 to 3,
;; different on every call.
(setq alphabet "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_$")
(defun valid (g / i ok)
  (setq ok (and (= (type g) 'STR) (= (strlen g) 22) (member (substr g 1 1) '("0" "1" "2" "3"))) i 1)
  (while (and ok (<= i 22))
    (setq ok (vl-string-search (substr g i 1) alphabet) i (1+ i)))
  (if ok T nil))
(setq seen nil all-valid T)
(repeat 200
  (setq g (CreateCompressedGuidString))
  (if (not (valid g)) (setq all-valid nil))
  (if (not (member g seen)) (setq seen (cons g seen))))
all-valid
;=>T
(length seen)
;=>200
;; Arguments are ignored.
(strlen (CreateCompressedGuidString 1 2))
;=>22
