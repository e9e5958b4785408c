# An epoch of a hundred million digits: the reader must hold the whole number at once.
{ printf 'Epoch='; head -c 100000000 /dev/zero | tr '\0' '7'; printf '\n'; } > query.frm
