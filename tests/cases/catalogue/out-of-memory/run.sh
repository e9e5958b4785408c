# Runs galsift with too little memory for the catalogue, so that a record cannot be
# allocated. A sanitizer build reserves far more address space than any such limit,
# so there the allocator is told to refuse every allocation over 2 MiB instead: the
# reading buffer (1 MiB) is granted, a block of records (4.5 MiB) is not.
if grep -q __asan_init "$GALSIFT"; then
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}allocator_may_return_null=1:max_allocation_size_mb=2"
    exec "$GALSIFT"
fi
# Under an emulator the limit must bite the program alone: qemu-user is given a guest
# address space of 64 MiB (its own code cache needs more than ulimit -v 64000 allows); Wine
# needs 1.7 GB of address space before the program starts, so no limit fits there.
case "$GALSIFT_EMULATOR" in
*qemu*)
    export QEMU_RESERVED_VA=0x4000000
    exec "$GALSIFT"
    ;;
*wine*)
    echo "a memory limit cannot be set for a program under Wine"
    exit 77
    ;;
esac
ulimit -v 64000
exec "$GALSIFT"
