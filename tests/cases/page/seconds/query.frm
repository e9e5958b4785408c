Epoch=2000
Minimal ascension= 01:02:30.9
Maximal ascension= 23:59:59.99
Minimal declination=-00:00:59.9
Maximal declination=+89:59:59.99
Minimal redshift= 0
Maximal redshift= 10
