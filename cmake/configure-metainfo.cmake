# Run by the build (cmake -P) once the screenshot is made: writes the AppStream metainfo with the
# screenshot's own size. Variables: IN, OUT, SCREENSHOT and the @...@ values of the template.
file(READ "${SCREENSHOT}" header LIMIT 24 HEX)
if(NOT header MATCHES "^89504e470d0a1a0a")
    message(FATAL_ERROR "${SCREENSHOT} is not a PNG picture")
endif()
# The IHDR chunk: width and height, 4 bytes each, big-endian, at bytes 16 and 20.
string(SUBSTRING "${header}" 32 8 width_hex)
string(SUBSTRING "${header}" 40 8 height_hex)
math(EXPR ALTORRA_SCREENSHOT_WIDTH "0x${width_hex}")
math(EXPR ALTORRA_SCREENSHOT_HEIGHT "0x${height_hex}")
configure_file("${IN}" "${OUT}" @ONLY)
