# Help: the help engine over the compiled-help reader (loaded at run time) and its viewer
# behind the help manager.
target_sources(controls PRIVATE
    ApplicationHelp.h
    ApplicationHelp.cpp
    ChmArchive.h
    ChmArchive.cpp
    ChmLibrary.h
    ChmLibrary.cpp
    HelpBrowser.h
    HelpBrowser.cpp
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
# Only the reader's types come from its header; the library itself is opened with dlopen.
target_link_libraries(controls PUBLIC ${CMAKE_DL_LIBS})
