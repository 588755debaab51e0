;; Folders and files: creation and removal, copy, copy-if-newer, move, delete and the
;; directory listing, with both separators and names beyond the Basic Multilingual
;; Plane. The scenario runs in a working folder of its own.
(defun put (path text / f) (setq f (open path "w")) (write-line text f) (close f) path)
(defun slurp (path / f line) (setq f (open path "r") line (read-line f)) (close f) line)
;; The working folder outlives a run: start from a clean one, emptied with the
;; functions under test themselves.
(defun wipe (dir)
  (foreach n (tb_fdir (strcat dir "/*"))
    (if (and (not (member n '("." ".."))) (not (tb_fdelete (strcat dir "/" n))))
      (wipe (strcat dir "/" n))))
  (tb_rmdir dir))
(wipe "work")
;; tb_mkdir: one level only; an existing folder and a missing parent fail.
(tb_mkdir "work")
;=>T
(tb_mkdir "work")
;=>nil
(tb_mkdir "missing\\child")
;=>nil
(tb_mkdir "work\\sub")
;=>T
(tb_mkdir 12)
;/
;/Wrong type of arguments passed.
;!ADS request error
(tb_mkdir)
;/
;/Wrong type of arguments passed.
;!ADS request error
;; A folder path that runs through a file fails.
(put "work/plain.txt" "plain")
(tb_mkdir "work\\plain.txt\\inner")
;=>nil
;; tb_fcopy overwrites, keeps the source and refuses folders and missing sources.
(put "work/a.txt" "alpha")
(tb_fcopy "work\\a.txt" "work/b.txt")
;=>T
(slurp "work/b.txt")
;=>"alpha"
(put "work/a.txt" "again")
(tb_fcopy "work/a.txt" "work\\b.txt")
;=>T
(slurp "work/b.txt")
;=>"again"
(tb_fcopy "work/none.txt" "work/c.txt")
;=>nil
(findfile "work/c.txt")
;=>nil
(tb_fcopy "work/a.txt" "work/sub")
;=>nil
(tb_fcopy "work/a.txt" "nowhere/a.txt")
;=>nil
(tb_fcopy "work/a.txt")
;=>nil
(tb_fcopy 1 2)
;=>nil
;; A failed copy leaves nothing behind in the destination folder, not even a temporary.
(tb_fdir "nowhere/*")
;=>nil
(tb_fdir "work/sub/*")
;=>("." "..")
;; tb_fmove renames, never overwrites, and moves folders.
(tb_fmove "work/b.txt" "work/moved.txt")
;=>T
(findfile "work/b.txt")
;=>nil
(tb_fmove "work/a.txt" "work/moved.txt")
;=>nil
(slurp "work/a.txt")
;=>"again"
(tb_fmove "work\\sub" "work\\sub2")
;=>T
(tb_fmove "work/none.txt" "work/x.txt")
;=>nil
(tb_fmove "work/a.txt")
;/
;/Wrong type of arguments passed.
;!ADS request error
;; tb_fdir: names only, folders and the dot entries included, any letter case.
(tb_fdir "work\\*.TXT")
;=>("a.txt" "moved.txt" "plain.txt")
(tb_fdir "work/*")
;=>("." ".." "a.txt" "moved.txt" "plain.txt" "sub2")
(tb_fdir "work/*.*")
;=>("." ".." "a.txt" "moved.txt" "plain.txt" "sub2")
(tb_fdir "work/sub2")
;=>("sub2")
(tb_fdir "work/?.txt")
;=>("a.txt")
(tb_fdir "work/*.doc")
;=>nil
(tb_fdir "work/")
;=>nil
(tb_fdir nil)
;=>nil
;; tb_fdelete: files only.
(tb_fdelete "work/moved.txt")
;=>T
(tb_fdelete "work/moved.txt")
;=>nil
(tb_fdelete "work/sub2")
;=>nil
(tb_fdelete 3)
;=>nil
;; tb_rmdir: empty folders only.
(tb_rmdir "work")
;=>nil
(tb_rmdir "work/a.txt")
;=>nil
(tb_rmdir "work/sub2")
;=>T
(tb_rmdir "work/sub2")
;=>nil
(tb_rmdir nil)
;/
;/Wrong type of arguments passed.
;!ADS request error
;; Names beyond the Basic Multilingual Plane, and accented ones, are kept on disk as
;; they are written.
(setq odd "work/𝄞-é.txt")
(put "work/src.txt" "music")
(tb_fcopy "work/src.txt" odd)
;=>T
(equal (tb_fdir "work/*-*.txt") (list (substr odd 6)))
;=>T
(tb_fmove odd (strcat odd "2"))
;=>T
(tb_fdelete (strcat odd "2"))
;=>T
(tb_mkdir (strcat "work/" (chr 128512)))
;=>T
(tb_rmdir (strcat "work\\" (chr 128512)))
;=>T
;; A name too long for the file system fails without harm.
(setq long "work/")
(repeat 300 (setq long (strcat long "x")))
(tb_mkdir long)
;=>nil
(tb_fcopy "work/a.txt" long)
;=>nil
