# The page must be creatable by the unprivileged user.
chmod 0777 .
chmod 0444 query.frm style.var CG2000.dat
