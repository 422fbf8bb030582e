# The settings store runs against real INI files and real dialogs: Wine only.
swirlo_add_test(settings_win_tests
  ${CMAKE_CURRENT_LIST_DIR}/IniSettingsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IniSettingsDialogTest.cpp
)
target_link_libraries(settings_win_tests PRIVATE framework_win foundation_win)
