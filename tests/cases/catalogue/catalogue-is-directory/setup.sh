mkdir CG2000.dat
