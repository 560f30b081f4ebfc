# The window's own controls: the yes/no dialog, the light button and the float spin edit.
set_target_properties(controls PROPERTIES AUTORCC ON)
target_sources(controls PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ControlResources.h
    ${CMAKE_CURRENT_LIST_DIR}/ControlResources.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DlgYesNo.h
    ${CMAKE_CURRENT_LIST_DIR}/DlgYesNo.cpp
    ${CMAKE_SOURCE_DIR}/resources/controls/controls.qrc
)
