# One vorn_add_fuzzer(...) per target.
vorn_add_fuzzer(fuzz_numbers SOURCES NumbersFuzz.cpp LIBS rigsim_core)
vorn_add_fuzzer(fuzz_dictionary SOURCES DictionaryFuzz.cpp LIBS rigsim_core)
vorn_add_fuzzer(fuzz_settings_files SOURCES SettingsFilesFuzz.cpp FuzzEngine.h LIBS rigsim_core)
vorn_add_fuzzer(fuzz_wits_input SOURCES WitsInputFuzz.cpp FuzzEngine.h LIBS rigsim_core)
vorn_add_fuzzer(fuzz_control_requests SOURCES ControlRequestFuzz.cpp LIBS rigsim_control)
