;; signString and verifyString against reference vectors made with the Windows key
;; blob layout: a 512-bit signature key's blobs and the signatures of three texts,
;; little-endian PKCS #1 v1.5 over MD5. Both directions: signing with the reference
;; private key gives the reference signature byte for byte, and the reference
;; signatures verify with the reference public key.
(setq pub "84,6,2,0,0,0,36,0,0,82,83,65,49,0,2,0,0,1,0,1,0,189,25,1,199,156,19,61,9,19,149,149,104,191,38,2,171,252,223,188,44,82,106,20,3,113,173,3,224,67,192,149,69,99,32,227,173,234,199,254,150,82,182,159,164,252,189,224,177,35,166,76,172,185,92,85,199,241,91,88,44,142,133,252,234")
(setq priv "308,7,2,0,0,0,36,0,0,82,83,65,50,0,2,0,0,1,0,1,0,189,25,1,199,156,19,61,9,19,149,149,104,191,38,2,171,252,223,188,44,82,106,20,3,113,173,3,224,67,192,149,69,99,32,227,173,234,199,254,150,82,182,159,164,252,189,224,177,35,166,76,172,185,92,85,199,241,91,88,44,142,133,252,234,225,13,135,54,2,92,101,130,57,29,81,13,186,139,136,125,150,222,93,103,103,248,224,240,133,128,228,22,165,4,68,250,93,239,124,73,103,148,169,201,69,131,107,164,86,202,53,194,14,250,162,172,77,230,30,156,72,166,140,120,69,225,94,240,65,195,117,219,56,149,6,69,118,70,228,150,49,28,15,138,73,249,135,102,90,103,3,190,90,247,141,30,24,193,49,145,105,209,37,70,101,18,62,111,230,127,98,60,246,175,114,86,3,107,185,178,135,156,152,166,233,88,152,150,124,223,91,228,0,108,239,72,173,185,33,55,223,248,2,51,6,240,80,179,207,44,37,99,40,233,69,134,220,123,55,58,70,232,46,168,1,211,63,115,71,45,29,12,210,221,69,17,16,121,132,200,18,103,71,174,159,181,210,122,192,223,227,233,168,180,119,3,12,86,147,88,173,69,253,235,150,108,49,239,219,205,118,40,139,143,108,68,211,152,180,8,20,126,240,165,242,83,70,6")
(setq sig-abc "64,78,90,119,157,5,224,166,248,232,235,144,60,98,169,38,117,39,153,94,20,64,34,248,193,82,147,35,123,86,96,86,66,63,95,163,245,223,31,139,5,223,150,35,233,32,202,224,245,22,7,42,127,152,25,192,179,26,151,156,16,36,119,155,202")
(setq sig-hello "64,120,66,209,143,202,106,177,122,210,201,58,6,50,180,133,251,226,213,185,57,103,24,2,241,210,162,158,154,170,36,150,99,195,81,94,54,169,4,117,11,116,122,115,183,156,170,208,187,89,107,13,140,85,215,70,102,214,124,88,221,240,173,109,20")
(setq sig-empty "64,58,166,157,27,249,132,52,184,120,159,131,189,80,78,182,223,157,86,172,101,177,51,217,103,60,112,27,71,212,239,223,5,107,234,42,70,9,12,123,97,85,79,100,166,109,228,151,186,57,239,5,222,132,48,36,33,160,146,242,181,164,167,236,9")
;; Signing with the reference key reproduces the blobs and the signatures.
(setq r (signString "abc" priv))
(equal r (list (cons "sPublicKey" pub) (cons "sPrivateKey" priv) (cons "sSign" sig-abc)))
;=>T
(equal (cdr (assoc "sSign" (signString "Hello" priv))) sig-hello)
;=>T
(equal (cdr (assoc "sSign" (signString "" priv))) sig-empty)
;=>T
;; The reference signatures verify; a changed text, a swapped signature and a
;; signature in big-endian order do not.
(verifyString "abc" pub sig-abc)
;=>T
(verifyString "Hello" pub sig-hello)
;=>T
(verifyString "" pub sig-empty)
;=>T
(verifyString "abd" pub sig-abc)
;=>nil
(verifyString "Hello" pub sig-abc)
;=>nil
(defun split (text / out at) (while (setq at (vl-string-search "," text)) (setq out (cons (atoi (substr text 1 at)) out) text (substr text (+ at 2)))) (reverse (cons (atoi text) out)))
(defun join (numbers / text) (setq text (itoa (car numbers))) (foreach n (cdr numbers) (setq text (strcat text "," (itoa n)))) text)
(setq bytes (split sig-abc))
(verifyString "abc" pub (join (cons (car bytes) (reverse (cdr bytes)))))
;=>nil
;; A new key pair: 1024 bits, as the providers make by default; its signature
;; verifies, and the private key signs again to the same signature.
(setq fresh (signString "Tabrik"))
(substr (cdr (assoc "sPublicKey" fresh)) 1 42)
;=>"148,6,2,0,0,0,36,0,0,82,83,65,49,0,4,0,0,1"
(substr (cdr (assoc "sPrivateKey" fresh)) 1 42)
;=>"596,7,2,0,0,0,36,0,0,82,83,65,50,0,4,0,0,1"
(substr (cdr (assoc "sSign" fresh)) 1 4)
;=>"128,"
(verifyString "Tabrik" (cdr (assoc "sPublicKey" fresh)) (cdr (assoc "sSign" fresh)))
;=>T
(equal (cdr (assoc "sSign" (signString "Tabrik" (cdr (assoc "sPrivateKey" fresh)))))
       (cdr (assoc "sSign" fresh)))
;=>T
;; Characters above 255 sign as 255.
(equal (cdr (assoc "sSign" (signString (strcat "a" (chr 1000)) priv)))
       (cdr (assoc "sSign" (signString (strcat "a" (chr 255)) priv))))
;=>T
;; Key texts that are not keys: nil, no message.
(signString "abc" "3,1,2")
;=>nil
(signString "abc" "5,1,2")
;=>nil
(signString "abc" "x,y")
;=>nil
(verifyString "abc" "84,6,2" sig-abc)
;=>nil
(verifyString "abc" pub "64,1,2")
;=>nil
(verifyString "abc" pub "")
;=>nil
(verifyString "abc" priv sig-abc)
;=>T
;; Wrong arguments.
(signString 5)
;/
;/Wrong type of arguments passed.
;!ADS request error
(verifyString "abc" pub)
;/
;/Wrong type of arguments passed.
;!ADS request error
