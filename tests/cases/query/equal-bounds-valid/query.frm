Epoch=2000
Minimal ascension= 10:20:30.5
Maximal ascension= 10:20:30.5
Minimal declination=-05:30:00
Maximal declination=-05:30:00
Minimal redshift= 2.345
Maximal redshift= 2.345
