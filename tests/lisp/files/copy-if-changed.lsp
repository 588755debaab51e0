;; tb_fcopyIfChanged copies only a source whose last write is strictly later, in whole
;; seconds, than the destination's. old.txt beside this file was written when the tree
;; was checked out, long before this scenario runs; tb_fcopy keeps a file's time.
(defun put (path text / f) (setq f (open path "w")) (write-line text f) (close f) path)
(defun slurp (path / f line) (setq f (open path "r") line (read-line f)) (close f) line)
;; The working folder outlives a run: start from a clean one, emptied with the
;; functions under test themselves.
(defun wipe (dir)
  (foreach n (tb_fdir (strcat dir "/*"))
    (if (and (not (member n '("." ".."))) (not (tb_fdelete (strcat dir "/" n))))
      (wipe (strcat dir "/" n))))
  (tb_rmdir dir))
(wipe "folder")
(tb_fdelete "absent.txt")
(setq old (findfile "old.txt"))
;; A copy carries the source's time: equal times copy nothing.
(tb_fcopy old "dest.txt")
;=>T
(tb_fcopyIfChanged old "dest.txt")
;=>nil
;; A newer source replaces an older destination.
(put "new.txt" "fresh")
(tb_fcopyIfChanged "new.txt" "dest.txt")
;=>T
(slurp "dest.txt")
;=>"fresh"
;; Now the two have the same time again.
(tb_fcopyIfChanged "new.txt" "dest.txt")
;=>nil
;; An older source leaves a newer destination alone.
(put "dest2.txt" "mine")
(tb_fcopyIfChanged old "dest2.txt")
;=>nil
(slurp "dest2.txt")
;=>"mine"
;; A destination that does not exist yet is not created; nor is a missing source
;; copied; a folder cannot be opened as a file.
(tb_fcopyIfChanged "new.txt" "absent.txt")
;=>nil
(findfile "absent.txt")
;=>nil
(tb_fcopyIfChanged "nothing.txt" "dest.txt")
;=>nil
(tb_mkdir "folder")
;=>T
(tb_fcopyIfChanged "new.txt" "folder")
;=>nil
(tb_fcopyIfChanged "new.txt")
;=>nil
(tb_fcopyIfChanged 12 "dest.txt")
;=>nil
