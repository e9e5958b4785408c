# A catalogue of a million entries whose two text fields are 108 and 119 bytes long, all
# beyond the 99 a text keeps. Only entries 123456 and 987654 have a redshift between 5
# and 6; every other one lies between 1 and 2.
python3 - <<'PY'
lines = []
for i in range(1000000):
    z = {123456: "5.5", 987654: "5.75"}.get(i, "%.3f" % (1 + (i % 1000) / 1000))
    lines.append("%02d$%02d$%02d$%+03d$%02d$00$%s$G%07d %s$Ref %07d %s$\n"
                 % (i % 24, (i // 24) % 60, i % 60, i % 179 - 89, i % 60, z,
                    i, "-" * 100, i, "=" * 107))
with open("CG2000.dat", "w") as f:
    f.write("".join(lines))
PY
