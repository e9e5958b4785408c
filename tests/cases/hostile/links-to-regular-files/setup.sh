# The three inputs live in a subfolder; the working directory holds links to them, the
# catalogue through a chain of two links.
mkdir real
mv query.frm style.var CG2000.dat real/
ln -s real/query.frm query.frm
ln -s real/style.var style.var
ln -s real/CG2000.dat catalogue-link
ln -s catalogue-link CG2000.dat
