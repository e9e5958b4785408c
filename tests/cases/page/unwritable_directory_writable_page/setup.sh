# Only root may write in the directory, but anyone may write the earlier page.
chmod 0755 .
chmod 0644 query.frm style.var CG2000.dat
chmod 0666 results.html
