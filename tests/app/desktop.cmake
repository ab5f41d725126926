# The software-centre entry must stay valid for appstreamcli.
find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
  add_test(NAME metainfo_valid
    COMMAND ${APPSTREAMCLI} validate --no-net --pedantic ${CMAKE_SOURCE_DIR}/resources/org.zelkor.configurator.metainfo.xml)
endif()
