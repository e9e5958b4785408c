Epoch=2000
Minimal ascension= 02:00:00
Maximal ascension= 20:00:00
Minimal declination=-30:00:00
Maximal declination=+60:00:00
Minimal redshift= 0.1
Maximal redshift= 123456789
