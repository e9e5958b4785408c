ln -s no-such-style.var style.var
ln -s no-such-catalogue.dat CG2000.dat
