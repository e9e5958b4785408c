# A catalogue whose first line has 10 MB of text without "$" right after its seconds:
# every stop search gives up after 1001 characters, the text field takes the rest.
{
    printf '1$2$3'
    head -c 10485760 /dev/zero | tr '\0' 'x'
    printf '$4$5$6$7$id$ref$\n'
    printf '12$00$00$+10$00$00$1.5$XYZ 9$Jones 1999$\n'
} > CG2000.dat
