# The layers of the program, as the build enforces them.
#
# A library's headers are reached as "<folder>/Header.h" (measure/DataFile.h,
# platform/serial/QtSerialPort.h) through an include root of its own in the build tree,
# which holds only a link to that library's folder. A target therefore sees the folders of
# the libraries it links and no others: the core cannot include the platform, the chart
# engine cannot include the measurement core, the platform cannot include the view. The
# repository's root is never an include folder. The unit is the folder: libraries that
# share one (the three of view/, those of app/) see each other's headers, and what keeps a
# plain C++ one among them plain is that it has no Qt to include.

# Exposes target's source folder under its path in the tree to the target and its users.
function(varkel_expose_headers target)
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(root ${PROJECT_BINARY_DIR}/layers/${target})
  set(link ${root}/${folder})
  get_filename_component(parent ${link} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT IS_SYMLINK ${link} AND NOT EXISTS ${link})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${link} SYMBOLIC RESULT failure)
    if(failure)
      message(FATAL_ERROR "Cannot link ${link} to ${CMAKE_CURRENT_SOURCE_DIR}: ${failure}")
    endif()
  endif()
  target_include_directories(${target} PUBLIC ${root})
endfunction()
