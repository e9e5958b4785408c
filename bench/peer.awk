# peer.awk: the job galsift does, done the way an astronomer would do it with awk.
#
# Reads a catalogue (nine fields, each ended by "$"), keeps the entries inside the box,
# bounds included, comparing angles as sign * ((d*3600 + m*60) + s) seconds, and writes
# an HTML page whose table rows are byte for byte those galsift writes for the same entries
# with cell alignment "l" and no alternating colours; the count follows the table.
#
# Usage: mawk -f peer.awk -v ra_min=HH:MM:SS -v ra_max=HH:MM:SS \
#            -v dec_min=+DD:MM:SS -v dec_max=-DD:MM:SS -v z_min=Z -v z_max=Z CATALOGUE

# The signed angle in seconds of a bound written [sign]DD:MM:SS.
function bound(text,    part, sign, d) {
    split(text, part, ":")
    sign = substr(part[1], 1, 1) == "-" ? -1 : 1
    d = part[1] + 0
    if (d < 0) d = -d
    return sign * ((d * 3600 + part[2] * 60) + part[3])
}

BEGIN {
    FS = "$"
    ra_lo = bound(ra_min); ra_hi = bound(ra_max)
    dec_lo = bound(dec_min); dec_hi = bound(dec_max)
    z_lo = z_min + 0; z_hi = z_max + 0
    cell = "  <td align=\"left\">\n"
    printf "<html>\n<body>\n<table border=\"1\">\n<tr>\n"
    printf "  <th>RA</th><th>Dec</th><th>z</th><th>Identification</th><th>Reference</th>\n</tr>\n"
}

{
    sign = substr($4, 1, 1) == "-" ? -1 : 1
    d = $4 + 0
    if (d < 0) d = -d
    dec = sign * ((d * 3600 + $5 * 60) + $6)
    ra = ($1 * 3600 + $2 * 60) + $3
    z = $7 + 0
    if (dec >= dec_lo && dec <= dec_hi && ra >= ra_lo && ra <= ra_hi && z >= z_lo && z <= z_hi) {
        selected++
        printf "<tr align=\"left\">\n" cell "%-2.2i:%-2.2i:%-8.6g\n  </td>\n" \
               cell "%s%-2.2i:%-2.2i:%-8.6g\n  </td>\n" \
               cell "%-8.6g\n  </td>\n" cell "%s\n  </td>\n" cell "%s\n  </td>\n</tr>\n", \
               $1, $2, $3, sign < 0 ? "-" : "", d, $5, $6, z, $8, $9
    }
}

END {
    printf "</table>\n<p>There are %d records of %d.</p>\n</body>\n</html>\n", selected, NR
}
