# The portable core: no Windows headers; built natively and for Windows alike.
# Each build adds its own text_locale implementation.
add_library(kvr_core STATIC
    src/foundation/setup_string.cpp
)
target_include_directories(kvr_core PUBLIC src)
