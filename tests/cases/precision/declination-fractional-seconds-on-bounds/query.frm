Epoch=2000
Minimal ascension= 00:00:00
Maximal ascension= 24:00:00
Minimal declination=-45:12:34.567
Maximal declination=+07:08:09.123
Minimal redshift= 0
Maximal redshift= 10
