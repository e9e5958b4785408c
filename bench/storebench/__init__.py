"""The store benchmark: galsift-server over HTTP against PostgreSQL + Q3C (bench/store_bench)."""
