# The file size limit is 4 KiB; with SIGXFSZ ignored, a write past it fails instead of
# ending the program.
trap '' XFSZ
ulimit -f 4
exec "$GALSIFT"
