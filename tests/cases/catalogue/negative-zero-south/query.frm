Epoch=2000
Minimal ascension= 09:00:00
Maximal ascension= 11:00:00
Minimal declination=-01:00:00
Maximal declination=-00:10:00
Minimal redshift= 0
Maximal redshift= 2
