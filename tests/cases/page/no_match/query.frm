Epoch=2000
Minimal ascension= 15:00:00
Maximal ascension= 16:00:00
Minimal declination=+50:00:00
Maximal declination=+60:00:00
Minimal redshift= 0
Maximal redshift= 1
