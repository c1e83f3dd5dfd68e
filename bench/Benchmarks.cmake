# One line per benchmark program.
vorn_add_bench(bench_engine SOURCES EngineBench.cpp LIBS rigsim_core)
