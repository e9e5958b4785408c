Epoch=2000
Minimal ascension= 00:00:00
Maximal ascension= 01:00:00
Minimal declination=-01:00:00
Maximal declination=+01:00:00
Minimal redshift= 0
Maximal redshift= 1
