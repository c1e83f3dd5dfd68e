# One vorn_add_fuzzer(...) per target.
vorn_add_fuzzer(fuzz_numbers SOURCES NumbersFuzz.cpp LIBS rigsim_core)
vorn_add_fuzzer(fuzz_dictionary SOURCES DictionaryFuzz.cpp LIBS rigsim_core MAX_LEN 16384)
# A whole settings file with every default item is about 12 KiB.
vorn_add_fuzzer(fuzz_settings_files SOURCES SettingsFilesFuzz.cpp FuzzEngine.h FuzzFolders.h LIBS rigsim_core
                MAX_LEN 65536)
# Longer than the 64 KiB input buffer, so the bound on it is reached.
vorn_add_fuzzer(fuzz_wits_input SOURCES WitsInputFuzz.cpp FuzzEngine.h FuzzFolders.h LIBS rigsim_core
                MAX_LEN 140000)
