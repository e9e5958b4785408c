mkdir style.var
