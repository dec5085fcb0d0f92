if(POLAR_FUZZ)
  # Coverage instrumentation for the code under test; the fuzz programs add the driver.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

if(POLAR_SANITIZE)
  set(_polar_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${_polar_san})
  add_link_options(${_polar_san})
endif()

# polar_add_library(name SOURCES... [DEPS ...]): a static library of the core, with the tree
# root on its include path.
function(polar_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${POLAR_ROOT} ${POLAR_ROOT}/include)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
endfunction()
