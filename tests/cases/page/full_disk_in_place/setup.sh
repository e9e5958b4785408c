# 300 matching entries: the page runs to tens of kilobytes, more than the disk holds.
for i in $(seq 1 300); do
    printf '10$%02d$00$+10$00$00$1.5$ Galaxy number %03d $Somebody et al. %d$\n' $((i % 60)) $i $i
done > CG2000.dat

