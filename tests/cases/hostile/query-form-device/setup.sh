# Read as a file, /dev/zero would never end.
ln -s /dev/zero query.frm
