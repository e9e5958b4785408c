chmod 0777 .
chmod 0000 style.var
