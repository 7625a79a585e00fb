# The location rule, the window registry and the platform seams.
altorra_add_test(test_location SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/test_location.cpp LIBS altorra_db)
altorra_add_test(test_forms SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/test_forms.cpp LIBS altorra_db altorra_testsupport WINDOW)
altorra_add_test(test_seams SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/test_seams.cpp LIBS altorra_db WINDOW)
