# Read as files, /dev/null would pass for an empty style file and /dev/zero would never end.
ln -s /dev/null style.var
ln -s /dev/zero CG2000.dat
