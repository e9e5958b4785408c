Epoch=2000
Minimal ascension= 12:34:56.789
Maximal ascension= 12:34:56.789
Minimal declination=-10:00:00
Maximal declination=+10:00:00
Minimal redshift= 0.5
Maximal redshift= 2.345
