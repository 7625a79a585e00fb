# Data sources, record sets and bound controls, over archives of our own writer.
altorra_add_test(test_datasource SOURCES test_datasource.cpp test_controls_fixture.h
    LIBS altorra_db altorra_testsupport jetwriter)
altorra_add_test(test_boundcontrols SOURCES test_boundcontrols.cpp test_controls_fixture.h
    LIBS altorra_db altorra_testsupport jetwriter WINDOW)
