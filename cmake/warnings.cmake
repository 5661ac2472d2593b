# Warning flags every target links through orvane::warnings; warnings are errors.
add_library(orvane_warnings INTERFACE)
add_library(orvane::warnings ALIAS orvane_warnings)
target_compile_options(orvane_warnings INTERFACE -Wall -Wextra -Wpedantic -Werror -Wshadow
                                                 -Wnon-virtual-dtor)
