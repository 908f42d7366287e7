# The options window and the operations behind it (widgets).
add_library(tolvar_options STATIC
  ${CMAKE_CURRENT_LIST_DIR}/OpsActions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ops.cpp
)
target_link_libraries(tolvar_options PUBLIC tolvar_settings_catalogue tolvar_state tolvar_ui Qt6::Widgets)
