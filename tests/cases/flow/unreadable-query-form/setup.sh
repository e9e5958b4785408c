chmod 0777 .
chmod 0000 query.frm
