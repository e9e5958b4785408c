# Runs galsift as an unprivileged user, for whom the permission bits count.
exec setpriv --reuid=65534 --regid=65534 --clear-groups "$GALSIFT"
