# One line per benchmark program; each links the shared main.
vorn_add_bench(bench_engine SOURCES EngineBench.cpp LIBS rigsim_core)
vorn_add_bench(bench_persist SOURCES PersistBench.cpp LIBS rigsim_core)
vorn_add_bench(bench_wits SOURCES WitsBench.cpp LIBS rigsim_core Qt6::Network)
vorn_add_bench(bench_control SOURCES ControlBench.cpp LIBS rigsim_control)
vorn_add_bench(bench_fleet SOURCES FleetBench.cpp LIBS rigsim_core)
vorn_add_bench(bench_well SOURCES WellBench.cpp LIBS rigsim_core)
target_compile_definitions(bench_well PRIVATE VORN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
