Epoch=2000
Minimal ascension= 12:00:00
Maximal ascension= 10:00:00
Minimal declination=*10:00:00
Maximal declination=?05:00:00
Minimal redshift= 2
Maximal redshift= 1
