Epoch=2000
Minimal ascension= 00:00:00
Maximal ascension= 24:00:00
Minimal declination=-00:30:15.25
Maximal declination=-00:00:00
Minimal redshift= 0
Maximal redshift= 10
