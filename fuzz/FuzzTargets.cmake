# One vorn_add_fuzzer(...) per target.
