Epoch=2000
Minimal ascension= 10:00:00
Maximal ascension= 14:30:00
Minimal declination=-05:00:00
Maximal declination=+45:30:00
Minimal redshift= 0.5
Maximal redshift= 3
