# The options window and its operations.
tolvar_add_test(ops_actions_test LABEL options
  SOURCES OpsActionsTest.cpp OptionsTestStore.h
  LIBS tolvar_options tolvar_test_support)
tolvar_add_test(ops_window_test LABEL options GUI
  SOURCES OpsTest.cpp OptionsTestStore.h
  LIBS tolvar_options tolvar_test_support)
tolvar_add_test(ops_real_voice_test LABEL options GUI
  SOURCES OpsRealVoiceTest.cpp OptionsTestStore.h
  LIBS tolvar_options tolvar_speech tolvar_speech_test_support tolvar_test_support)
