chmod 0777 .
chmod 0000 CG2000.dat
