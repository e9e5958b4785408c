Epoch=2000
Minimal ascension= 10:00:00
Maximal ascension= 14:30:00
