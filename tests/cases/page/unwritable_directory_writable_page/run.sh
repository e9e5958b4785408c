exec setpriv --reuid=65534 --regid=65534 --clear-groups "$GALSIFT"
