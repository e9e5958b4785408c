# The directory belongs to root and only root may write in it; the inputs are readable.
chmod 0755 .
chmod 0644 query.frm style.var CG2000.dat
