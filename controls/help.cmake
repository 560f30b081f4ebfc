# Help: the compiled-help reader (loaded at run time) and the help file's contents.
target_sources(controls PRIVATE
    ChmArchive.h
    ChmArchive.cpp
    ChmLibrary.h
    ChmLibrary.cpp
    HelpSitemap.h
    HelpSitemap.cpp
)
# Only the reader's types come from its header; the library itself is opened with dlopen.
target_link_libraries(controls PUBLIC ${CMAKE_DL_LIBS})
