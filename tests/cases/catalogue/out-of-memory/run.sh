# Runs galsift with too little memory for the catalogue, so that a record cannot be
# allocated. A sanitizer build reserves far more address space than any such limit,
# so there the allocator is told to refuse every large allocation instead.
if grep -q __asan_init "$GALSIFT"; then
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}allocator_may_return_null=1:max_allocation_size_mb=1"
    exec "$GALSIFT"
fi
ulimit -v 64000
exec "$GALSIFT"
