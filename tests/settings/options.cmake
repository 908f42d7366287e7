tolvar_add_test(ops_actions_test LABEL options SOURCES OpsActionsTest.cpp OptionsTestStore.h LIBS
                    tolvar_options tolvar_test_support)
    tolvar_add_test(ops_window_test LABEL options GUI SOURCES OpsTest.cpp OptionsTestStore.h LIBS
                        tolvar_options tolvar_test_support)
