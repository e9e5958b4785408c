Epoch=2000
Minimal ascension= 13:04:50
Maximal ascension= 13:05:10
Minimal declination=+24:25:00
Maximal declination=+24:35:00
Minimal redshift= 0.5
Maximal redshift= 3
