Epoch=2000
Minimal ascension= 00:00:00
Maximal ascension= 24:00:00
Minimal declination=-10:20:30
Maximal declination=-00:30:00
Minimal redshift= -inf
Maximal redshift= 5
