# Four hundred thousand records: far more than the memory run.sh allows.
yes '11$00$00$+01$00$00$1.0$ A $r$' | head -n 400000 > CG2000.dat
