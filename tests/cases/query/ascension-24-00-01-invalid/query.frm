Epoch=2000
Minimal ascension= 10:00:00
Maximal ascension= 24:00:01
Minimal declination=-10:00:00
Maximal declination=+45:30:00
Minimal redshift= 0.5
Maximal redshift= 3
