# The settings store: Win32 (profile functions, dialog controls).
target_sources(foundation_win PRIVATE ${CMAKE_CURRENT_LIST_DIR}/IniSettings.cpp)
