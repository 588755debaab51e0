;; tb_message_box builds its style from keywords and answers with the pressed button;
;; the answers come from the answer queue. tb_beep and tb_message_beep go to the host.
;; A button keyword sets the whole style: icons named before it are lost.
(host:answer "YES")
(tb_message_box "Title" "Go on?" "YESNO" "?")
;=>"YES"
(tb_message_box "Title" "Go on?" "?" "YESNO")
;=>"YES"
(host:message-boxes)
;=>(("Title" "Go on?" 36) ("Title" "Go on?" 4))
;; The options may come in one list; reading stops at the first one not a string.
(host:answer "RETRY")
(tb_message_box "C" "T" '("ABORT" "!" "DEF2"))
;=>"RETRY"
(tb_message_box "C" "T" "OKCANCEL" 5 "STOP")
;=>"OK"
(tb_message_box "C" "T" "YESNOCANCEL" "DEF3" "i" "nonsense")
;=>"CANCEL"
(tb_message_box "C" "T" "RETRYCANCEL" "DEF1" "STOP")
;=>"RETRY"
(tb_message_box "C" "T")
;=>"OK"
(host:message-boxes)
;=>(("C" "T" 306) ("C" "T" 1) ("C" "T" 579) ("C" "T" 21) ("C" "T" 0))
;; The close box answers CANCEL where the box has a Cancel button, OK on an OK box.
(host:answer "*close*" "*close*" "NO" "IGNORE")
(tb_message_box "C" "T" "OKCANCEL")
;=>"CANCEL"
(tb_message_box "C" "T" "OK")
;=>"OK"
(tb_message_box "C" "T" "YESNO")
;=>"NO"
(tb_message_box "C" "T" "ABORT")
;=>"IGNORE"
(host:message-boxes)
(tb_message_box "C")
;/
;/Wrong type of arguments passed.
;!ADS request error
(tb_message_box 1 "T")
;/
;/Wrong type of arguments passed.
;!ADS request error
(host:message-boxes)
;=>nil
;; Beeps: the simple beep is 0xFFFFFFFF, which the record shows as -1.
(tb_beep)
;=>T
(tb_message_beep "?")
;=>T
(tb_message_beep "*")
;=>T
(tb_message_beep "HAND")
;=>T
(tb_message_beep "!")
;=>T
(tb_message_beep "OK")
;=>T
(tb_message_beep "hand")
;=>T
(tb_message_beep "")
;=>T
(tb_message_beep)
;=>nil
(tb_message_beep 16)
;=>nil
(host:beeps)
;=>(-1 32 64 16 48 0 -1 -1)
(host:beeps)
;=>nil
