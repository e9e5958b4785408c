Epoch=2000
Minimal ascension= 12:00:00
Maximal ascension= 13:00:00
Minimal declination=+20:00:00
Maximal declination=+21:00:00
Minimal redshift= 0
Maximal redshift= 1
