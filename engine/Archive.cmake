# Archive reader targets: tn_archive_core (platform-free), tn_archive_entries
# (platform-free, on minizip: every tree that has it), tn_archive (Windows).
add_library(tn_archive_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ArchiveAttributes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ArchiveEndRecord.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ArchiveNames.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ArchivePath.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ArchiveRecord.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ArchiveTimes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MemorySource.cpp
)
target_include_directories(tn_archive_core PUBLIC ${CMAKE_SOURCE_DIR})

if(TARGET tn_minizip)
  add_library(tn_archive_entries STATIC
    ${CMAKE_CURRENT_LIST_DIR}/ArchiveEntryReader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ArchiveMemoryIo.cpp
  )
  target_include_directories(tn_archive_entries PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(tn_archive_entries PUBLIC tn_archive_core tn_minizip)
endif()

if(NOT TN_WINDOWS)
  return()
endif()

add_library(tn_archive STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ArchiveFileWriter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ArchiveFolders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ArchiveTimes_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PayloadArchive.cpp
)
target_include_directories(tn_archive PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(tn_archive PUBLIC tn_archive_entries ntdll)
