tolvar_add_test(ops_actions_test LABEL options
  SOURCES OpsActionsTest.cpp OptionsTestStore.h
  LIBS tolvar_options tolvar_test_support)
