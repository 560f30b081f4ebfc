# The window's own controls: the yes/no dialog, the float spin edit and the light button
# (with the start button's look).
set_target_properties(controls PROPERTIES AUTORCC ON)
target_sources(controls PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ControlResources.h
    ${CMAKE_CURRENT_LIST_DIR}/ControlResources.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DlgYesNo.h
    ${CMAKE_CURRENT_LIST_DIR}/DlgYesNo.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowFit.h
    ${CMAKE_CURRENT_LIST_DIR}/WindowFit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FloatText.h
    ${CMAKE_CURRENT_LIST_DIR}/FloatText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SpinButton.h
    ${CMAKE_CURRENT_LIST_DIR}/SpinButton.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CustomFloatEdit.h
    ${CMAKE_CURRENT_LIST_DIR}/CustomFloatEdit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FlEdit.h
    ${CMAKE_CURRENT_LIST_DIR}/FlEdit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LbButtons.h
    ${CMAKE_CURRENT_LIST_DIR}/LbButtons.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LbButton.h
    ${CMAKE_CURRENT_LIST_DIR}/LbButton.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StartButton.h
    ${CMAKE_CURRENT_LIST_DIR}/StartButton.cpp
    ${CMAKE_SOURCE_DIR}/resources/controls/controls.qrc
)
