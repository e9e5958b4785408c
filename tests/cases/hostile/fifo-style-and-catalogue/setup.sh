# Both are FIFOs that nobody writes to: opening either for reading would block.
mkfifo style.var CG2000.dat
