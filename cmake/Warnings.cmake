# Warnings for every target of the project. They are errors only when asked for
# (POLAR_WERROR=ON, as the test command and CI do): a packager's or user's compiler may know
# warnings this code has never met.
option(POLAR_WERROR "Treat compiler warnings as errors" OFF)
add_compile_options(-Wall -Wextra -Wshadow -Wconversion -Wno-sign-conversion)
if(POLAR_WERROR)
  add_compile_options(-Werror)
endif()
