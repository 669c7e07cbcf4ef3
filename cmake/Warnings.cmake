# One place for the warning flags every target of the project shares.
add_library(wardel_warnings INTERFACE)
target_compile_options(wardel_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Wold-style-cast $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local>
  # C++20 has no trigraphs; "Others (????)" is a text of this system, not a trigraph.
  -Wno-trigraphs)
if(WARDEL_WERROR)
  target_compile_options(wardel_warnings INTERFACE -Werror)
endif()
