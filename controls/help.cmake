# Help: the help engine and its viewer behind the help manager. The compiled-help reader
# library is not safe on damaged files, so the program never calls it on a file itself: the
# helper program talvenbahn-help-reader reads the whole file and sends its content over, and a
# file that crashes the reader ends only the helper. The helper lands next to the program in
# bin/.
add_library(chmreader STATIC
    ChmArchive.h
    ChmArchive.cpp
    ChmLibrary.h
    ChmLibrary.cpp
    HelpContent.h
    HelpContent.cpp
)
target_include_directories(chmreader PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
# Only the reader's types come from its header; the library itself is opened with dlopen.
target_link_libraries(chmreader PUBLIC Qt6::Core ${CMAKE_DL_LIBS})

add_executable(talvenbahn_help_reader help_reader_main.cpp)
set_target_properties(talvenbahn_help_reader PROPERTIES OUTPUT_NAME talvenbahn-help-reader)
target_link_libraries(talvenbahn_help_reader PRIVATE chmreader)

target_sources(controls PRIVATE
    ApplicationHelp.h
    ApplicationHelp.cpp
    HelpBrowser.h
    HelpBrowser.cpp
    HelperProcess.h
    HelperProcess.cpp
    HelpFileReader.h
    HelpFileReader.cpp
    HelpInterfaces.h
    HelpManager.h
    HelpManager.cpp
    HelpSitemap.h
    HelpSitemap.cpp
    HelpWindow.h
    HelpWindow.cpp
    HtmlHelpAPI.h
    HtmlHelpAPI.cpp
    HtmlHelpLibrary.h
    HtmlHelpLibrary.cpp
    SPHelpSelector.h
    SPHelpSelector.cpp
    SPHelpTester.h
    SPHelpViewer.h
    SPHelpViewer.cpp
    SPHTMLHelp.h
    SPHTMLHelp.cpp
    WinHelpViewer.h
    WinHelpViewer.cpp
)
target_link_libraries(controls PUBLIC chmreader)
add_dependencies(controls talvenbahn_help_reader)
