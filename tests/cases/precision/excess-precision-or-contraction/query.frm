Epoch=2000
Minimal ascension= 1.6:33.2:59
Maximal ascension= 1.6:33.2:59
Minimal declination=-4.4:41.6:39.5
Maximal declination=-4.4:41.6:39.5
Minimal redshift= 0
Maximal redshift= 10
