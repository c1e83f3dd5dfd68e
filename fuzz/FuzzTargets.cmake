# One vorn_add_fuzzer(...) per target.
vorn_add_fuzzer(fuzz_numbers SOURCES NumbersFuzz.cpp LIBS rigsim_core)
vorn_add_fuzzer(fuzz_dictionary SOURCES DictionaryFuzz.cpp LIBS rigsim_core MAX_LEN 16384)
# A whole settings file with every default item is about 12 KiB.
vorn_add_fuzzer(fuzz_settings_files SOURCES SettingsFilesFuzz.cpp FuzzEngine.h FuzzFolders.h SameRecords.h LIBS rigsim_core
                MAX_LEN 65536)
# Longer than the 64 KiB input buffer, so the bound on it is reached.
vorn_add_fuzzer(fuzz_wits_input SOURCES WitsInputFuzz.cpp FuzzEngine.h FuzzFolders.h LIBS rigsim_core
                MAX_LEN 140000)
vorn_add_fuzzer(fuzz_command_line SOURCES CommandLineFuzz.cpp LIBS rigsim_app)
vorn_add_fuzzer(fuzz_grid_paste SOURCES GridPasteFuzz.cpp FuzzApplication.h LIBS rigsim_grid MAX_LEN 16384)
vorn_add_fuzzer(fuzz_window_placement SOURCES WindowPlacementFuzz.cpp FuzzApplication.h FuzzFolders.h
                LIBS rigsim_ui MAX_LEN 256)
# Just over the 64 KiB a request body may hold, so the size bound is reached.
vorn_add_fuzzer(fuzz_control_requests SOURCES ControlRequestFuzz.cpp SameRecords.h LIBS rigsim_control MAX_LEN 70000)
vorn_add_fuzzer(fuzz_plot_layout SOURCES PlotLayoutFuzz.cpp LIBS rigsim_ui MAX_LEN 4096)
vorn_add_fuzzer(fuzz_fault_text SOURCES FaultTextFuzz.cpp LIBS rigsim_core MAX_LEN 8192)
vorn_add_fuzzer(fuzz_options_file SOURCES OptionsFileFuzz.cpp LIBS rigsim_app MAX_LEN 70000)
# Longer than a data line may be (64 KiB), so the line bound is reached.
vorn_add_fuzzer(fuzz_replay_rows SOURCES ReplayRowsFuzz.cpp LIBS rigsim_core MAX_LEN 70000)
vorn_add_fuzzer(fuzz_replay_frames SOURCES ReplayFramesFuzz.cpp LIBS rigsim_core MAX_LEN 70000)
vorn_add_fuzzer(fuzz_well_file SOURCES WellFileFuzz.cpp LIBS rigsim_core MAX_LEN 16384)
