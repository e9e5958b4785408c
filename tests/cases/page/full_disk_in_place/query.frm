Epoch=2000
Minimal ascension= 00:00:00
Maximal ascension= 24:00:00
Minimal declination=-90:00:00
Maximal declination=+90:00:00
Minimal redshift= 0
Maximal redshift= 10
