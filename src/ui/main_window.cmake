# The main window, its graduation page and the about box, on the
# user-interface floor.
target_sources(norvalt_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/about_dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/graduation_tab.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dlg_main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_window.cpp
)
target_link_libraries(norvalt_ui PUBLIC norvalt_report)
