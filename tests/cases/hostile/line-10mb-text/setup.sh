# A catalogue whose second line is 10 MB long: its identification field alone.
{
    printf '10$20$30.5$-05$30$00$2.345$ ABC 123 $Smith et al. 2001$\n'
    printf '11$00$00$+01$00$00$1.0$'
    head -c 10485760 /dev/zero | tr '\0' 'x'
    printf '$the reference after it$\n'
    printf '12$00$00$+10$00$00$1.5$XYZ 9$Jones 1999$\n'
} > CG2000.dat
