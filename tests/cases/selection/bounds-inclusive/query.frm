Epoch=2000
Minimal ascension= 10:00:00
Maximal ascension= 14:00:00
Minimal declination=-10:00:00
Maximal declination=+10:00:00
Minimal redshift= 1
Maximal redshift= 2
